// pixelwright-batch INPUT OUTPUT [OPERATION ...]: decodes INPUT, runs the operations on the
// whole image the way the menu commands do, and writes OUTPUT with the writer of its ending.
#include <cstdio>
#include <string>
#include <vector>

#include "batch/BatchCommandLine.h"
#include "platform/Memory.h"

int main(int argc, char** argv) {
    platform::KeepLargeBuffersForReuse();
    std::vector<std::string> args;
    for (int i = 1; i < argc; ++i) args.emplace_back(argv[i]);
    return RunBatchCommandLine(args, stderr);
}
