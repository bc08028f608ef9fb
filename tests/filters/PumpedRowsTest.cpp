// Pumping filters on pictures big enough to share their rows with a second thread. The
// helper thread is held back and let go by the test wherever the order of the two threads'
// rows matters, so no outcome depends on how the threads are scheduled.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <optional>
#include <set>
#include <thread>
#include <vector>

#include "filters/Blur.h"
#include "filters/ColourAdjust.h"
#include "filters/FilterEngine.h"
#include "filters/FilterRows.h"
#include "filters/PumpedRows.h"
#include "platform/FilterPump.h"
#include "shell/ProgramState.h"
#include "support/FilterTestSupport.h"

namespace {

constexpr int kWide = 320;
constexpr int kHigh = 240;  // 76800 pixels: over the threshold for a second thread

class TwoThreadRows : public ::testing::Test {
protected:
    void SetUp() override {
        ResetProgramState();
        // Two threads whatever the machine: one helper, whose steps the tests hand out.
        RowThreadsWanted = 2;
        ASSERT_TRUE(PumpedRowsUseHelpers(kHigh, kWide));
    }
    void TearDown() override {
        RowThreadsWanted = 0;
        platform::SetFilterMessagePump({});
        ResetProgramState();
    }
};

// Steps the helper thread may take, handed out by the calling thread. The helper waits for
// a permit before each step; the caller can wait until the helper has come back for more.
// The long deadline only keeps a broken run from hanging the test program.
class Turnstile {
public:
    void Allow(int count) {
        std::lock_guard<std::mutex> lock(mutex_);
        permits_ += count;
        changed_.notify_all();
    }
    void AllowAll() { Allow(1 << 30); }
    // On the helper: waits for a permit; false, without one, once giveUp() says so.
    template <class GiveUp>
    bool Pass(GiveUp&& giveUp) {
        std::unique_lock<std::mutex> lock(mutex_);
        ++arrivals_;
        changed_.notify_all();
        while (permits_ == 0) {
            if (giveUp()) return false;
            // The stop flag that ends the wait is the runner's own: look at it now and then.
            changed_.wait_for(lock, std::chrono::milliseconds(1));
        }
        --permits_;
        return true;
    }
    bool Pass() {
        return Pass([] { return false; });
    }
    // On the caller: waits until the helper has arrived count times.
    bool WaitForArrivals(int count) {
        std::unique_lock<std::mutex> lock(mutex_);
        return changed_.wait_for(lock, std::chrono::seconds(60), [&] { return arrivals_ >= count; });
    }

private:
    std::mutex mutex_;
    std::condition_variable changed_;
    int permits_ = 0;
    int arrivals_ = 0;
};

// Rows written, by which thread, and how often. With a turnstile, the helper (any thread
// but the caller) takes each of its rows only when the turnstile lets it.
struct RowLog {
    std::vector<std::atomic<int>> writes;
    std::atomic<int> done{0};
    std::mutex mutex;
    std::set<std::thread::id> threads;
    std::condition_variable helperWrote;
    int helperRows = 0;
    const std::thread::id caller = std::this_thread::get_id();
    Turnstile* turnstile = nullptr;
    explicit RowLog(int rows) : writes(rows) {}
    auto Band() {
        return [this](int first, int end, auto&& keepGoing) {
            const bool onHelper = std::this_thread::get_id() != caller;
            for (int y = first; y < end; ++y) {
                if (!keepGoing()) return false;
                if (onHelper && turnstile && !turnstile->Pass([&] { return !keepGoing(); })) return false;
                writes[y].fetch_add(1);
                done.fetch_add(1);
                std::lock_guard<std::mutex> lock(mutex);
                threads.insert(std::this_thread::get_id());
                if (onHelper) {
                    ++helperRows;
                    helperWrote.notify_all();
                }
            }
            return true;
        };
    }
    // Waits until the helper has written count rows (false only when it never does).
    bool WaitForHelperRows(int count) {
        std::unique_lock<std::mutex> lock(mutex);
        return helperWrote.wait_for(lock, std::chrono::seconds(60), [&] { return helperRows >= count; });
    }
};

TEST(PumpedRowsChoice, SmallPicturesStayOnOneThread) {
    EXPECT_FALSE(PumpedRowsUseHelpers(1, 1 << 20));
    EXPECT_FALSE(PumpedRowsUseHelpers(255, 256));  // one row short of the threshold
    EXPECT_EQ(PumpedRowsUseHelpers(256, 256), std::thread::hardware_concurrency() >= 2);
}

TEST_F(TwoThreadRows, EveryRowOnceAndOnlyTheCallerPumps) {
    for (int chunk : {1, 7, 32}) {
        RowLog log(kHigh);
        auto band = log.Band();
        const std::thread::id caller = std::this_thread::get_id();
        int pumps = 0;
        // The helper claims nothing before the caller's first pump, and the caller goes on
        // from there only once the helper has rows of its own.
        Turnstile turnstile;
        PumpedRowsHelperGate = [&turnstile] { turnstile.Pass(); };
        platform::SetFilterMessagePump([&] {
            EXPECT_EQ(std::this_thread::get_id(), caller);
            if (++pumps == 1) {
                turnstile.AllowAll();
                EXPECT_TRUE(log.WaitForHelperRows(1));
            }
        });
        FilterState.FilterBusy = kFilterRunning;
        ASSERT_EQ(RunPumpedRows(kHigh, kWide, chunk, band, [&band] { return &band; }), 1);
        EXPECT_EQ(FilterState.FilterBusy, kFilterRunning);  // the filter itself ends the run
        for (int y = 0; y < kHigh; ++y) ASSERT_EQ(log.writes[y].load(), 1) << "row " << y << " chunk " << chunk;
        EXPECT_EQ(log.threads.size(), 2u);
        EXPECT_LT(pumps, kHigh);  // the caller pumped before each of its own rows only
        EXPECT_GE(pumps, 1);
        PumpedRowsHelperGate = nullptr;
    }
}

TEST_F(TwoThreadRows, AStopEndsBothThreadsWithinARow) {
    RowLog log(kHigh);
    Turnstile turnstile;
    log.turnstile = &turnstile;
    auto band = log.Band();
    int pumps = 0;
    int doneAtStop = -1;
    // The threads take turns: before each of its first four rows the caller lets the helper
    // write one row and waits for it; at the fifth it stops, with the helper waiting.
    platform::SetFilterMessagePump([&] {
        EXPECT_EQ(FilterState.FilterBusy, kFilterRunning);
        if (++pumps == 5) {
            doneAtStop = log.done.load();
            FilterState.FilterBusy = kFilterRestart;
            return;
        }
        turnstile.Allow(1);
        EXPECT_TRUE(log.WaitForHelperRows(pumps));
    });
    FilterState.FilterBusy = kFilterRunning;
    EXPECT_EQ(RunPumpedRows(kHigh, kWide, 1, band, [&band] { return &band; }), 0);
    EXPECT_EQ(pumps, 5);
    EXPECT_EQ(FilterState.FilterBusy, kFilterIdle);
    // The caller wrote nothing after its stop; the helper at most finished the row it was in.
    ASSERT_GE(doneAtStop, 4);
    EXPECT_LE(log.done.load(), doneAtStop + 1);
    const int doneAfterReturn = log.done.load();
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
    EXPECT_EQ(log.done.load(), doneAfterReturn);  // the helper has been joined
    for (int y = 0; y < kHigh; ++y) EXPECT_LE(log.writes[y].load(), 1);
}

TEST_F(TwoThreadRows, AHelperWithoutMemoryLeavesEveryRowToTheCaller) {
    RowLog log(kHigh);
    auto band = log.Band();
    int pumps = 0;
    platform::SetFilterMessagePump([&] { ++pumps; });
    auto noHelper = []() -> std::optional<decltype(band)> { return std::nullopt; };
    EXPECT_EQ(RunPumpedRows(kHigh, kWide, 1, band, noHelper), 1);
    EXPECT_EQ(pumps, kHigh);
    EXPECT_EQ(log.threads.size(), 1u);
    for (int y = 0; y < kHigh; ++y) EXPECT_EQ(log.writes[y].load(), 1);
}

// The per-pixel formulas with the plain conversions.
std::unique_ptr<PixelBuffer> PlainHsl(const PixelBuffer& src, bool colorize, float dh, float ds, float dl) {
    auto out = CopyOf(src);
    for (int y = 0; y < src.Height(); ++y) {
        for (int x = 0; x < src.Width(); ++x) {
            const Rgb p = PixelAt(src, x, y);
            const HslColour c = colorize ? RgbToSatLum(p.r, p.g, p.b) : RgbToHsl(p.r, p.g, p.b);
            const float l = std::min(100.0f, std::max(0.0f, static_cast<float>(c.l) + dl));
            const float s = std::min(100.0f, std::max(0.0f, static_cast<float>(c.s) + ds));
            float h = colorize ? dh : static_cast<float>(c.h) + dh;
            if (h > 360.0f) {
                h -= 360.0f;
            } else if (h < 0.0f) {
                h += 360.0f;
            }
            const RgbColour q = HslToRgb(static_cast<int>(h), static_cast<int>(s), static_cast<int>(l));
            SetPixel(*out, x, y, {ClampChannel(q.r), ClampChannel(q.g), ClampChannel(q.b)});
        }
    }
    return out;
}

// The box mean over clamped coordinates, pushed by amount / 20.
std::unique_ptr<PixelBuffer> PlainUnsharp(const PixelBuffer& src, int amount, int radius) {
    auto out = CopyOf(src);
    const int w = src.Width();
    const int h = src.Height();
    const int n = (2 * radius + 1) * (2 * radius + 1);
    const int k = amount + 20;
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            for (int c = 0; c < 3; ++c) {
                int sum = 0;
                for (int j = -radius; j <= radius; ++j) {
                    for (int i = -radius; i <= radius; ++i) {
                        sum += src.Row(ClampIndex(y + j, h - 1))[3 * ClampIndex(x + i, w - 1) + c];
                    }
                }
                const int v = (src.Row(y)[3 * x + c] * k) / 20 + ((20 - k) * (sum / n)) / 20;
                out->Row(y)[3 * x + c] = static_cast<std::uint8_t>(ClampChannel(v));
            }
        }
    }
    return out;
}

