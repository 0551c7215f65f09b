#include "htmlview/htmlviewer.h"

#include "archive/stream.h"
#include "htmlview/stylezoom.h"
#include "model/global.h"

#include <QFile>
#include <QMouseEvent>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextFrame>
#include <QWheelEvent>

#include <algorithm>

namespace {

QString cssFamily(const QString& name) {
    return QLatin1Char('\'') + name + QLatin1Char('\'');
}

// Rules under the page's own style sheets: the fixed-pitch font and link colours.
QString baseStyleSheet(const QString& preFont) {
    return QStringLiteral("pre, tt, code, kbd, samp { font-family: %1; }\n"
                          "a[href] { color: #0000ff; text-decoration: underline; }\n")
        .arg(cssFamily(preFont));
}

QString toQString(const std::string& s) {
    return QString::fromLatin1(s.data(), static_cast<qsizetype>(s.size()));
}

std::string toStdString(const QString& s) {
    return s.toLatin1().toStdString();
}

} // namespace

THTMLViewer::THTMLViewer(QWidget* parent) : QTextBrowser(parent) {
    setOpenLinks(false);
    setOpenExternalLinks(false);
    setUndoRedoEnabled(false);
    QPalette pal = palette();
    pal.setColor(QPalette::Link, QColor(0, 0, 255));
    pal.setColor(QPalette::LinkVisited, QColor(128, 0, 128));
    pal.setColor(QPalette::Text, pal.color(QPalette::ButtonText));
    setPalette(pal);
    setDefBackground(pal.color(QPalette::Button));
    setBorderStyle(htNone);
    setNoSelect(true);
    setScrollBars(ssBoth);
}

void THTMLViewer::setDefBackground(const QColor& color) {
    QPalette pal = palette();
    pal.setColor(QPalette::Base, color);
    setPalette(pal);
}

QColor THTMLViewer::DefBackground() const {
    return palette().color(QPalette::Base);
}

void THTMLViewer::setBorderStyle(TBorderStyle style) {
    setFrameShape(style == htNone ? QFrame::NoFrame : QFrame::StyledPanel);
}

void THTMLViewer::setNoSelect(bool noSelect) {
    noSelect_ = noSelect;
    setTextInteractionFlags(noSelect ? Qt::LinksAccessibleByMouse : Qt::TextBrowserInteraction);
}

void THTMLViewer::setScrollBars(TScrollStyle style) {
    const bool h = style == ssHorizontal || style == ssBoth;
    const bool v = style == ssVertical || style == ssBoth;
    setHorizontalScrollBarPolicy(h ? Qt::ScrollBarAsNeeded : Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(v ? Qt::ScrollBarAsNeeded : Qt::ScrollBarAlwaysOff);
}

void THTMLViewer::loadLines(const std::vector<std::string>& lines, const std::string& base) {
    QString html;
    for (const auto& line : lines) {
        html += toQString(line);
        html += QLatin1String("\r\n");
    }
    const QString newBase = toQString(base);
    const bool keepPosition = hasPage_ && !newBase.isEmpty() && newBase == base_;
    const int oldH = horizontalScrollBar()->value();
    const int oldV = verticalScrollBar()->value();

    // May throw (a damaged archive): the view then keeps the page it shows.
    QString page = html;
    const QString sheets = requestStyleSheets(page);
    source_ = html;
    base_ = newBase;
    hasPage_ = true;

    const int zoom = zoomPercent;
    QFont font(DefFontName);
    font.setPointSizeF(DefFontSize * zoom / 100.0);
    setFont(font); // the widget's font is the document's default, also after a font change
    document()->setDefaultFont(font);
    document()->setDefaultStyleSheet(baseStyleSheet(DefPreFontName) + zoomStyleText(sheets, zoom));
    setHtml(zoomInlineStyles(page, zoom));
    applyMargins();

    if (keepPosition) {
        document()->size(); // lays the page out so the scroll ranges are known
        horizontalScrollBar()->setValue(oldH);
        verticalScrollBar()->setValue(oldV);
    } else {
        horizontalScrollBar()->setValue(0);
        verticalScrollBar()->setValue(0);
    }
}

QString THTMLViewer::requestStyleSheets(QString& html) {
    const QStringList hrefs = takeStyleSheetLinks(html);
    QString css;
    for (const QString& href : hrefs) {
        TMemoryStream* stream = nullptr;
        if (OnhtStreamRequest)
            OnhtStreamRequest(toStdString(href), stream);
        if (stream == nullptr || stream->size() == 0)
            continue;
        const std::string& bytes = stream->bytes();
        css += toQString(bytes);
        css += QLatin1Char('\n');
    }
    return css;
}

void THTMLViewer::applyMargins() {
    QTextFrame* root = document()->rootFrame();
    QTextFrameFormat format = root->frameFormat();
    format.setLeftMargin(MarginWidth);
    format.setRightMargin(MarginWidth);
    format.setTopMargin(MarginHeight);
    format.setBottomMargin(MarginHeight);
    root->setFrameFormat(format);
}

void THTMLViewer::scrollToTop() {
    verticalScrollBar()->setValue(0);
}

bool THTMLViewer::gotoAnchor(const std::string& name) {
    QString wanted = toQString(name);
    if (wanted.startsWith(QLatin1Char('#')))
        wanted.remove(0, 1);
    auto named = [&wanted](const QTextCharFormat& format) {
        const QStringList names = format.anchorNames();
        return std::any_of(names.begin(), names.end(), [&wanted](const QString& n) {
            return n.compare(wanted, Qt::CaseInsensitive) == 0;
        });
    };
    // An anchor written just before a paragraph belongs to the paragraph itself.
    int position = -1;
    for (QTextBlock block = document()->begin(); block.isValid() && position < 0;
         block = block.next()) {
        if (named(block.charFormat())) {
            position = block.position();
            break;
        }
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            if (named(it.fragment().charFormat())) {
                position = it.fragment().position();
                break;
            }
        }
    }
    if (position < 0)
        return false;
    QTextCursor cursor(document());
    cursor.setPosition(position);
    const QRect r = cursorRect(cursor);
    verticalScrollBar()->setValue(verticalScrollBar()->value() + r.top());
    horizontalScrollBar()->setValue(0);
    return true;
}

