// The batch program's command line: INPUT OUTPUT [OPERATION ...], or --list. Its main() is
// this one call; the fuzz target calls it too.
#pragma once

#include <cstdio>
#include <string>
#include <vector>

// Runs the command line and returns the exit status: 0 done, 1 the work could not be done
// (input, memory, output), 2 the command line asks for something that does not exist. Every
// complaint is one line on complaints; --list and --time write to standard output.
int RunBatchCommandLine(std::vector<std::string> args, std::FILE* complaints);
