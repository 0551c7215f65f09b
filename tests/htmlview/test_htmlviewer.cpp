#include "archive/stream.h"
#include "htmlview/htmlviewer.h"
#include "htmlview/stylezoom.h"
#include "model/global.h"

#include <QApplication>
#include <QImage>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBlock>
#include <QWheelEvent>

namespace {

std::vector<std::string> longPage(const std::string& marker) {
    std::vector<std::string> lines{"<html><body>"};
    for (int i = 0; i < 200; ++i)
        lines.push_back("<p>Paragraph " + std::to_string(i) + "</p>");
    // Placed as the page builder places its anchors: just before a paragraph.
    lines.push_back("<a name=\"Deep\"></a><p>" + marker + " far down</p>");
    lines.push_back("<p>Tail <a name=\"inner\"></a>anchor</p>");
    for (int i = 0; i < 50; ++i)
        lines.push_back("<p>Tail " + std::to_string(i) + "</p>");
    lines.push_back("</body></html>");
    return lines;
}

// The char format of the first fragment holding text.
QTextCharFormat firstTextFormat(const QTextDocument* doc, const QString& text) {
    for (QTextBlock b = doc->begin(); b.isValid(); b = b.next())
        for (auto it = b.begin(); !it.atEnd(); ++it)
            if (it.fragment().text().contains(text))
                return it.fragment().charFormat();
    return {};
}

void answerPaneSettings(THTMLViewer& v) {
    v.DefFontName = "Georgia";
    v.DefFontSize = 10;
    v.MarginWidth = 5;
    v.MarginHeight = 0;
    v.setDefBackground(Qt::white);
    v.setScrollBars(THTMLViewer::ssVertical);
}

} // namespace

class TestHtmlViewer : public QObject {
    Q_OBJECT
    THTMLViewer* view = nullptr;

private slots:
    void init() {
        zoomPercent = 100;
        view = new THTMLViewer;
        view->resize(400, 300);
        view->show();
        QVERIFY(QTest::qWaitForWindowExposed(view));
    }
    void cleanup() {
        delete view;
        zoomPercent = 100;
    }

    void zoomArithmetic() {
        QCOMPARE(roundHalfEven(22.5), 22);
        QCOMPARE(roundHalfEven(19.5), 20);
        QCOMPARE(roundHalfEven(19.4), 19);
        QCOMPARE(zoomStyleText("p { font-size: 10pt; line-height: 15px }", 150),
                 QString("p { font-size: 15pt; line-height: 22px }"));
        QCOMPARE(zoomStyleText("td{font-size:13px;line-height:1.2}", 150),
                 QString("td{font-size:20px;line-height:1.2}"));
        QCOMPARE(zoomStyleText("h1 { font: bold 12pt/18px Arial }", 200),
                 QString("h1 { font: bold 24pt/36px Arial }"));
        QCOMPARE(zoomStyleText("span { font-family: x; font-size: 1.5em }", 200),
                 QString("span { font-family: x; font-size: 1.5em }"));
        // Points become pixels at every zoom, 100 percent included.
        QCOMPARE(zoomStyleText("p { line-height: 18pt }", 100), QString("p { line-height: 24px }"));
    }

    void styleSheetLinksAreTakenOut() {
        QString html = "<head><LINK REL=StyleSheet HREF=\"a.css\">"
                       "<link rel='stylesheet' type='text/css' href='b.css'/>"
                       "<link rel=\"icon\" href=\"c.ico\"><link rel=\"stylesheet\"></head>";
        QCOMPARE(takeStyleSheetLinks(html), QStringList({"a.css", "b.css"}));
        QCOMPARE(html, QString("<head><link rel=\"icon\" href=\"c.ico\">"
                               "<link rel=\"stylesheet\"></head>"));
    }

    void anchorsIgnoreCase() {
        view->loadLines(longPage("Target"), "");
        const int before = view->verticalScrollBar()->value();
        QVERIFY(!view->gotoAnchor("#nowhere"));
        QCOMPARE(view->verticalScrollBar()->value(), before);

        view->horizontalScrollBar()->setValue(view->horizontalScrollBar()->maximum());
        QVERIFY(view->gotoAnchor("#deep"));
        QVERIFY(view->verticalScrollBar()->value() > 0);
        QCOMPARE(view->horizontalScrollBar()->value(), 0);
        QTextCursor c = view->document()->find("Target far down");
        const int top = view->cursorRect(c).top();
        QVERIFY2(top >= 0 && top < 10, qPrintable(QString::number(top)));
        QVERIFY(view->gotoAnchor("DEEP"));
        QVERIFY(view->gotoAnchor("Inner"));
    }

