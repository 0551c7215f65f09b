#include "app/imagelist.h"

#include <QPainter>
#include <QPainterPath>

#include <functional>

namespace {

const QColor ink(45, 62, 90);
const QColor paper(250, 250, 246);
const QColor accent(52, 120, 200);
const QColor warm(196, 48, 40);

QPen inkPen(qreal width = 1.5) {
    return QPen(ink, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
}

void sheet(QPainter& p, const QRectF& r) {
    QPainterPath path;
    path.moveTo(r.left(), r.top());
    path.lineTo(r.right() - 5, r.top());
    path.lineTo(r.right(), r.top() + 5);
    path.lineTo(r.right(), r.bottom());
    path.lineTo(r.left(), r.bottom());
    path.closeSubpath();
    p.setPen(inkPen());
    p.setBrush(paper);
    p.drawPath(path);
}

void drawPage(QPainter& p) {
    sheet(p, QRectF(5, 2.5, 14, 19));
    p.setPen(inkPen(1));
    for (int y = 9; y <= 18; y += 3)
        p.drawLine(QPointF(8, y), QPointF(16, y));
}

void arrow(QPainter& p, bool forward) {
    QPainterPath path;
    path.moveTo(3, 12);
    path.lineTo(11, 4);
    path.lineTo(11, 8.5);
    path.lineTo(21, 8.5);
    path.lineTo(21, 15.5);
    path.lineTo(11, 15.5);
    path.lineTo(11, 20);
    path.closeSubpath();
    if (forward)
        p.setTransform(QTransform(-1, 0, 0, 1, 24, 0));
    p.setPen(inkPen(1.2));
    p.setBrush(accent);
    p.drawPath(path);
    p.resetTransform();
}

void drawToc(QPainter& p) {
    p.setPen(Qt::NoPen);
    p.setBrush(accent);
    for (int y = 5; y <= 19; y += 5)
        p.drawEllipse(QPointF(5, y), 2, 2);
    p.setPen(inkPen(2));
    for (int y = 5; y <= 19; y += 5)
        p.drawLine(QPointF(10, y), QPointF(21, y));
}

void drawOpen(QPainter& p) {
    p.setPen(inkPen(1.2));
    p.setBrush(QColor(232, 196, 96));
    p.drawRect(QRectF(2.5, 6.5, 17, 13));
    QPainterPath flap;
    flap.moveTo(5.5, 10.5);
    flap.lineTo(21.5, 10.5);
    flap.lineTo(19.5, 19.5);
    flap.lineTo(2.5, 19.5);
    flap.closeSubpath();
    p.setBrush(QColor(248, 220, 130));
    p.drawPath(flap);
}

void drawSave(QPainter& p) {
    p.setPen(inkPen(1.2));
    p.setBrush(accent);
    p.drawRoundedRect(QRectF(3.5, 3.5, 17, 17), 2, 2);
    p.setBrush(paper);
    p.drawRect(QRectF(7, 3.5, 10, 6));
    p.drawRect(QRectF(6.5, 13, 11, 7.5));
}

void circleWith(QPainter& p, const QString& letter) {
    p.setPen(inkPen(1.2));
    p.setBrush(accent);
    p.drawEllipse(QPointF(12, 12), 9, 9);
    QFont f = p.font();
    f.setBold(true);
    f.setPixelSize(14);
    p.setFont(f);
    p.setPen(Qt::white);
    p.drawText(QRectF(3, 3, 18, 18), Qt::AlignCenter, letter);
}

void drawExit(QPainter& p) {
    p.setPen(inkPen(1.2));
    p.setBrush(QColor(160, 110, 70));
    p.drawRect(QRectF(3.5, 2.5, 10, 19));
    p.setBrush(ink);
    p.drawEllipse(QPointF(11, 12.5), 1, 1);
    QPainterPath out;
    out.moveTo(22, 12);
    out.lineTo(17, 7);
    out.lineTo(17, 10);
    out.lineTo(12.5, 10);
    out.lineTo(12.5, 14);
    out.lineTo(17, 14);
    out.lineTo(17, 17);
    out.closeSubpath();
    p.setBrush(warm);
    p.drawPath(out);
}

void drawSearch(QPainter& p) {
    p.setPen(QPen(ink, 3, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(15, 15), QPointF(21, 21));
    p.setPen(inkPen(2));
    p.setBrush(QColor(210, 230, 250));
    p.drawEllipse(QPointF(10, 10), 6.5, 6.5);
}

void drawCopy(QPainter& p) {
    sheet(p, QRectF(3, 2.5, 11, 14));
    sheet(p, QRectF(9, 7.5, 11, 14));
}

void drawPrint(QPainter& p) {
    p.setPen(inkPen(1.2));
    p.setBrush(paper);
    p.drawRect(QRectF(6.5, 2.5, 11, 8));
    p.setBrush(QColor(150, 160, 175));
    p.drawRoundedRect(QRectF(2.5, 9.5, 19, 8), 2, 2);
    p.setBrush(paper);
    p.drawRect(QRectF(6.5, 14.5, 11, 7));
    p.setPen(inkPen(1));
    p.drawLine(QPointF(8.5, 17.5), QPointF(15.5, 17.5));
}

// Six lines of a hexagram: the book's own sign.
void drawOracle(QPainter& p) {
    const bool solid[6] = {true, false, true, true, false, false};
    p.setPen(Qt::NoPen);
    p.setBrush(ink);
    for (int i = 0; i < 6; ++i) {
        const qreal y = 2.5 + i * 3.5;
        if (solid[i]) {
            p.drawRect(QRectF(3, y, 18, 2.2));
        } else {
            p.drawRect(QRectF(3, y, 7.5, 2.2));
            p.drawRect(QRectF(13.5, y, 7.5, 2.2));
        }
    }
}

// The character zhong, drawn with strokes, grey when Chinese text is hidden.
void drawChinese(QPainter& p, bool shown) {
    const QColor c = shown ? warm : QColor(140, 140, 140);
    p.setPen(QPen(shown ? warm.darker(130) : QColor(110, 110, 110), 1));
    p.setBrush(shown ? QColor(255, 236, 200) : QColor(235, 235, 235));
    p.drawRoundedRect(QRectF(1.5, 1.5, 21, 21), 3, 3);
    p.setPen(QPen(c, 2.4, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
    p.setBrush(Qt::NoBrush);
    p.drawRect(QRectF(5.5, 8, 13, 7));
    p.drawLine(QPointF(12, 4.5), QPointF(12, 19.5));
}

// A small and a large letter A.
void drawZoom(QPainter& p) {
    p.setPen(QPen(ink, 2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::NoBrush);
    auto letter = [&p](qreal left, qreal width, qreal top, qreal bottom) {
        const qreal mid = left + width / 2;
        p.drawLine(QPointF(left, bottom), QPointF(mid, top));
        p.drawLine(QPointF(mid, top), QPointF(left + width, bottom));
        const qreal barY = top + (bottom - top) * 0.62;
        const qreal inset = width * 0.19;
        p.drawLine(QPointF(left + inset, barY), QPointF(left + width - inset, barY));
    };
    letter(2, 8, 12, 20);
    p.setPen(QPen(accent, 2.4, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    letter(10.5, 12, 3, 20);
}

} // namespace

TImageList::TImageList() {
    const std::function<void(QPainter&)> drawings[pictureCount] = {
        drawPage,
        [](QPainter& p) { arrow(p, false); },
        [](QPainter& p) { arrow(p, true); },
        drawToc,
        drawOpen,
        drawSave,
        [](QPainter& p) { circleWith(p, QStringLiteral("?")); },
        drawExit,
        [](QPainter& p) { circleWith(p, QStringLiteral("i")); },
        drawSearch,
        drawCopy,
        drawPrint,
        drawOracle,
        [](QPainter& p) { drawChinese(p, false); },
        [](QPainter& p) { drawChinese(p, true); },
        drawZoom,
    };
    for (const auto& draw : drawings) {
        QPixmap pixmap(pictureSize, pictureSize);
        pixmap.fill(Qt::transparent);
        QPainter painter(&pixmap);
        painter.setRenderHint(QPainter::Antialiasing);
        draw(painter);
        painter.end();
        pictures_.push_back(pixmap);
    }
}
