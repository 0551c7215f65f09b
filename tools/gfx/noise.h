#pragma once

#include <cstdint>

// Smooth value noise that repeats every `period` lattice cells in x and y, so
// that textures built from it tile without seams.
double periodicNoise(double x, double y, int period, uint32_t seed);

// A hash of three integers to [0, 1).
double hashUnit(int x, int y, uint32_t seed);
