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
#include <mutex>
#include <new>
#include <system_error>
#include <thread>
#include <vector>

#include "filters/FilterEngine.h"
#include "platform/raster/ParallelRows.h"

// Passed by a helper thread before each run of rows it claims. Empty in the program; a test
// installs one to hold the helpers back and so fix how the threads share the rows.
inline std::function<void()> PumpedRowsHelperGate;

// Whether a picture of this many rows and pixels per row is shared with helper threads.
inline bool PumpedRowsUseHelpers(int rows, long pixelsPerRow) { return RowThreadsFor(rows, pixelsPerRow) >= 2; }

// The rows of a pumping filter in the order they are written: the first rows FilterState names
// (when it names some but not all and says what to call once they are written), then those
// above them, then those below.
struct PumpedRowOrder {
    int segments[3][2] = {};
    int count = 0;
    bool firstRows = false;  // segment 0 is the first rows

    explicit PumpedRowOrder(int rows) {
        const int first = std::clamp(FilterState.firstRowsBegin, 0, rows);
        const int end = std::clamp(FilterState.firstRowsEnd, first, rows);
        firstRows = FilterState.firstRowsDone && first < end && end - first < rows;
        if (firstRows) Add(first, end);
        Add(0, firstRows ? first : rows);
        if (firstRows) Add(end, rows);
    }
    void Add(int first, int end) {
        if (first >= end) return;
        segments[count][0] = first;
        segments[count][1] = end;
        ++count;
    }
};

// The first rows are all written: the calling thread says so, once.
inline void ShowFirstPumpedRows() {
    if (FilterState.firstRowsShown) return;
    FilterState.firstRowsShown = true;
    if (FilterState.firstRowsDone) FilterState.firstRowsDone();
}

// band(first, end, keepGoing) writes rows [first, end) in order, calling keepGoing() before
// each row and returning false at once when it says false; otherwise it returns true.
// makeHelperBand() is called on each helper thread and gives a pointer-like band (an
// std::optional, say) that is empty when the helper could not set itself up; the other
// threads then do its rows. chunkRows is the run of rows claimed at a time (1 unless a
// band carries sums from row to row); a band must give the same rows whichever row it
// starts at, since the rows are not written from the top down.
//
// Returns 1 when every row was written, 0 when the pump reported a stop. FilterState.FilterBusy is only
// touched by PumpFilterMessages, on the calling thread.
template <class Band, class MakeHelperBand>
int RunPumpedRows(int rows, long pixelsPerRow, int chunkRows, Band& band, MakeHelperBand&& makeHelperBand) {
    FilterState.pumpedRows = rows;
    FilterState.pumpedRowsBegun = 0;
    FilterState.firstRowsShown = false;
    const PumpedRowOrder order(rows);
    const int threads = RowThreadsFor(rows, pixelsPerRow);
    if (threads < 2) {
        auto pump = [] {
            ++FilterState.pumpedRowsBegun;
            return PumpFilterMessages() == 0;
        };
        for (int s = 0; s < order.count; ++s) {
            if (!band(order.segments[s][0], order.segments[s][1], pump)) return 0;
            if (order.firstRows && s == 0) ShowFirstPumpedRows();
        }
        return 1;
    }

    chunkRows = std::max(chunkRows, 1);
    // Runs are claimed in the order's segments, never across the end of one.
    std::mutex claimLock;
    int segment = 0;
    int next = order.count > 0 ? order.segments[0][0] : 0;
    std::atomic<int> claimed{0};
    std::atomic<int> firstRowsLeft{order.firstRows ? order.segments[0][1] - order.segments[0][0] : 0};
    std::atomic<bool> stop{false};
    auto claim = [&](int& first, int& end, bool& ofFirstRows) {
        std::lock_guard<std::mutex> hold(claimLock);
        while (segment < order.count && next >= order.segments[segment][1]) {
            if (++segment < order.count) next = order.segments[segment][0];
        }
        if (segment >= order.count) return false;
        first = next;
        end = std::min(first + chunkRows, order.segments[segment][1]);
        next = end;
        ofFirstRows = order.firstRows && segment == 0;
        claimed.fetch_add(end - first, std::memory_order_relaxed);
        return true;
    };
    // Written rows of the first segment are counted off with release, so the calling thread
    // that sees none left also sees their pixels.
    auto written = [&firstRowsLeft](bool ofFirstRows, int first, int end) {
        if (ofFirstRows) firstRowsLeft.fetch_sub(end - first, std::memory_order_release);
    };
    auto helperRun = [&] {
        try {
            auto helperBand = makeHelperBand();
            if (!helperBand) return;
            auto keepGoing = [&stop] { return !stop.load(std::memory_order_relaxed); };
            int first = 0;
            int end = 0;
            bool ofFirstRows = false;
            while (keepGoing()) {
                if (PumpedRowsHelperGate) PumpedRowsHelperGate();
                if (!keepGoing() || !claim(first, end, ofFirstRows)) break;
                if (!(*helperBand)(first, end, keepGoing)) return;
                written(ofFirstRows, first, end);
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
    auto pump = [&] {
        FilterState.pumpedRowsBegun = std::min(claimed.load(std::memory_order_relaxed), rows);
        if (order.firstRows && firstRowsLeft.load(std::memory_order_acquire) == 0) ShowFirstPumpedRows();
        return PumpFilterMessages() == 0;
    };
    bool finished = true;
    int first = 0;
    int end = 0;
    bool ofFirstRows = false;
    while (claim(first, end, ofFirstRows)) {
        if (!band(first, end, pump)) {
            finished = false;
            stop.store(true, std::memory_order_relaxed);
            break;
        }
        written(ofFirstRows, first, end);
    }
    for (std::thread& helper : helpers) helper.join();
    // The caller ran out of rows while a helper still wrote some of the first: they are all
    // written now, so the promise to show them holds however the threads were scheduled.
    if (finished && order.firstRows) ShowFirstPumpedRows();
    return finished ? 1 : 0;
}
