#include "tools/Noise.h"

std::uint32_t NoiseState = 1;

int NextNoise() { return StepNoise(NoiseState); }

void ResetNoise() { NoiseState = 1; }
