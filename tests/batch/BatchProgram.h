// Runs the real pixelwright-batch program with arguments and collects what it said.
#pragma once

#include <sys/wait.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

struct Outcome {
    int status = -1;
    std::string out;
    std::string err;
};

inline std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

// Standard output and error pass through files in folder ("stdout.txt", "stderr.txt").
inline Outcome RunBatchProgram(const std::vector<std::string>& args, const std::string& folder) {
    std::string command = "'" + std::string(PW_BATCH_PROGRAM) + "'";
    for (const std::string& a : args) command += " '" + a + "'";
    const std::string out = folder + "/stdout.txt";
    const std::string err = folder + "/stderr.txt";
    command += " >'" + out + "' 2>'" + err + "'";
    const int raw = std::system(command.c_str());
    Outcome o;
    o.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    o.out = ReadFile(out);
    o.err = ReadFile(err);
    return o;
}
