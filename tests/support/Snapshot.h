// Text the program prints or builds, held against a committed copy in tests/data. On a
// mismatch the whole actual text is printed, so that a deliberate change can be looked at and
// copied into the file.
#pragma once

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>

inline std::string SnapshotText(const std::string& name) {
    std::ifstream file(std::string(PW_TEST_DATA_DIR) + "/" + name, std::ios::binary);
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}

inline void ExpectSnapshot(const std::string& name, const std::string& actual) {
    const std::string expected = SnapshotText(name);
    EXPECT_TRUE(actual == expected) << "tests/data/" << name << " differs; the actual text is:\n" << actual;
}
