#include "htmlview/stylezoom.h"

#include <QRegularExpression>

#include <cmath>
#include <functional>

namespace {

using Replacer = std::function<QString(const QRegularExpressionMatch&)>;

QString replaceEach(const QString& text, const QRegularExpression& re, const Replacer& replace) {
    QString out;
    qsizetype last = 0;
    auto it = re.globalMatch(text);
    while (it.hasNext()) {
        const auto m = it.next();
        out += QStringView(text).mid(last, m.capturedStart() - last);
        out += replace(m);
        last = m.capturedEnd();
    }
    out += QStringView(text).mid(last);
    return out;
}

QString number(double v) {
    return QString::number(v, 'g', 8);
}

// A font size: pt keeps its fraction, px becomes whole pixels.
QString zoomFontSize(double v, const QString& unit, int zoom) {
    const double z = v * zoom / 100.0;
    if (unit.compare(QLatin1String("px"), Qt::CaseInsensitive) == 0)
        return QString::number(roundHalfEven(z)) + QLatin1String("px");
    return number(z) + unit;
}

// A line-height length, as whole pixels.
QString zoomLineHeight(double v, const QString& unit, int zoom) {
    const double px =
        unit.compare(QLatin1String("pt"), Qt::CaseInsensitive) == 0 ? v * 96.0 / 72.0 : v;
    return QString::number(roundHalfEven(px * zoom / 100.0)) + QLatin1String("px");
}

const QRegularExpression& sizeDecl() {
    static const QRegularExpression re(
        QStringLiteral("\\b(font-size|line-height)(\\s*:\\s*)(\\d*\\.?\\d+)\\s*(pt|px)\\b"),
        QRegularExpression::CaseInsensitiveOption);
    return re;
}

const QRegularExpression& fontShorthand() {
    // `font:` itself (not font-size or font-family), up to the end of the declaration.
    static const QRegularExpression re(QStringLiteral("\\bfont(\\s*:)([^;}\"']*)"),
                                       QRegularExpression::CaseInsensitiveOption);
    return re;
}

const QRegularExpression& shorthandLength() {
    static const QRegularExpression re(QStringLiteral("(/\\s*)?(\\d*\\.?\\d+)(pt|px)\\b"),
                                       QRegularExpression::CaseInsensitiveOption);
    return re;
}

} // namespace

int roundHalfEven(double v) {
    const double f = std::floor(v);
    const double diff = v - f;
    if (diff > 0.5)
        return static_cast<int>(f) + 1;
    if (diff < 0.5)
        return static_cast<int>(f);
    return std::fmod(f, 2.0) == 0.0 ? static_cast<int>(f) : static_cast<int>(f) + 1;
}

QString zoomStyleText(const QString& css, int zoom) {
    // Also at 100 percent: the layout knows no line height in points, only the
    // pixels this turns them into.
    const QString sized = replaceEach(css, sizeDecl(), [zoom](const QRegularExpressionMatch& m) {
        const bool isFont =
            m.captured(1).compare(QLatin1String("font-size"), Qt::CaseInsensitive) == 0;
        const double v = m.captured(3).toDouble();
        const QString value =
            isFont ? zoomFontSize(v, m.captured(4), zoom) : zoomLineHeight(v, m.captured(4), zoom);
        return m.captured(1) + m.captured(2) + value;
    });
    return replaceEach(sized, fontShorthand(), [zoom](const QRegularExpressionMatch& m) {
        const QString value =
            replaceEach(m.captured(2), shorthandLength(), [zoom](const QRegularExpressionMatch& l) {
                const double v = l.captured(2).toDouble();
                if (l.capturedLength(1) > 0)
                    return l.captured(1) + zoomLineHeight(v, l.captured(3), zoom);
                return zoomFontSize(v, l.captured(3), zoom);
            });
        return QLatin1String("font") + m.captured(1) + value;
    });
}

QString zoomInlineStyles(const QString& html, int zoom) {
    static const QRegularExpression attr(QStringLiteral("(\\bstyle\\s*=\\s*)(\"[^\"]*\"|'[^']*')"),
                                         QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression element(QStringLiteral("(<style\\b[^>]*>)(.*?)(</style\\s*>)"),
                                            QRegularExpression::CaseInsensitiveOption |
                                                QRegularExpression::DotMatchesEverythingOption);
    const QString attrs = replaceEach(html, attr, [zoom](const QRegularExpressionMatch& m) {
        return m.captured(1) + zoomStyleText(m.captured(2), zoom);
    });
    return replaceEach(attrs, element, [zoom](const QRegularExpressionMatch& m) {
        return m.captured(1) + zoomStyleText(m.captured(2), zoom) + m.captured(3);
    });
}

QStringList takeStyleSheetLinks(QString& html) {
    static const QRegularExpression link(QStringLiteral("<link\\b[^>]*>"),
                                         QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression attribute(
        QStringLiteral("\\b(rel|href)\\s*=\\s*(?:\"([^\"]*)\"|'([^']*)'|([^\\s>]+))"),
        QRegularExpression::CaseInsensitiveOption);
    QStringList hrefs;
    html = replaceEach(html, link, [&hrefs](const QRegularExpressionMatch& m) {
        QString rel;
        QString href;
        auto it = attribute.globalMatch(m.captured(0));
        while (it.hasNext()) {
            const auto a = it.next();
            const QString value = a.captured(2) + a.captured(3) + a.captured(4);
            if (a.captured(1).compare(QLatin1String("rel"), Qt::CaseInsensitive) == 0)
                rel = value.trimmed();
            else
                href = value.trimmed();
        }
        if (rel.compare(QLatin1String("stylesheet"), Qt::CaseInsensitive) != 0 || href.isEmpty())
            return m.captured(0);
        hrefs << href;
        return QString();
    });
    return hrefs;
}
