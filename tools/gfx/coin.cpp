#include "tools/gfx/coin.h"

#include "tools/gfx/noise.h"

#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

#include <algorithm>
#include <cmath>

namespace {

constexpr double Radius = 52;   // of the coin at rest, in pixels
constexpr double Thickness = 7; // of its rim
constexpr double HoleHalf = 11; // half the side of the square hole
constexpr double RimWidth = 6;

QColor blend(const QColor& a, const QColor& b, double t) {
    return QColor::fromRgbF(
        a.redF() + (b.redF() - a.redF()) * t, a.greenF() + (b.greenF() - a.greenF()) * t,
        a.blueF() + (b.blueF() - a.blueF()) * t, a.alphaF() + (b.alphaF() - a.alphaF()) * t);
}

// Fills a raised shape: a dark edge below-right, a light edge above-left.
void raised(QPainter& p, const QPainterPath& shape, const QColor& metal) {
    p.fillPath(shape.translated(0.8, 0.8), metal.darker(170));
    p.fillPath(shape.translated(-0.6, -0.6), metal.lighter(135));
    p.fillPath(shape, metal.lighter(108));
}

// Greenish patina and scratches over the metal, inside the disc only.
void wear(QImage& face, const CoinStyle& style) {
    const double c = face.width() / 2.0;
    for (int y = 0; y < face.height(); ++y) {
        QRgb* line = reinterpret_cast<QRgb*>(face.scanLine(y));
        for (int x = 0; x < face.width(); ++x) {
            if (qAlpha(line[x]) == 0)
                continue;
            const double n = periodicNoise(x / 9.0, y / 9.0, 1 << 16, style.seed) * 0.7 +
                             periodicNoise(x / 3.0, y / 3.0, 1 << 16, style.seed + 1) * 0.3;
            double amount =
                std::clamp((n - (0.72 - 0.3 * style.wear)) * 3.0, 0.0, 1.0) * style.wear;
            const double grain = (hashUnit(x, y, style.seed + 2) - 0.5) * 0.08;
            const double edge = std::hypot(x - c, y - c) / c; // rims wear to bare metal
            QColor px = QColor::fromRgba(line[x]);
            QColor out = blend(px, style.patina, amount * (1.0 - 0.5 * edge));
            out = out.lighter(100 + static_cast<int>(grain * 100 + style.wear * 12 * edge * edge));
            out.setAlpha(px.alpha());
            line[x] = out.rgba();
        }
    }
}

QImage face(const CoinStyle& style, const QFont& font, bool inscribed) {
    const int side = static_cast<int>(2 * Radius) + 2;
    const QPointF c(side / 2.0, side / 2.0);
    QImage img(side, side, QImage::Format_ARGB32);
    img.fill(Qt::transparent);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);

    QRadialGradient sheen(c - QPointF(Radius * 0.4, Radius * 0.4), Radius * 1.6);
    sheen.setColorAt(0, style.metal.lighter(125));
    sheen.setColorAt(1, style.metal.darker(135));
    p.setBrush(sheen);
    p.drawEllipse(c, Radius, Radius);

    // Raised outer rim and the recessed field inside it.
    QPainterPath rim;
    rim.addEllipse(c, Radius, Radius);
    QPainterPath field;
    field.addEllipse(c, Radius - RimWidth, Radius - RimWidth);
    raised(p, rim.subtracted(field), style.metal);
    p.fillPath(field, QColor(0, 0, 0, 28));

    // Raised square around the hole.
    const QRectF hole(c.x() - HoleHalf, c.y() - HoleHalf, 2 * HoleHalf, 2 * HoleHalf);
    QPainterPath frame;
    frame.addRect(hole.adjusted(-4, -4, 4, 4));
    QPainterPath holePath;
    holePath.addRect(hole);
    raised(p, frame.subtracted(holePath), style.metal);

