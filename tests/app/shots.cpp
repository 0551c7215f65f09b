// Takes screenshots of the main window for a look by eye (not a test):
//   xvfb-run -a -s "-screen 0 1600x1000x24" app_shots <staged program folder> <output folder>
#include "app/application.h"
#include "app/hexagram.h"
#include "archive/content.h"
#include "htmlview/htmlviewer.h"
#include "model/global.h"
#include "model/hexaroutines.h"
#include "model/pagebuilder.h"
#include "platform/fonts.h"

#include <QDir>
#include <QListWidget>
#include <QMenu>
#include <QScreen>
#include <QTest>
#include <QToolButton>

namespace {

void shoot(const QString& file) {
    QTest::qWait(400);
    QGuiApplication::primaryScreen()->grabWindow(0).save(file);
}

} // namespace

int main(int argc, char** argv) {
    TApplication app(argc, argv);
    TApplication::setApplicationName(QStringLiteral("Lunvareth"));
    if (argc != 3)
        return 2;
    setProgramFolder(QDir(QString::fromLocal8Bit(argv[1])).absolutePath().toStdString() + "/");
    const QString out = QDir(QString::fromLocal8Bit(argv[2])).absolutePath() + "/";
    installFontSubstitutions();

    Tfhexagram w({});
    w.show();
    shoot(out + "main_about.png");

    w.forwardBtnClick();
    w.chineseBtnClick();
    shoot(out + "hexagram_chinese_100.png");

    w.tocBtnClick();
    w.TOC->scrollToItem(w.TOC->item(1));
    shoot(out + "toc.png");
    w.TOCMouseUp(Qt::RightButton, w.TOC->visualItemRect(w.TOC->item(12)).center());
    shoot(out + "toc_menu.png");
    w.PopupMenu1->close();
    w.selectTocItem(w.savedTocIndex);

    w.zoomBtnClick();
    w.ptzoom->popup(w.zoomBtn->mapToGlobal(QPoint(0, w.zoomBtn->height())));
    shoot(out + "zoom_menu.png");
    w.z200->trigger();
    w.ptzoom->close();
    w.oracleBtnClick();
    shoot(out + "hexagram_chinese_200.png");

    w.z100->trigger();
    w.chineseBtnClick();
    summaryAnswer.question = "What should I keep in mind for the new work?";
    summaryAnswer.date = castDate();
    summaryAnswer.primary = 1;
    summaryAnswer.relating = 44;
    fillAnswerTexts(summaryAnswer);
    w.load(pageName(1), 1, true);
    shoot(out + "answer_summary.png");

    // Content pages at both sizes: three hexagrams with and without the
    // Chinese tables, the introduction, and a guideline page in the answer pane.
    for (int zoom : {100, 200}) {
        (zoom == 100 ? w.z100 : w.z200)->trigger();
        const QString z = QString::number(zoom);
        for (int n : {5, 29, 50}) {
            w.load(pageName(n), n, false);
            shoot(out + QStringLiteral("page%1_%2.png").arg(n).arg(z));
            w.chineseBtnClick();
            shoot(out + QStringLiteral("page%1_chinese_%2.png").arg(n).arg(z));
            w.chineseBtnClick();
        }
        w.load("intro.htm", 0, false);
        shoot(out + "intro_" + z + ".png");
        w.info->show();
        w.FormResize();
        w.info->loadLines(
            {"<p>Question: Shall I take the new post?</p><p>Date: " + castDate() + "</p>",
             "<p><i>Interpretation guidelines:</i></p>", loadText("402.htm", 2)},
            "");
        shoot(out + "guideline402_" + z + ".png");
        w.info->hide();
    }
    w.z100->trigger();

    return 0; // without closing: the staged config.ini stays as it was
}
