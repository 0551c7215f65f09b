// THTMLViewer: the view that shows the program's pages, on top of QTextBrowser.
// It never follows links itself: clicks go to OnHotSpotClick. Linked style
// sheets are asked for through OnhtStreamRequest and applied with the page.
#pragma once

#include "model/pagebuilder.h"

#include <QColor>
#include <QTextBrowser>

#include <functional>
#include <string>
#include <vector>

class TMemoryStream;

class THTMLViewer : public QTextBrowser, public PageView {
    Q_OBJECT
public:
    enum TScrollStyle { ssNone, ssHorizontal, ssVertical, ssBoth };
    enum TBorderStyle { htNone, htSingle };

    // Link target exactly as written in the page; set handled when taken care of.
    using HotSpotClickEvent = std::function<void(const std::string& target, bool& handled)>;
    // Name as written in the page's href; out receives a stream read from its start.
    using StreamRequestEvent = std::function<void(const std::string& name, TMemoryStream*& out)>;

    explicit THTMLViewer(QWidget* parent = nullptr);

    // Settings, applied to every page loaded afterwards.
    QString DefFontName = QStringLiteral("Times New Roman");
    QString DefPreFontName = QStringLiteral("Courier New");
    double DefFontSize = 12;
    int HistoryMaxCount = 0; // the view keeps no navigation history
    int MarginWidth = 10;
    int MarginHeight = 5;
    HotSpotClickEvent OnHotSpotClick;
    StreamRequestEvent OnhtStreamRequest;

    void setDefBackground(const QColor& color);
    QColor DefBackground() const;
    void setBorderStyle(TBorderStyle style);
    void setNoSelect(bool noSelect);
    bool NoSelect() const { return noSelect_; }
    void setScrollBars(TScrollStyle style);

    // PageView: the lines joined by CR LF become the page. The view starts at
    // the top unless the base equals the previous page's (non-empty) base.
    void loadLines(const std::vector<std::string>& lines, const std::string& base) override;
    void scrollToTop();
    // Scrolls the named anchor (leading '#' ignored, any case) to the top-left.
    bool gotoAnchor(const std::string& name);
    // Finds, selects and reveals the next occurrence after the caret.
    bool findText(const QString& text, bool matchCase);

    // The page text as last handed to loadLines.
    const QString& pageSource() const { return source_; }
    const QString& base() const { return base_; }

protected:
    QVariant loadResource(int type, const QUrl& name) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;

private:
    QString requestStyleSheets(QString& html);
    void applyMargins();

    QString source_;
    QString base_;
    bool hasPage_ = false;
    bool noSelect_ = true;
    QString pressedAnchor_;
};
