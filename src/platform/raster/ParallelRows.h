// Sharing the rows of a kernel between the machine's cores. Every row is written by exactly
// one thread from the unchanged source, so the result is the same byte for byte as one pass.
#pragma once

#include <algorithm>
#include <atomic>
#include <system_error>
#include <thread>
#include <vector>

// Pictures smaller than this are not worth a thread, and no thread gets fewer pixels.
constexpr long kParallelMinimumPixels = 1L << 16;

// Threads beyond this many cost more in start-up and memory than they save.
constexpr int kMostRowThreads = 64;

// How many threads share the rows: 0 (the program) means one per core; tests set other
// counts to check that the result does not depend on it.
inline std::atomic<int> RowThreadsWanted{0};

inline int RowThreadCount() {
    const int wanted = RowThreadsWanted.load(std::memory_order_relaxed);
    const int count = wanted > 0 ? wanted : static_cast<int>(std::thread::hardware_concurrency());
    return std::clamp(count, 1, kMostRowThreads);
}

// How many threads a picture of rows x pixelsPerRow is shared between: 1 below the threshold,
// never more than one per core (or RowThreadsWanted), one per row, nor fewer pixels each than
// the threshold (after the first two).
inline int RowThreadsFor(int rows, long pixelsPerRow) {
    const long pixels = static_cast<long>(rows) * pixelsPerRow;
    if (rows < 2 || pixels < kParallelMinimumPixels) return 1;
    const long byPixels = std::max(2L, pixels / kParallelMinimumPixels);
    return static_cast<int>(std::min<long>({RowThreadCount(), rows, byPixels}));
}

// The first row of band k of n over rows: equal bands, the longer ones first.
constexpr int BandStart(int rows, int bands, int k) {
    return static_cast<int>(static_cast<long long>(rows) * k / bands);
}

// Calls work(band, firstRow, endRow) once for each band k of RowThreadsFor(rows, pixelsPerRow)
// bands of consecutive rows, band 0 on the calling thread and each other on a thread of its
// own. A thread that cannot be started leaves its band to the calling thread. Returns the
// number of bands.
template <class Work>
int RunBandsInParallel(int rows, long pixelsPerRow, Work&& work) {
    const int bands = RowThreadsFor(rows, pixelsPerRow);
    if (bands < 2) {
        work(0, 0, rows);
        return 1;
    }
    std::vector<std::thread> helpers;
    helpers.reserve(static_cast<std::size_t>(bands - 1));
    int firstLeft = bands;  // bands from here on had no thread
    for (int k = 1; k < bands; ++k) {
        const int first = BandStart(rows, bands, k);
        const int end = BandStart(rows, bands, k + 1);
        try {
            helpers.emplace_back([&work, k, first, end] { work(k, first, end); });
        } catch (const std::system_error&) {
            firstLeft = k;
            break;
        }
    }
    work(0, 0, BandStart(rows, bands, 1));
    for (int k = firstLeft; k < bands; ++k) work(k, BandStart(rows, bands, k), BandStart(rows, bands, k + 1));
    for (std::thread& helper : helpers) helper.join();
    return bands;
}

// Calls work(firstRow, endRow) for the bands of RunBandsInParallel.
template <class Work>
void RunRowsInParallel(int rows, long pixelsPerRow, Work&& work) {
    RunBandsInParallel(rows, pixelsPerRow, [&work](int, int first, int end) { work(first, end); });
}
