// The smallest fixture: the whole process-wide state fresh before and after each test, for
// tests that change a setting the program keeps (a folder override, a hook) and nothing else.
#pragma once

#include <gtest/gtest.h>

#include "shell/ProgramState.h"

class FreshState : public ::testing::Test {
protected:
    void SetUp() override { ResetProgramState(); }
    void TearDown() override { ResetProgramState(); }
};