    void findTextRules() {
        std::vector<std::string> lines = longPage("Needle");
        lines.insert(lines.begin() + 1, "<p>needle near the top</p>");
        view->loadLines(lines, "");

        QVERIFY(!view->findText("NEEDLE", true));
        QVERIFY(view->findText("NEEDLE", false)); // the one near the top: no scrolling
        QCOMPARE(view->textCursor().selectedText(), QString("needle"));
        QCOMPARE(view->verticalScrollBar()->value(), 0);

        QVERIFY(view->findText("Needle", true)); // forward from the caret, far down
        QCOMPARE(view->textCursor().selectedText(), QString("Needle"));
        QCOMPARE(view->textCursor().position(), view->textCursor().selectionEnd());
        const QRect r = view->cursorRect(view->document()->find("Needle far down"));
        const int half = view->viewport()->height() / 2;
        QVERIFY2(qAbs(r.top() - half) <= 1, qPrintable(QString::number(r.top())));

        QVERIFY(!view->findText("Needle", true)); // nothing after the last one
    }

    void scrollPositionFollowsTheBase() {
        view->loadLines(longPage("x"), "/a/");
        view->verticalScrollBar()->setValue(300);
        view->loadLines(longPage("y"), "/a/"); // same base: stays
        QCOMPARE(view->verticalScrollBar()->value(), 300);
        view->scrollToTop();
        QCOMPARE(view->verticalScrollBar()->value(), 0);

        view->verticalScrollBar()->setValue(300);
        view->loadLines(longPage("z"), "/b/"); // another base: top
        QCOMPARE(view->verticalScrollBar()->value(), 0);

        view->loadLines(longPage("z"), "");
        view->verticalScrollBar()->setValue(300);
        view->loadLines(longPage("z"), ""); // an empty base always counts as new
        QCOMPARE(view->verticalScrollBar()->value(), 0);
    }

    void zoomScalesDefaultAndStyledSizes_data() {
        QTest::addColumn<int>("zoom");
        QTest::addColumn<double>("mainSize");
        QTest::addColumn<double>("paneSize");
        QTest::addColumn<double>("styled");
        QTest::addColumn<int>("lineHeight");
        QTest::addColumn<int>("pointLineHeight");
        QTest::newRow("100") << 100 << 12.0 << 10.0 << 9.0 << 15 << 24;
        QTest::newRow("150") << 150 << 18.0 << 15.0 << 13.5 << 22 << 36;
        QTest::newRow("200") << 200 << 24.0 << 20.0 << 18.0 << 30 << 48;
    }
    void zoomScalesDefaultAndStyledSizes() {
        QFETCH(int, zoom);
        zoomPercent = zoom;
        const std::vector<std::string> page{
            "<html><body><p>plain</p>", "<p style=\"font-size: 9pt; line-height: 15px\">styled</p>",
            "<p style=\"line-height: 18pt\">points</p></body></html>"};
        view->loadLines(page, "");
        QTEST(view->document()->defaultFont().pointSizeF(), "mainSize");
        QTEST(firstTextFormat(view->document(), "styled").fontPointSize(), "styled");
        QTextBlock styled = view->document()->find("styled").block();
        QTEST(qRound(styled.blockFormat().lineHeight()), "lineHeight");
        QTextBlock points = view->document()->find("points").block();
        QTEST(qRound(points.blockFormat().lineHeight()), "pointLineHeight");

        THTMLViewer pane;
        answerPaneSettings(pane);
        pane.loadLines(page, "");
        QTEST(pane.document()->defaultFont().pointSizeF(), "paneSize");
        QCOMPARE(pane.document()->defaultFont().family(), QString("Georgia"));
    }

