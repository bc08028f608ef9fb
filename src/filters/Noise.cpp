#include "filters/Noise.h"

int NextNoise() { return StepNoise(FilterState.NoiseState); }

namespace {

// Column b: what the steps make of the state with only bit b set.
struct StepMatrix {
    std::uint32_t column[31] = {};
};

std::uint32_t Apply(const StepMatrix& m, std::uint32_t state) {
    std::uint32_t out = 0;
    for (int bit = 0; bit < 31; ++bit) {
        if ((state >> bit) & 1u) out ^= m.column[bit];
    }
    return out;
}

// The matrices of 2^k steps.
struct PowerSteps {
    StepMatrix power[64];
    PowerSteps() {
        for (int bit = 0; bit < 31; ++bit) {
            std::uint32_t state = 1u << bit;
            StepNoise(state);
            power[0].column[bit] = state;
        }
        for (int k = 1; k < 64; ++k) {
            for (int bit = 0; bit < 31; ++bit) power[k].column[bit] = Apply(power[k - 1], power[k - 1].column[bit]);
        }
    }
};

}  // namespace

std::uint32_t NoiseAhead(std::uint32_t state, std::uint64_t steps) {
    static const PowerSteps table;
    for (int k = 0; steps != 0; ++k, steps >>= 1) {
        if (steps & 1u) state = Apply(table.power[k], state);
    }
    return state;
}

void ResetNoise() { FilterState.NoiseState = 1; }
