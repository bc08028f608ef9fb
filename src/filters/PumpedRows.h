// Sharing the rows of a pumping filter between the calling thread and helper threads, one per
// further core. All claim runs of rows from one counter, every row is written by exactly one
// thread from the unchanged source, so the result is the same byte for byte as one pass. Only
// the calling thread pumps (the dialog and FilterState.FilterBusy are single-threaded); a stop
// it sees is passed to the helpers through an atomic flag they look at before every row, and
// the helpers are joined before the filter returns.
#pragma once

#include <algorithm>
#include <atomic>
#include <functional>
#include <new>
#include <system_error>
#include <thread>
#include <vector>

#include "filters/FilterEngine.h"
#include "filters/ParallelRows.h"

// Passed by a helper thread before each run of rows it claims. Empty in the program; a test
// installs one to hold the helpers back and so fix how the threads share the rows.
inline std::function<void()> PumpedRowsHelperGate;

// Whether a picture of this many rows and pixels per row is shared with helper threads.
inline bool PumpedRowsUseHelpers(int rows, long pixelsPerRow) { return RowThreadsFor(rows, pixelsPerRow) >= 2; }

// band(first, end, keepGoing) writes rows [first, end) in order, calling keepGoing() before
// each row and returning false at once when it says false; otherwise it returns true.
// makeHelperBand() is called on each helper thread and gives a pointer-like band (an
// std::optional, say) that is empty when the helper could not set itself up; the other
// threads then do its rows. chunkRows is the run of rows claimed at a time (1 unless a
// band carries sums from row to row).
//
// Returns 1 when every row was written, 0 when the pump reported a stop. FilterState.FilterBusy is only
// touched by PumpFilterMessages, on the calling thread.
template <class Band, class MakeHelperBand>
int RunPumpedRows(int rows, long pixelsPerRow, int chunkRows, Band& band, MakeHelperBand&& makeHelperBand) {
    FilterState.pumpedRows = rows;
    FilterState.pumpedRowsBegun = 0;
    const int threads = RowThreadsFor(rows, pixelsPerRow);
    if (threads < 2) {
        auto pump = [] {
            ++FilterState.pumpedRowsBegun;
            return PumpFilterMessages() == 0;
        };
        return band(0, rows, pump) ? 1 : 0;
    }

    chunkRows = std::max(chunkRows, 1);
    std::atomic<int> nextRow{0};
    std::atomic<bool> stop{false};
    auto claim = [&nextRow, rows, chunkRows](int& first, int& end) {
        first = nextRow.fetch_add(chunkRows, std::memory_order_relaxed);
        if (first >= rows) return false;
        end = std::min(first + chunkRows, rows);
        return true;
    };
    auto helperRun = [&] {
        try {
            auto helperBand = makeHelperBand();
            if (!helperBand) return;
            auto keepGoing = [&stop] { return !stop.load(std::memory_order_relaxed); };
            int first = 0;
            int end = 0;
            while (keepGoing()) {
                if (PumpedRowsHelperGate) PumpedRowsHelperGate();
                if (!keepGoing() || !claim(first, end)) break;
                if (!(*helperBand)(first, end, keepGoing)) return;
            }
        } catch (const std::bad_alloc&) {
            // Without its own working memory a helper takes no rows; the others do them.
        }
    };
    std::vector<std::thread> helpers;
    try {
        helpers.reserve(static_cast<std::size_t>(threads - 1));
        for (int k = 1; k < threads; ++k) helpers.emplace_back(helperRun);
    } catch (const std::system_error&) {
        // The threads that started share the rows; with none, the caller does them all.
    } catch (const std::bad_alloc&) {
    }
    // Rows claimed by any thread count as begun.
    auto pump = [&nextRow, rows] {
        FilterState.pumpedRowsBegun = std::min(nextRow.load(std::memory_order_relaxed), rows);
        return PumpFilterMessages() == 0;
    };
    bool finished = true;
    int first = 0;
    int end = 0;
    while (claim(first, end)) {
        if (!band(first, end, pump)) {
            finished = false;
            stop.store(true, std::memory_order_relaxed);
            break;
        }
    }
    for (std::thread& helper : helpers) helper.join();
    return finished ? 1 : 0;
}