    void ctrlWheelScrollsButLeavesTheTextSize() {
        view->loadLines(longPage("x"), "");
        const QPoint at = view->viewport()->rect().center();
        QWheelEvent wheel(at, view->viewport()->mapToGlobal(at), QPoint(), QPoint(0, -120),
                          Qt::NoButton, Qt::ControlModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(view->viewport(), &wheel);
        QCOMPARE(view->font().pointSizeF(), 12.0);
        QCOMPARE(view->document()->defaultFont().pointSizeF(), 12.0);
        QVERIFY(view->verticalScrollBar()->value() > 0);
    }

    void linkedStyleSheetIsRequestedAndApplied() {
        TMemoryStream sheet;
        std::vector<std::string> asked;
        view->OnhtStreamRequest = [&](const std::string& name, TMemoryStream*& out) {
            asked.push_back(name);
            sheet.clear();
            if (name == "Styles/page.css") {
                const std::string css = "p.big { font-size: 20pt }";
                sheet.write(css.data(), css.size());
            }
            out = &sheet;
        };
        zoomPercent = 150;
        view->loadLines({"<html><head><link rel=\"stylesheet\" href=\"Styles/page.css\">",
                         "</head><body><p class=\"big\">large</p></body></html>"},
                        "/p/");
        QCOMPARE(asked, std::vector<std::string>{"Styles/page.css"});
        QCOMPARE(firstTextFormat(view->document(), "large").fontPointSize(), 30.0);

        asked.clear();
        view->loadLines(
            {"<link rel=\"stylesheet\" href=\"missing.css\">", "<p class=\"big\">normal</p>"},
            "/p/");
        QCOMPARE(asked, std::vector<std::string>{"missing.css"});
        QCOMPARE(firstTextFormat(view->document(), "normal").fontPointSize(), 0.0);

        // A failing request ends the load; the view keeps the page it shows.
        const QString shown = view->pageSource();
        view->OnhtStreamRequest = [](const std::string&, TMemoryStream*&) {
            throw std::runtime_error("Bad checksum during expansion -- data may be invalid");
        };
        QVERIFY_THROWS_EXCEPTION(
            std::runtime_error,
            view->loadLines({"<link rel=stylesheet href=x.css><p>new</p>"}, "/p/"));
        QCOMPARE(view->pageSource(), shown);
        QCOMPARE(view->toPlainText().trimmed(), QString("normal"));
    }

    void linkClickGoesToTheEventOnly() {
        std::vector<std::string> targets;
        view->OnHotSpotClick = [&](const std::string& target, bool& handled) {
            targets.push_back(target);
            handled = true;
        };
        view->loadLines({"<p>Read the <a href=\"Intro.htm\">introduction</a> first.</p>"}, "/p/");
        const QString before = view->toPlainText();
        QTextCursor c = view->document()->find("introduction");
        c.setPosition(c.selectionStart() + 3);
        const QPoint at = view->cursorRect(c).center();
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, at);
        QCOMPARE(targets, std::vector<std::string>{"Intro.htm"});
        QCOMPARE(view->toPlainText(), before);
        QVERIFY(!view->textCursor().hasSelection());

        QTest::mouseClick(view->viewport(), Qt::RightButton, {}, at);
        QCOMPARE(targets.size(), size_t(1));

        // Dragging over the text selects nothing, also when it ends on the link.
        QTextCursor first = view->document()->find("Read");
        const QPoint from = view->cursorRect(first).center() - QPoint(20, 0);
        QTest::mousePress(view->viewport(), Qt::LeftButton, {}, from);
        QTest::mouseMove(view->viewport(), at);
        QTest::mouseRelease(view->viewport(), Qt::LeftButton, {}, at);
        QVERIFY(!view->textCursor().hasSelection());
        QCOMPARE(targets.size(), size_t(1));
    }

    void picturesComeFromTheBaseFolder() {
        QTemporaryDir dir;
        QImage picture(8, 6, QImage::Format_RGB32);
        picture.fill(Qt::red);
        QVERIFY(picture.save(dir.filePath("pic.png")));
        const std::vector<std::string> page{"<p><img src=\"pic.png\"></p>"};
        auto loaded = [this] {
            view->document()->size(); // lays the page out, which fetches the picture
            const QVariant v =
                view->document()->resource(QTextDocument::ImageResource, QUrl("pic.png"));
            return v.isValid() && !v.isNull();
        };
        view->loadLines(page, dir.path().toStdString() + "/");
        QVERIFY(loaded());
        view->loadLines(page, "");
        QVERIFY(!loaded());
    }
};

QTEST_MAIN(TestHtmlViewer)
#include "test_htmlviewer.moc"