TEST_F(TwoThreadRows, FiltersGiveThePerPixelNumbers) {
    auto src = RandomBuffer(kWide, kHigh, 11);
    auto target = MakeBuffer(kWide, kHigh);
    ASSERT_EQ(HueSaturation(src.get(), target.get(), -75.0f, 30.0f, -12.0f), 1);
    EXPECT_TRUE(SameBytes(*target, *PlainHsl(*src, false, -75.0f, 30.0f, -12.0f)));
    EXPECT_EQ(FilterState.FilterBusy, kFilterIdle);
    ASSERT_EQ(Colorize(src.get(), target.get(), -150.0f, 45.0f, 8.0f), 1);
    EXPECT_TRUE(SameBytes(*target, *PlainHsl(*src, true, -150.0f, 45.0f, 8.0f)));
    EXPECT_EQ(FilterState.FilterBusy, kFilterIdle);
    // Radius 2 takes the single-precision lanes, radius 6 the plain form; a picture with
    // fewer rows than one run of the sums shows the restart of the sums at a run's start.
    for (int radius : {2, 6}) {
        ASSERT_EQ(UnsharpMask(src.get(), target.get(), 230, radius), 1);
        EXPECT_TRUE(SameBytes(*target, *PlainUnsharp(*src, 230, radius))) << "radius " << radius;
    }
    auto flat = RandomBuffer(2000, 40, 12);
    auto flatTarget = MakeBuffer(2000, 40);
    ASSERT_EQ(UnsharpMask(flat.get(), flatTarget.get(), -15, 1), 1);
    EXPECT_TRUE(SameBytes(*flatTarget, *PlainUnsharp(*flat, -15, 1)));
}

