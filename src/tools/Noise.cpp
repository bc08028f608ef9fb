#include "tools/Noise.h"

std::uint32_t NoiseState = 1;

int NextNoise() {
    const std::int32_t s = static_cast<std::int32_t>(NoiseState);
    const std::uint32_t t = static_cast<std::uint32_t>(s ^ (s >> 4));  // arithmetic shift
    const std::uint32_t u = t ^ (t << 11);
    NoiseState = u & 0x7FFFFFFFu;
    return static_cast<int>(NoiseState & 0x7FFFu);
}

void ResetNoise() { NoiseState = 1; }
