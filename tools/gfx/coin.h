#pragma once

#include <QColor>
#include <QFont>
#include <QImage>
#include <QString>

#include <cstdint>

// How one coin looks: its metal, how worn it is and what it says.
struct CoinStyle {
    QColor metal;
    QColor patina;
    double wear = 0;     // 0 new .. 1 heavily worn
    QString inscription; // four characters, read top, bottom, right, left
    uint32_t seed = 0;
};

// A strip of `frames` square frames of `size` pixels side by side: the coin
// turns over about its vertical axis, from the inscribed side (frame 0) to
// the plain side (last frame), on a flat background.
QImage coinStrip(const CoinStyle& style, const QFont& font, int size, int frames,
                 const QColor& background);
