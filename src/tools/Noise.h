// The program's one random generator: a shift register shared by the spray can and the
// noise filters, so that both continue the same sequence.
#pragma once

#include <cstdint>

// Starts at 1 and is never reseeded while the program runs.
extern std::uint32_t NoiseState;

// Advances the register and returns its low 15 bits (0 to 32767).
int NextNoise();

// Puts the register back to its starting value: tests and the batch tool start from here.
void ResetNoise();
