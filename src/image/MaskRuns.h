#pragma once
// Finding runs of selected and outside bytes in a piece's mask eight bytes at a time: the
// masks of whole-picture pieces are mostly long runs, and a byte-by-byte test per pixel
// dominated every pass over them.

#include <cstdint>
#include <cstring>

#include "image/ImageSlots.h"

static_assert(kMaskOutside == 0, "the run search tests for zero bytes");

namespace maskruns {

inline std::uint64_t Load8(const std::uint8_t* p) {
    std::uint64_t v;
    std::memcpy(&v, p, sizeof v);
    return v;
}

inline bool HasZeroByte(std::uint64_t v) {
    return ((v - 0x0101010101010101ull) & ~v & 0x8080808080808080ull) != 0;
}

// The first selected byte at or after from, or end.
inline int SkipOutside(const std::uint8_t* m, int from, int end) {
    while (from + 8 <= end && Load8(m + from) == 0) from += 8;
    while (from < end && m[from] == kMaskOutside) ++from;
    return from;
}

// The first outside byte at or after from, or end.
inline int SkipSelected(const std::uint8_t* m, int from, int end) {
    while (from + 8 <= end && !HasZeroByte(Load8(m + from))) from += 8;
    while (from < end && m[from] != kMaskOutside) ++from;
    return from;
}

// Calls run(first, last) for every run of selected bytes in [from, end), last exclusive.
template <typename Run>
void ForEachSelectedRun(const std::uint8_t* m, int from, int end, Run&& run) {
    while (from < end) {
        const int first = SkipOutside(m, from, end);
        if (first >= end) return;
        const int last = SkipSelected(m, first, end);
        run(first, last);
        from = last;
    }
}

}  // namespace maskruns
