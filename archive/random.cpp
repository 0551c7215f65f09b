#include "archive/random.h"

#include <chrono>

uint32_t RandSeed = 0;

void Randomize() {
    auto ticks = std::chrono::high_resolution_clock::now().time_since_epoch().count();
    RandSeed = static_cast<uint32_t>(ticks);
}

uint32_t Random(uint32_t n) {
    RandSeed = RandSeed * 134775813u + 1u;
    return static_cast<uint32_t>((uint64_t(RandSeed) * n) >> 32);
}

double RandomReal() {
    RandSeed = RandSeed * 134775813u + 1u;
    return RandSeed / 4294967296.0;
}
