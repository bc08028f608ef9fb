// The recovery copy of a 12-megapixel picture: what it costs the GUI thread (copying the
// picture as shown and handing it to the writer) and the whole write (encoded, synced and
// renamed into place).
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <string>

#include "files/RecoveryCopies.h"
#include "image/ImageSlots.h"

namespace {

constexpr int kWidth = 4000;
constexpr int kHeight = 3000;

// A photo-like document with unsaved changes, and copies kept in a scratch folder.
class RecoveryScene {
public:
    RecoveryScene()
        : folder_((std::filesystem::temp_directory_path() / ("pw-bench-recovery-" + std::to_string(getpid())))
                      .string()) {
        ResetImageState();
        CreateImage(kWidth, kHeight);
        PixelBuffer& picture = *CurrentBox().workBitmap;
        std::uint32_t state = 1;
        for (int y = 0; y < kHeight; ++y) {
            std::uint8_t* row = picture.Row(y);
            for (int x = 0; x < kWidth; ++x) {
                state = state * 1103515245u + 12345u;
                const int grain = static_cast<int>((state >> 16) & 7);
                row[3 * x] = static_cast<std::uint8_t>(x / 16 + grain);
                row[3 * x + 1] = static_cast<std::uint8_t>(y / 12 + grain);
                row[3 * x + 2] = static_cast<std::uint8_t>((x + y) / 28 + grain);
            }
        }
        StartRecovery(folder_);
    }
    ~RecoveryScene() {
        StopRecovery();
        std::filesystem::remove_all(folder_);
        ResetImageState();
    }

private:
    std::string folder_;
};

void BM_RecoveryCopyOnGuiThread(benchmark::State& state) {
    const RecoveryScene scene;
    for (auto _ : state) {
        MarkDocumentChanged();
        benchmark::DoNotOptimize(BeginRecoveryWrite());
        state.PauseTiming();
        CollectRecoveryWrite(true);
        state.ResumeTiming();
    }
}

void BM_RecoveryWholeWrite(benchmark::State& state) {
    const RecoveryScene scene;
    for (auto _ : state) {
        MarkDocumentChanged();
        BeginRecoveryWrite();
        CollectRecoveryWrite(true);
    }
    state.counters["bytes"] = static_cast<double>(std::filesystem::file_size(CurrentRecoveryCopy()));
}

}  // namespace

BENCHMARK(BM_RecoveryCopyOnGuiThread)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_RecoveryWholeWrite)->Unit(benchmark::kMillisecond)->UseRealTime();
