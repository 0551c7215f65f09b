// The main window in this process, on a copy of the staged program folder.
#include "app/application.h"
#include "app/hexagram.h"
#include "archive/content.h"
#include "htmlview/htmlviewer.h"
#include "model/global.h"
#include "model/hexaroutines.h"
#include "platform/instances.h"
#include "platform/shell.h"

#include <QActionGroup>
#include <QFile>
#include <QListWidget>
#include <QLocalServer>
#include <QMenu>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolButton>

#include <fcntl.h>
#include <memory>
#include <sys/file.h>
#include <unistd.h>

namespace {

struct ShellCall {
    QString target;
    QStringList args;
};

// Another running copy as the registry shows it: an entry whose lock is held,
// with a socket that takes close requests. Its name makes it older than ours.
class FakeCopy {
public:
    explicit FakeCopy(int number) {
        base_ = QStringLiteral("%1/%2-%3")
                    .arg(instanceRegistryFolder())
                    .arg(number, 15, 10, QChar('0'))
                    .arg(number, 10, 10, QChar('0'));
        handle_ = QStringLiteral("copy%1").arg(number);
        QFile info(base_ + ".info");
        if (info.open(QIODevice::WriteOnly))
            info.write("handle=" + handle_.toUtf8() + "\nvisible=1\ntitle=Lunvareth 1.0\n");
        info.close();
        server_.listen(base_ + ".sock");
        lockFd_ = ::open(QFile::encodeName(base_ + ".lock").constData(), O_RDWR | O_CREAT, 0600);
        ::flock(lockFd_, LOCK_EX);
    }
    ~FakeCopy() {
        end();
        QFile::remove(base_ + ".info");
        QFile::remove(base_ + ".lock");
    }
    // Like a copy that ended: the lock goes, the entry is pruned by the next listing.
    void end() {
        if (lockFd_ >= 0)
            ::close(lockFd_);
        lockFd_ = -1;
        server_.close();
    }
    bool askedToClose() {
        return server_.hasPendingConnections() || server_.waitForNewConnection(200);
    }
    QString handle() const { return handle_; }

private:
    QString base_;
    QString handle_;
    QLocalServer server_;
    int lockFd_ = -1;
};

// Throws from its event handler, like a page load that meets a damaged archive.
class Thrower : public QObject {
public:
    bool event(QEvent*) override { throw std::runtime_error("Bad checksum"); }
};

} // namespace

class TestHexagram : public QObject {
    Q_OBJECT
    QTemporaryDir folder;
    std::vector<ShellCall> shellCalls;
    std::vector<std::string> errors;

    QString programPath(const QString& name) const { return folder.path() + "/" + name; }

