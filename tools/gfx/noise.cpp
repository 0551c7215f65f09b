#include "tools/gfx/noise.h"

#include <cmath>

namespace {

uint32_t mix(uint32_t h) {
    h ^= h >> 16;
    h *= 0x7feb352dU;
    h ^= h >> 15;
    h *= 0x846ca68bU;
    h ^= h >> 16;
    return h;
}

double smooth(double t) {
    return t * t * (3.0 - 2.0 * t);
}

int wrap(int i, int period) {
    return ((i % period) + period) % period;
}

} // namespace

double hashUnit(int x, int y, uint32_t seed) {
    uint32_t h =
        mix(seed ^ mix(static_cast<uint32_t>(x) * 0x9e3779b1U ^ mix(static_cast<uint32_t>(y))));
    return (h >> 8) / 16777216.0;
}

double periodicNoise(double x, double y, int period, uint32_t seed) {
    const int x0 = static_cast<int>(std::floor(x));
    const int y0 = static_cast<int>(std::floor(y));
    const double fx = smooth(x - x0);
    const double fy = smooth(y - y0);
    auto at = [&](int dx, int dy) {
        return hashUnit(wrap(x0 + dx, period), wrap(y0 + dy, period), seed);
    };
    const double top = at(0, 0) + (at(1, 0) - at(0, 0)) * fx;
    const double bottom = at(0, 1) + (at(1, 1) - at(0, 1)) * fx;
    return top + (bottom - top) * fy;
}