    if (inscribed) {
        const QPointF spots[4] = {{0, -1}, {0, 1}, {1, 0}, {-1, 0}};
        QFont f = font;
        f.setPixelSize(static_cast<int>(Radius * 0.42));
        const QFontMetricsF fm(f);
        for (int i = 0; i < 4 && i < style.inscription.size(); ++i) {
            const QString ch = style.inscription.mid(i, 1);
            const QRectF box = fm.boundingRect(ch);
            const QPointF at = c + spots[i] * (Radius * 0.6) -
                               QPointF(box.width() / 2 + box.left(), box.height() / 2 + box.top());
            QPainterPath glyph;
            glyph.addText(at, f, ch);
            raised(p, glyph, style.metal);
        }
    } else {
        // A crescent above the hole and four dots between the rims.
        QPainterPath moon;
        moon.addEllipse(c + QPointF(0, -Radius * 0.55), Radius * 0.2, Radius * 0.2);
        QPainterPath bite;
        bite.addEllipse(c + QPointF(0, -Radius * 0.62), Radius * 0.19, Radius * 0.19);
        raised(p, moon.subtracted(bite), style.metal);
        for (int i = 0; i < 4; ++i) {
            const double a = M_PI / 4 + i * M_PI / 2;
            QPainterPath dot;
            dot.addEllipse(c + QPointF(std::cos(a), std::sin(a)) * (Radius * 0.62), 3, 3);
            raised(p, dot, style.metal);
        }
    }

    p.setCompositionMode(QPainter::CompositionMode_Clear);
    p.fillRect(hole, Qt::transparent);
    p.end();
    wear(img, style);
    return img;
}

void drawFrame(QPainter& p, const QImage& front, double angle, int size, const QColor& background,
               const QColor& metal) {
    const double sx = std::abs(std::cos(angle));
    const double lift = std::sin(angle);
    const double scale = 1.0 + 0.08 * lift; // the coin rises towards the viewer mid-turn
    const double r = Radius * scale;
    const double t = Thickness * scale;
    const QPointF c(size / 2.0, size / 2.0 - 3 * lift);
    // The face seen is on the viewer's side of the rim; the rim runs from it
    // to the hidden face, and changes sides once the coin is past edge-on.
    const double faceOffset = (std::cos(angle) >= 0 ? 1 : -1) * t / 2 * lift;

    p.setPen(Qt::NoPen);
    p.setBrush(background.darker(135));
    const double shadowWidth = r * sx + t * lift / 2;
    p.drawEllipse(QPointF(size / 2.0 + 2 + 4 * lift, size / 2.0 + 3), shadowWidth,
                  r * (1.0 - 0.06 * lift));

    QLinearGradient edge(0, c.y() - r, 0, c.y() + r);
    edge.setColorAt(0, metal.darker(115));
    edge.setColorAt(0.5, metal.darker(150));
    edge.setColorAt(1, metal.darker(210));
    p.setBrush(edge);
    const double steps = std::max(1.0, std::ceil(std::abs(2 * faceOffset) * 2));
    for (int k = 0; k <= steps; ++k) {
        const double off = -faceOffset + 2 * faceOffset * k / steps;
        p.drawEllipse(QPointF(c.x() + off, c.y()), std::max(r * sx, 0.5), r);
    }

    if (sx > 0.02) {
        p.save();
        p.translate(c.x() + faceOffset, c.y());
        p.scale(sx * scale, scale);
        p.setRenderHint(QPainter::SmoothPixmapTransform);
        p.drawImage(QPointF(-front.width() / 2.0, -front.height() / 2.0), front);
        p.restore();
        // Through the hole: the cloth, and the hole's inner wall on the rim's side.
        const double hw = HoleHalf * sx * scale;
        const double hh = HoleHalf * scale;
        const QRectF hole(c.x() + faceOffset - hw, c.y() - hh, 2 * hw, 2 * hh);
        p.fillRect(hole, background.darker(135));
        const double wall = std::min(std::abs(2 * faceOffset), 2 * hw);
        const QRectF wallRect = faceOffset > 0
                                    ? QRectF(hole.left(), hole.top(), wall, hole.height())
                                    : QRectF(hole.right() - wall, hole.top(), wall, hole.height());
        p.fillRect(wallRect, metal.darker(170));
    }
}

} // namespace

QImage coinStrip(const CoinStyle& style, const QFont& font, int size, int frames,
                 const QColor& background) {
    const QImage inscribed = face(style, font, true);
    const QImage plain = face(style, font, false);
    QImage strip(size * frames, size, QImage::Format_RGB32);
    strip.fill(background);
    QPainter p(&strip);
    p.setRenderHint(QPainter::Antialiasing);
    for (int i = 0; i < frames; ++i) {
        const double angle = M_PI * i / (frames - 1);
        p.save();
        p.setClipRect(i * size, 0, size, size);
        p.translate(i * size, 0);
        drawFrame(p, 2 * i < frames - 1 ? inscribed : plain, angle, size, background, style.metal);
        p.restore();
    }
    return strip;
}