    void writeConfig(const QByteArray& text) {
        QFile file(programPath("config.ini"));
        QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(text);
    }
    QByteArray readConfig() const {
        QFile file(programPath("config.ini"));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    std::unique_ptr<Tfhexagram> start(const QStringList& params,
                                      const QByteArray& config = "ZOOM=100\n") {
        writeConfig(config);
        zoomPercent = 100;
        return std::make_unique<Tfhexagram>(params);
    }

    static QString pageText(const Tfhexagram& w) { return w.Viewer->toPlainText(); }

private slots:
    void initTestCase() {
        QVERIFY(folder.isValid());
        const QString stage = QStringLiteral(LUNV_STAGE_DIR);
        for (const char* name : {"data1.hhz", "texto", "LunvarethOrg.ttf", "hexagrams.ttf"})
            QFile::link(stage + "/" + name, programPath(name));
        if (!QFile::exists(programPath("data1.hhz")))
            QSKIP("the program folder is not staged");
        setProgramFolder(folder.path().toStdString() + "/");
        setShellOpenHook([this](const QString& target, const QStringList& args) {
            shellCalls.push_back({target, args});
        });
        setExceptionHandler([this](const std::string& message) { errors.push_back(message); });
    }
    void init() {
        shellCalls.clear();
        errors.clear();
        summaryAnswer = OracleCast();
    }
    void cleanup() { QCOMPARE(errors, std::vector<std::string>()); }

    void commandLine_data() {
        QTest::addColumn<QStringList>("params");
        QTest::addColumn<int>("page");
        QTest::addColumn<bool>("panel");
        QTest::addColumn<bool>("maximized");
        QTest::newRow("none") << QStringList() << 0 << true << true;
        QTest::newRow("0") << QStringList{"0"} << 0 << false << true;
        QTest::newRow("abc") << QStringList{"abc"} << 0 << true << true;
        QTest::newRow("12") << QStringList{"12"} << 12 << false << false;
        QTest::newRow("65") << QStringList{"65"} << 0 << true << true;
        QTest::newRow("-1") << QStringList{"-1"} << 0 << true << true;
        QTest::newRow("two") << QStringList{"12", "13"} << 0 << true << true;
    }
    void commandLine() {
        QFETCH(QStringList, params);
        QFETCH(int, page);
        QFETCH(bool, panel);
        QFETCH(bool, maximized);
        auto w = start(params);
        QCOMPARE(w->currentHexagram, page);
        QCOMPARE(!w->oraculo->isHidden(), panel);
        QVERIFY(w->TOCPanel->isHidden());
        QCOMPARE(w->config.maximized, maximized);
        QCOMPARE(w->windowState().testFlag(Qt::WindowMaximized), maximized);
        const QString title = page == 0 ? QString("Lunvareth 1.0")
                                        : QString("Lunvareth 1.0 / 12 - Standstill / Stagnation");
        QCOMPARE(w->windowTitle(), title);
        if (!maximized) {
            const QSize screen = w->screen()->size();
            QCOMPARE(w->size(), QSize(screen.width() / 2, screen.height() / 3 * 2));
        }
        QVERIFY(!pageText(*w).isEmpty());
    }

    void backAndForwardStopAtTheEnds() {
        auto w = start({"1"});
        w->backBtnClick();
        QCOMPARE(w->windowTitle(), QString("Lunvareth 1.0"));
        QCOMPARE(w->currentHexagram, 0);
        QCOMPARE(w->TOC->currentRow(), 0);
        const QString about = pageText(*w);
        w->backBtnClick();
        QCOMPARE(w->currentHexagram, 0);
        QCOMPARE(pageText(*w), about);
        w->forwardBtnClick();
        QCOMPARE(w->currentHexagram, 1);
        QCOMPARE(w->TOC->currentRow(), 1);

        w = start({"64"});
        const QString last = pageText(*w);
        w->forwardBtnClick();
        QCOMPARE(w->beepCount, 1);
        QCOMPARE(w->currentHexagram, 64);
        QCOMPARE(w->windowTitle(), QString("Lunvareth 1.0 / 64 - Before Crossing"));
        QCOMPARE(pageText(*w), last);

        w = start({"40"});
        w->forwardBtnClick();
        QCOMPARE(w->windowTitle(), QString("Lunvareth 1.0 / 41 - Decrease "));
    }

    void panelsExcludeEachOther() {
        auto w = start({});
        w->show();
        w->forwardBtnClick();
        w->forwardBtnClick();
        w->selectTocItem(-1);
        w->tocBtnClick();
        QVERIFY(w->TOCPanel->isVisible());
        QVERIFY(!w->oraculo->isVisible());
        QCOMPARE(w->TOC->currentRow(), 2);
        w->oracleBtnClick();
        QVERIFY(w->oraculo->isVisible());
        QVERIFY(!w->TOCPanel->isVisible());
        w->oracleBtnClick(); // both hidden: the page takes the whole width
        QVERIFY(!w->oraculo->isVisible());
        QVERIFY(!w->TOCPanel->isVisible());
        QTRY_COMPARE(w->visores->width(), w->centralWidget()->width());
    }

    void shortcutsNeedCtrl() {
        auto w = start({});
        w->show();
        QVERIFY(QTest::qWaitForWindowExposed(w.get()));
        w->Viewer->setFocus();
        QTest::keyRelease(w->Viewer, Qt::Key_T);
        QVERIFY(w->TOCPanel->isHidden());
        QTest::keyRelease(w->Viewer, Qt::Key_T, Qt::ControlModifier | Qt::ShiftModifier);
        QVERIFY(w->TOCPanel->isVisible());
        QTest::keyRelease(w->TOC, Qt::Key_O, Qt::ControlModifier);
        QVERIFY(w->oraculo->isVisible());
        QVERIFY(w->TOCPanel->isHidden());

        w->forwardBtnClick();
        QTest::keyRelease(w->Viewer, Qt::Key_P, Qt::ControlModifier | Qt::AltModifier);
        QCOMPARE(w->currentHexagram, 0);
        QCOMPARE(w->windowTitle(), QString("Lunvareth 1.0"));
        QCOMPARE(w->TOC->currentRow(), -1);
        QVERIFY(w->TOC->selectedItems().isEmpty());
    }

    void zoomKeepsTheSummaryAndChineseDropsIt() {
        auto w = start({});
        summaryAnswer.question = "Will it rain?";
        w->load(pageName(5), 5, true);
        QVERIFY(pageText(*w).contains("Question:"));
        w->changeFZoom(w->z150);
        QCOMPARE(zoomPercent, 150);
        QCOMPARE(w->zoomCopy, 150);
        QVERIFY(w->answerMode);
        QVERIFY(pageText(*w).contains("Will it rain?"));
        QCOMPARE(w->Viewer->document()->defaultFont().pointSizeF(), 18.0);
        QCOMPARE(w->TOC->currentRow(), 5);

        w->chineseBtnClick();
        QVERIFY(w->chineseShown);
        QVERIFY(!w->answerMode);
        QVERIFY(!pageText(*w).contains("Question:"));
        QCOMPARE(w->currentHexagram, 5);

        w->close(); // the zoom in force is written at close
        QCOMPARE(readConfig(), QByteArray("ZOOM=150\n"));
        QVERIFY(archiveReader == nullptr);
    }

    void zoomMenuTicksOnlyAMatchingEntry() {
        auto w = start({}, "ZOOM=130\n");
        QCOMPARE(w->zoomCopy, 130);
        w->zoomBtnClick();
        QVERIFY(w->zoomGroup->checkedAction() == nullptr);
        w->ptzoom->close();

        w = start({}, "ZOOM=175\n");
        w->zoomBtnClick();
        QCOMPARE(w->zoomGroup->checkedAction(), w->z175);
        w->ptzoom->close();
        w->z250->trigger();
        QCOMPARE(w->zoomGroup->checkedAction(), w->z250);
        QCOMPARE(zoomPercent, 250);
        QCOMPARE(w->Viewer->document()->defaultFont().pointSizeF(), 30.0);
        w->z200->trigger();
        w->info->loadLines({"<p>Question: ?</p>"}, "");
        QCOMPARE(w->info->document()->defaultFont().pointSizeF(), 20.0);
        QCOMPARE(w->Viewer->document()->defaultFont().pointSizeF(), 24.0);
        zoomPercent = 100;
    }

    void linksFromThePage() {
        auto w = start({"7"});
        bool handled = false;
        w->Viewer->OnHotSpotClick("intro.htm", handled);
        QVERIFY(handled);
        QCOMPARE(w->currentHexagram, 0);
        QCOMPARE(w->windowTitle(), QString("Lunvareth 1.0"));
        QVERIFY(shellCalls.empty());
        const QString intro = pageText(*w);

        handled = false;
        w->Viewer->OnHotSpotClick("Intro.htm", handled);
        QVERIFY(handled);
        QCOMPARE(shellCalls.size(), size_t(1));
        QCOMPARE(shellCalls[0].target, QString("Intro.htm"));
        QCOMPARE(pageText(*w), intro);
    }

    void tocMouse() {
        auto w = start({});
        w->resize(800, 600);
        w->show();
        QVERIFY(QTest::qWaitForWindowExposed(w.get()));
        w->tocBtnClick();
        QListWidget* toc = w->TOC;
        QCOMPARE(toc->count(), 65);
        QCOMPARE(toc->item(41)->text(), QString("41 - Decrease "));

        const QPoint third = toc->visualItemRect(toc->item(3)).center();
        QTest::mouseClick(toc->viewport(), Qt::LeftButton, {}, third);
        QCOMPARE(w->currentHexagram, 3);
        QTest::keyClick(toc, Qt::Key_Down); // moving with the keys loads nothing
        QCOMPARE(toc->currentRow(), 4);
        QCOMPARE(w->currentHexagram, 3);
        toc->setCurrentRow(3);

        toc->scrollToItem(toc->item(12));
        const QPoint twelfth = toc->visualItemRect(toc->item(12)).center();
        QTest::mouseClick(toc->viewport(), Qt::RightButton, {}, twelfth);
        QVERIFY(w->PopupMenu1->isVisible());
        QCOMPARE(toc->currentRow(), 12);
        QCOMPARE(w->loadh->text(), QString("Load 12 - Standstill / Stagnation in another window"));
        QCOMPARE(w->currentHexagram, 3); // the right button loads nothing
        w->loadh->trigger();
        w->PopupMenu1->close();
        QCOMPARE(shellCalls.size(), size_t(1));
        QCOMPARE(shellCalls[0].target, QString::fromStdString(programFolder() + "lunvareth"));
        QCOMPARE(shellCalls[0].args, QStringList{"12"});
        QCOMPARE(toc->currentRow(), 3);
    }

    void answerPaneFollowsThePanelHeight() {
        auto w = start({});
        w->resize(800, 600);
        w->show();
        QVERIFY(QTest::qWaitForWindowExposed(w.get()));
        auto check = [&] {
            QCOMPARE(w->info->height(), w->oraculo->height() - (w->bcoins->y() + 70));
            QCOMPARE(w->info->geometry().bottom(), w->oraculo->height() - 1);
            QCOMPARE(w->info->width(), Tfhexagram::panelWidth);
        };
        check();
        w->resize(800, 900);
        QTRY_COMPARE(w->oraculo->height() > 800, true);
        check();
        QVERIFY(w->info->isHidden());
        QCOMPARE(w->info->DefFontSize, 10.0);
    }

    void exitWithOneWindowClosesIt() {
        auto w = start({});
        w->show();
        QVERIFY(QTest::qWaitForWindowExposed(w.get()));
        bool asked = false;
        w->askQuestion = [&](const QString&) {
            asked = true;
            return QMessageBox::No;
        };
        w->Exit1Click();
        QVERIFY(!asked);
        QVERIFY(!w->isVisible());
    }

    void exitClosesTheWindowsListedWhenYesWasChosen() {
        auto w = start({});
        w->show();
        QVERIFY(QTest::qWaitForWindowExposed(w.get()));
        FakeCopy first(1);
        FakeCopy second(2);
        std::unique_ptr<FakeCopy> later;
        int asked = 0;
        w->askQuestion = [&](const QString&) {
            return ++asked == 1 ? QMessageBox::Yes : QMessageBox::No;
        };
        // While the closing goes on, one copy ends, another starts and Exit runs again.
        QTimer::singleShot(0, w.get(), [&] {
            second.end();
            later = std::make_unique<FakeCopy>(3);
            w->Exit1Click();
        });
        w->Exit1Click();
        QCOMPARE(asked, 2);
        QVERIFY(first.askedToClose());
        QVERIFY(!later->askedToClose());
        QTRY_VERIFY(!w->isVisible());
    }

    void aloneAtStartTheMarkerGoes() {
        QFile marker(programPath("active"));
        QVERIFY(marker.open(QIODevice::WriteOnly));
        marker.close();
        auto w = start({});
        QVERIFY(!QFile::exists(programPath("active")));
    }

    void aDamagedArchiveAtStartIsReportedAndTheWindowOpens() {
        QTemporaryDir broken;
        QFile archive(broken.path() + "/data1.hhz");
        QVERIFY(archive.open(QIODevice::WriteOnly));
        archive.write("this is no archive at all");
        archive.close();
        const std::string good = programFolder();
        setProgramFolder(broken.path().toStdString() + "/");
        zoomPercent = 100;
        {
            Tfhexagram w({"5"});
            QCOMPARE(errors.size(), size_t(1));
            QCOMPARE(w.windowTitle(), QString("Lunvareth 1.0"));
            QVERIFY(w.oraculo->isHidden());
        }
        freeArchiveReader();
        setProgramFolder(good);
        errors.clear();
    }

    void errorsEndTheActionOnly() {
        Thrower thrower;
        QEvent event(QEvent::User);
        QVERIFY(!QCoreApplication::sendEvent(&thrower, &event));
        QCOMPARE(errors, std::vector<std::string>{"Bad checksum"});
        errors.clear();
    }
};

int main(int argc, char** argv) {
    TApplication app(argc, argv);
    TestHexagram test;
    return QTest::qExec(&test, argc, argv);
}

#include "test_hexagram.moc"
