// The program's one random generator: a shift register shared by the spray can and the
// noise filters, so that both continue the same sequence. Its state is FilterState.NoiseState,
// which starts at 1 and is never reseeded while the program runs.
#pragma once

#include <cstdint>

#include "filters/FilterEngine.h"

// Advances the register held in state and returns its low 15 bits (0 to 32767). Loops that
// draw many numbers keep the register in a local this way and store it back into FilterState.NoiseState
// before anything else may draw, so the one sequence goes on unchanged.
inline int StepNoise(std::uint32_t& state) {
    const std::int32_t s = static_cast<std::int32_t>(state);
    const std::uint32_t t = static_cast<std::uint32_t>(s ^ (s >> 4));  // arithmetic shift
    const std::uint32_t u = t ^ (t << 11);
    state = u & 0x7FFFFFFFu;
    return static_cast<int>(state & 0x7FFFu);
}

// Advances FilterState.NoiseState and returns its low 15 bits (0 to 32767).
int NextNoise();

// The state steps further on from state. The register is linear over the field of two
// elements (its top bit is always clear, so the arithmetic shift is a plain one), so any
// number of steps is one 31 x 31 bit matrix, a product of those of 1, 2, 4, ... steps: a
// filter finds where the one sequence will be at any row and can share its rows out.
std::uint32_t NoiseAhead(std::uint32_t state, std::uint64_t steps);

// Puts the register back to its starting value: tests and the batch tool start from here.
void ResetNoise();