TEST_F(TwoThreadRows, AStoppedRunLeavesWholeRowsAndARestartMatchesACleanRun) {
    auto src = RandomBuffer(kWide, kHigh, 13);
    struct Case {
        const char* name;
        int (*run)(const PixelBuffer*, PixelBuffer*);
    };
    const Case cases[] = {
        {"hue", [](const PixelBuffer* s, PixelBuffer* t) { return HueSaturation(s, t, 40.0f, -20.0f, 15.0f); }},
        {"colorize", [](const PixelBuffer* s, PixelBuffer* t) { return Colorize(s, t, 100.0f, 20.0f, -5.0f); }},
        {"unsharp", [](const PixelBuffer* s, PixelBuffer* t) { return UnsharpMask(s, t, 120, 3); }},
    };
    const std::thread::id caller = std::this_thread::get_id();
    int pumps = 0;
    for (const Case& c : cases) {
        platform::SetFilterMessagePump({});
        auto clean = CopyOf(*src);
        ASSERT_EQ(c.run(src.get(), clean.get()), 1) << c.name;
        auto target = CopyOf(*src);
        pumps = 0;
        // The helper takes one run of rows while the caller waits at its first row, then
        // waits itself until the caller has stopped at its third.
        Turnstile turnstile;
        PumpedRowsHelperGate = [&turnstile] { turnstile.Pass(); };
        platform::SetFilterMessagePump([&] {
            EXPECT_EQ(std::this_thread::get_id(), caller);
            EXPECT_EQ(FilterState.FilterBusy, kFilterRunning);
            ++pumps;
            if (pumps == 1) {
                turnstile.Allow(1);
                EXPECT_TRUE(turnstile.WaitForArrivals(2));
            }
            if (pumps == 3) {
                FilterState.FilterBusy = kFilterRestart;
                turnstile.AllowAll();
            }
        });
        EXPECT_EQ(c.run(src.get(), target.get()), 0) << c.name;
        PumpedRowsHelperGate = nullptr;
        EXPECT_EQ(pumps, 3) << c.name;
        EXPECT_EQ(FilterState.FilterBusy, kFilterIdle) << c.name;
        // Every row is either untouched or finished: no row is half written.
        for (int y = 0; y < kHigh; ++y) {
            const bool untouched = std::equal(target->Row(y), target->Row(y) + 3 * kWide, src->Row(y));
            const bool finished = std::equal(target->Row(y), target->Row(y) + 3 * kWide, clean->Row(y));
            EXPECT_TRUE(untouched || finished) << c.name << " row " << y;
        }
        // The next preview starts from the source and runs to the end.
        platform::SetFilterMessagePump([&] { ++pumps; });
        CopyPixels(target.get(), src.get());
        EXPECT_EQ(c.run(src.get(), target.get()), 1) << c.name;
        EXPECT_TRUE(SameBytes(*target, *clean)) << c.name;
        EXPECT_EQ(FilterState.FilterBusy, kFilterIdle) << c.name;
    }
}

