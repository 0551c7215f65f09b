// Real copies of the program next to a main window in this process: listing,
// closing all of them from Exit, and copies that were killed.
#include "app/application.h"
#include "app/hexagram.h"
#include "archive/content.h"
#include "platform/instances.h"

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <memory>
#include <vector>

class TestInstances : public QObject {
    Q_OBJECT
    QTemporaryDir folder;
    QTemporaryDir registry;
    std::vector<std::unique_ptr<QProcess>> copies;

    QString programPath(const QString& name) const { return folder.path() + "/" + name; }

    QProcess* startCopy(const QString& param) {
        auto process = std::make_unique<QProcess>();
        process->setStandardErrorFile(QProcess::nullDevice());
        process->start(programPath("lunvareth"), {param});
        if (!process->waitForStarted(10000))
            return nullptr;
        copies.push_back(std::move(process));
        return copies.back().get();
    }

    static int listed() {
        QStringList list;
        collectInstances(list);
        return list.size();
    }

    static bool allEnded(const std::vector<std::unique_ptr<QProcess>>& processes) {
        for (const auto& p : processes)
            if (p->state() != QProcess::NotRunning)
                return false;
        return true;
    }

private slots:
    void initTestCase() {
        QVERIFY(folder.isValid() && registry.isValid());
        qputenv("LUNVARETH_RUNTIME_DIR", registry.path().toLocal8Bit());
        qputenv("QT_QPA_PLATFORM", "offscreen");
        const QString stage = QStringLiteral(LUNV_STAGE_DIR);
        if (!QFile::exists(stage + "/lunvareth") || !QFile::exists(stage + "/data1.hhz"))
            QSKIP("the program is not staged");
        // A copy of the executable: its own folder is its program folder.
        QVERIFY(QFile::copy(stage + "/lunvareth", programPath("lunvareth")));
        for (const char* name : {"data1.hhz", "texto", "LunvarethOrg.ttf", "hexagrams.ttf"})
            QFile::link(stage + "/" + name, programPath(name));
        QFile config(programPath("config.ini"));
        QVERIFY(config.open(QIODevice::WriteOnly));
        config.write("ZOOM=100\n");
        config.close();
        setProgramFolder(folder.path().toStdString() + "/");
        setExceptionHandler([](const std::string& message) { QFAIL(message.c_str()); });
    }

    void cleanup() {
        for (auto& p : copies) {
            if (p->state() != QProcess::NotRunning) {
                p->kill();
                p->waitForFinished(5000);
            }
        }
        copies.clear();
    }

    void exitAsksAndClosesEveryCopy() {
        QVERIFY(startCopy("5"));
        QVERIFY(startCopy("7"));
        QTRY_COMPARE_WITH_TIMEOUT(listed(), 2, 15000);

        // Another copy runs: the marker stays.
        QFile marker(programPath("active"));
        QVERIFY(marker.open(QIODevice::WriteOnly));
        marker.close();
        Tfhexagram window({});
        QVERIFY(marker.exists());
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QTRY_COMPARE_WITH_TIMEOUT(listed(), 3, 5000);

        QStringList asked;
        auto answer = QMessageBox::No;
        window.askQuestion = [&](const QString& text) {
            asked << text;
            return answer;
        };
        window.Exit1Click();
        QCOMPARE(asked, QStringList{"Do you want to close all instances of Lunvareth?"});
        QCOMPARE(window.instanceList.size(), 3);
        QCOMPARE(window.instanceList.last(), QString::number(QCoreApplication::applicationPid()));
        QTest::qWait(300);
        QVERIFY(window.isVisible());
        QCOMPARE(listed(), 3);

        answer = QMessageBox::Yes;
        window.Exit1Click();
        QTRY_VERIFY_WITH_TIMEOUT(allEnded(copies), 15000);
        QTRY_VERIFY(!window.isVisible());
        for (const auto& p : copies)
            QCOMPARE(p->exitStatus(), QProcess::NormalExit);
        QTRY_COMPARE(listed(), 0);
    }

    void killedCopiesAreNotListed() {
        QVERIFY(startCopy("1"));
        QProcess* doomed = startCopy("2");
        QVERIFY(doomed);
        QVERIFY(startCopy("3"));
        QTRY_COMPARE_WITH_TIMEOUT(listed(), 3, 15000);
        const QString handle = QString::number(doomed->processId());
        QStringList list;
        collectInstances(list);
        QVERIFY(list.contains(handle));
        doomed->kill();
        QVERIFY(doomed->waitForFinished(5000));
        collectInstances(list);
        QCOMPARE(list.size(), 2);
        QVERIFY(!list.contains(handle));
    }
};

int main(int argc, char** argv) {
    TApplication app(argc, argv);
    TestInstances test;
    return QTest::qExec(&test, argc, argv);
}

#include "test_app_instances.moc"
