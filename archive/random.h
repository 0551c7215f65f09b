// The process-wide pseudo-random generator shared by the key set-up and both
// oracles: a linear congruential generator, seed := seed * 134775813 + 1
// (mod 2^32), advanced before every draw.
#pragma once

#include <cstdint>

extern uint32_t RandSeed;

// Reseeds from the clock (high-resolution counter).
void Randomize();
// Integer draw: the upper 32 bits of (new seed * n), so 0 <= result < n (0 for n == 0).
uint32_t Random(uint32_t n);
// Real draw in [0, 1): new seed / 2^32.
double RandomReal();