// The live preview names the rows in the view: they are written first and shown once all are
// written, and the picture comes out the same as in plain order.
TEST_F(TwoThreadRows, FirstRowsAreWrittenAndShownBeforeTheRest) {
    struct Range {
        int first;
        int end;
        bool shown;  // only a proper, non-empty part of the rows is shown early
    };
    const Range ranges[] = {{100, 141, true}, {0, 50, true}, {190, kHigh, true}, {0, kHigh, false}, {60, 60, false}};
    for (int threads : {1, 2}) {
        RowThreadsWanted = threads;
        for (const Range& range : ranges) {
            for (int chunk : {1, 32}) {
                RowLog log(kHigh);
                auto band = log.Band();
                int shows = 0;
                FilterState.firstRowsBegin = range.first;
                FilterState.firstRowsEnd = range.end;
                FilterState.firstRowsDone = [&] {
                    ++shows;
                    for (int y = 0; y < kHigh; ++y) {
                        const bool inside = y >= range.first && y < range.end;
                        if (inside) ASSERT_EQ(log.writes[y].load(), 1) << "row " << y;
                        // With one thread nothing else is begun before the view is shown.
                        if (!inside && threads == 1) ASSERT_EQ(log.writes[y].load(), 0) << "row " << y;
                    }
                };
                ASSERT_EQ(RunPumpedRows(kHigh, kWide, chunk, band, [&band] { return &band; }), 1);
                for (int y = 0; y < kHigh; ++y) ASSERT_EQ(log.writes[y].load(), 1) << "row " << y;
                EXPECT_EQ(shows, range.shown ? 1 : 0) << threads << " threads, rows " << range.first << ".."
                                                       << range.end << ", chunk " << chunk;
                EXPECT_EQ(FilterState.firstRowsShown, range.shown);
            }
        }
    }

    auto src = RandomBuffer(kWide, kHigh, 17);
    using Run = int (*)(const PixelBuffer*, PixelBuffer*);
    const Run runs[] = {
        [](const PixelBuffer* s, PixelBuffer* t) { return HueSaturation(s, t, 40.0f, -20.0f, 15.0f); },
        [](const PixelBuffer* s, PixelBuffer* t) { return Colorize(s, t, 100.0f, 20.0f, -5.0f); },
        [](const PixelBuffer* s, PixelBuffer* t) { return UnsharpMask(s, t, 120, 3); },
    };
    for (int threads : {1, 2}) {
        RowThreadsWanted = threads;
        for (Run run : runs) {
            FilterState.firstRowsDone = nullptr;
            auto plain = MakeBuffer(kWide, kHigh);
            ASSERT_EQ(run(src.get(), plain.get()), 1);
            FilterState.firstRowsBegin = 77;
            FilterState.firstRowsEnd = 133;
            FilterState.firstRowsDone = [] {};
            auto ordered = MakeBuffer(kWide, kHigh);
            ASSERT_EQ(run(src.get(), ordered.get()), 1);
            EXPECT_TRUE(FilterState.firstRowsShown);
            EXPECT_TRUE(SameBytes(*ordered, *plain)) << threads << " threads";
        }
    }
}

}  // namespace
