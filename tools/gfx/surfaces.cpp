#include "tools/gfx/surfaces.h"

#include "tools/gfx/noise.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace {

int clampByte(double v) {
    return std::clamp(static_cast<int>(std::lround(v)), 0, 255);
}

QRgb shade(const QColor& base, double delta) {
    return qRgb(clampByte(base.red() + delta), clampByte(base.green() + delta * 1.1),
                clampByte(base.blue() + delta));
}

} // namespace

QColor clothColour() {
    return QColor(50, 86, 72);
}

QImage clothTile(int size) {
    // Every term repeats over the tile: noise periods divide the tile, and the
    // weave has a period of 4 pixels.
    QImage image(size, size, QImage::Format_RGB32);
    const QColor base = clothColour();
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            const double u = static_cast<double>(x) / size;
            const double v = static_cast<double>(y) / size;
            double d = 0;
            d += 6.0 * (periodicNoise(u * 3, v * 3, 3, 11) - 0.5);
            d += 4.0 * (periodicNoise(u * 12, v * 12, 12, 12) - 0.5);
            d += 5.0 * (hashUnit(x, y, 13) - 0.5);
            d += 2.0 * std::sin(2 * M_PI * x / 4.0) * std::sin(2 * M_PI * y / 4.0);
            image.setPixel(x, y, shade(base, d));
        }
    }
    return image;
}

QImage linenSurface(int width, int height) {
    QImage image(width, height, QImage::Format_RGB32);
    const QColor base(234, 226, 206);
    // Thread irregularities: each row and each column has its own slight tone.
    std::vector<double> rowTone(height), columnTone(width);
    for (int y = 0; y < height; ++y)
        rowTone[y] = 9.0 * (hashUnit(0, y, 21) - 0.5) +
                     3.0 * (periodicNoise(y / 37.0, 0, 1 << 20, 22) - 0.5);
    for (int x = 0; x < width; ++x)
        columnTone[x] = 9.0 * (hashUnit(x, 0, 23) - 0.5) +
                        3.0 * (periodicNoise(x / 41.0, 0, 1 << 20, 24) - 0.5);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const bool warp = ((x / 2) + (y / 2)) % 2 == 0; // the weave's over-under
            double d = warp ? columnTone[x] : rowTone[y];
            d += 7.0 * (periodicNoise(x / 260.0, y / 260.0, 1 << 20, 25) - 0.5);
            d += 3.0 * (periodicNoise(x / 40.0, y / 40.0, 1 << 20, 26) - 0.5);
            d += 3.0 * (hashUnit(x, y, 27) - 0.5);
            const int r = clampByte(base.red() + d);
            const int g = clampByte(base.green() + d);
            const int b = clampByte(base.blue() + d * 1.2);
            image.setPixel(x, y, qRgb(r, g, b));
        }
    }
    return image;
}