bool THTMLViewer::findText(const QString& text, bool matchCase) {
    const QTextDocument::FindFlags flags =
        matchCase ? QTextDocument::FindCaseSensitively : QTextDocument::FindFlags();
    const QTextCursor found = document()->find(text, textCursor(), flags);
    if (found.isNull())
        return false;

    QScrollBar* hBar = horizontalScrollBar();
    QScrollBar* vBar = verticalScrollBar();
    const int oldH = hBar->value();
    const int oldV = vBar->value();
    setTextCursor(found); // also scrolls on its own: undo that, the rule below decides
    hBar->setValue(oldH);
    vBar->setValue(oldV);

    QTextCursor start(document());
    start.setPosition(found.selectionStart());
    const QRect r = cursorRect(start); // relative to the visible part
    const int visibleHeight = viewport()->height();
    const int visibleWidth = viewport()->width();
    if (r.top() < 0 || r.top() > visibleHeight - 20)
        vBar->setValue(oldV + r.top() - visibleHeight / 2);
    if (r.left() < 0 || r.left() > visibleWidth - 50)
        hBar->setValue(oldH + r.left() - visibleWidth / 2);
    viewport()->update();
    return true;
}

QVariant THTMLViewer::loadResource(int type, const QUrl& name) {
    if (type == QTextDocument::StyleSheetResource)
        return {}; // linked sheets come through OnhtStreamRequest only
    QString path = name.isRelative() ? name.path() : name.toLocalFile();
    if (path.isEmpty())
        return QTextBrowser::loadResource(type, name);
    if (name.isRelative()) {
        if (base_.isEmpty())
            return {};
        path = base_ + path;
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll();
}

void THTMLViewer::mousePressEvent(QMouseEvent* event) {
    pressedAnchor_ =
        event->button() == Qt::LeftButton ? anchorAt(event->position().toPoint()) : QString();
    if (!pressedAnchor_.isEmpty()) {
        event->accept();
        return;
    }
    QTextBrowser::mousePressEvent(event);
}

void THTMLViewer::mouseReleaseEvent(QMouseEvent* event) {
    const QString anchor = anchorAt(event->position().toPoint());
    const QString pressed = pressedAnchor_;
    pressedAnchor_.clear();
    // Links are ours alone: the base class would select the link's text.
    if (event->button() == Qt::LeftButton && (!pressed.isEmpty() || !anchor.isEmpty())) {
        event->accept();
        if (!pressed.isEmpty() && anchor == pressed && OnHotSpotClick) {
            bool handled = false;
            OnHotSpotClick(toStdString(anchor), handled);
        }
        return;
    }
    QTextBrowser::mouseReleaseEvent(event);
}

void THTMLViewer::wheelEvent(QWheelEvent* event) {
    // The text size is the program's zoom alone: Ctrl with the wheel scrolls
    // instead of changing the font behind the zoom menu's back.
    if (event->modifiers().testFlag(Qt::ControlModifier)) {
        QAbstractScrollArea::wheelEvent(event);
        return;
    }
    QTextBrowser::wheelEvent(event);
}
