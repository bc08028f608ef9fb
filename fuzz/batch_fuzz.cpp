// The batch command line with fuzzed operations, run in-process through the entry point the
// batch program's main() calls, on a tiny picture. The input is the OPERATION arguments, one per
// line; its first byte picks the output's ending. Every run must either write the output and
// say nothing, or stop with exit status 2 and one line of complaint, writing nothing.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "batch/BatchCommandLine.h"
#include "files/PngWriter.h"
#include "image/ImageSlots.h"
#include "image/PixelBuffer.h"
#include "shell/ProgramState.h"

namespace {

constexpr std::size_t kMostArguments = 24;
constexpr std::size_t kLongestArgument = 80;
// Steps that may ask for pictures or runs far beyond a fuzzer's budget, with their limit on
// any number written: the program handles more (with its out-of-memory message), just slowly.
constexpr long kLargestSide = 400;
constexpr long kLongestHold = 2000;

[[noreturn]] void Breach(const std::string& what, const std::vector<std::string>& args, const std::string& said) {
    std::string line;
    for (const std::string& a : args) line += " '" + a + "'";
    std::fprintf(stderr, "INVARIANT BREACH: %s\n  command line:%s\n  complaints: %s\n", what.c_str(), line.c_str(),
                 said.c_str());
    std::fflush(stderr);
    std::abort();
}

std::string g_folder;

void MakeFolder() {
    if (!g_folder.empty()) return;
    g_folder = std::filesystem::temp_directory_path().string() + "/pw-fuzz-batch-" + std::to_string(getpid());
    std::filesystem::create_directories(g_folder);
    raster::BitmapInfo header;
    std::unique_ptr<PixelBuffer> picture = CreatePixelBuffer(7, 5, 24, header, nullptr);
    for (std::size_t i = 0; i < picture->ByteSize(); ++i) picture->Bits()[i] = static_cast<std::uint8_t>(i * 37);
    if (WritePng(picture.get(), g_folder + "/in.png") != 1) std::abort();
    std::atexit([] {
        std::error_code ignored;
        std::filesystem::remove_all(g_folder, ignored);
    });
}

// The largest number written in the argument, as far as it reads as digits.
long LargestNumber(const std::string& text) {
    long largest = 0, current = 0;
    for (char c : text) {
        if (c >= '0' && c <= '9') {
            current = current > 100000000 ? current : current * 10 + (c - '0');
            largest = std::max(largest, current);
        } else {
            current = 0;
        }
    }
    return largest;
}

bool WithinBudget(const std::string& argument) {
    if (argument.rfind("image-size", 0) == 0 || argument.rfind("rotate", 0) == 0) {
        return LargestNumber(argument) <= kLargestSide;
    }
    if (argument.rfind("hold", 0) == 0) return LargestNumber(argument) <= kLongestHold;
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    MakeFolder();
    if (size == 0) return 0;
    static const char* endings[] = {".png", ".bmp", ".jpg", ".PNG", ".gif", ""};
    const std::string output = g_folder + "/out" + endings[data[0] % 6];
    std::vector<std::string> args = {g_folder + "/in.png", output};
    std::string current;
    for (std::size_t i = 1; i <= size; ++i) {
        if (i == size || data[i] == '\n') {
            if (current.size() > kLongestArgument || !WithinBudget(current)) return 0;
            args.push_back(current);
            current.clear();
            if (args.size() > kMostArguments) return 0;
            continue;
        }
        current += static_cast<char>(data[i]);
    }
    std::error_code ignored;
    std::filesystem::remove(output, ignored);

    char* said = nullptr;
    std::size_t saidSize = 0;
    std::FILE* complaints = open_memstream(&said, &saidSize);
    const int status = RunBatchCommandLine(args, complaints);
    std::fclose(complaints);
    const std::string text(said, saidSize);
    std::free(said);
    for (std::uint32_t slot = 1; slot < kImageSlots; ++slot) FreeImageBox(slot);
    ResetProgramState();

    const bool written = std::filesystem::exists(output, ignored);
    std::size_t lines = 0;
    for (char c : text) lines += c == '\n';
    if (status == 0) {
        if (!written) Breach("exit status 0 without the output", args, text);
        if (!text.empty()) Breach("exit status 0 with complaints", args, text);
    } else if (status == 2) {
        if (written) Breach("exit status 2, yet the output was written", args, text);
        if (lines != 1 || text.back() != '\n') Breach("exit status 2 without exactly one line", args, text);
    } else {
        Breach("exit status " + std::to_string(status), args, text);
    }
    std::filesystem::remove(output, ignored);
    return 0;
}
