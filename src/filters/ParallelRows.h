// Sharing the rows of a kernel between two threads. Every row is written by exactly one
// thread from the unchanged source, so the result is the same byte for byte as one pass.
#pragma once

#include <system_error>
#include <thread>

// Pictures smaller than this are not worth a thread.
constexpr long kParallelMinimumPixels = 1L << 16;

// Calls work(firstRow, endRow) for [0, rows/2) here and for [rows/2, rows) on a second
// thread when there is a second core and the picture is big enough; otherwise once for all
// rows. pixelsPerRow only decides whether a thread pays.
template <class Work>
void RunRowsInParallel(int rows, long pixelsPerRow, Work&& work) {
    if (rows < 2 || static_cast<long>(rows) * pixelsPerRow < kParallelMinimumPixels ||
        std::thread::hardware_concurrency() < 2) {
        work(0, rows);
        return;
    }
    const int middle = rows / 2;
    std::thread helper;
    try {
        helper = std::thread([&work, middle, rows] { work(middle, rows); });
    } catch (const std::system_error&) {
        work(0, rows);
        return;
    }
    work(0, middle);
    helper.join();
}
