// Running copies finding and closing each other, with real separate
// processes (instance_probe) sharing a private registry folder.
#include "platform/instances.h"

#include <QDir>
#include <QProcess>
#include <QTemporaryDir>
#include <QWidget>
#include <QtTest>

#include <csignal>
#include <memory>
#include <vector>

namespace {

constexpr int waitMs = 10000;

// One probe process and its line protocol.
class Probe {
public:
    explicit Probe(const QString& title, bool hidden = false) {
        QStringList args{title};
        if (hidden)
            args.prepend("--hidden");
        process_.start(PROBE_PATH, args);
        const QString ready = nextLine();
        if (!ready.startsWith("ready "))
            qFatal("probe did not start: %s", qPrintable(ready));
        handle_ = ready.mid(6);
    }
    ~Probe() {
        if (process_.state() != QProcess::NotRunning) {
            ::kill(static_cast<pid_t>(process_.processId()), SIGCONT);
            process_.kill();
            process_.waitForFinished(waitMs);
        }
    }

    QString handle() const { return handle_; }
    pid_t pid() const { return static_cast<pid_t>(process_.processId()); }

    QString ask(const QString& command) {
        process_.write(command.toUtf8() + '\n');
        return nextLine();
    }
    QStringList list() {
        const QString answer = ask("list");
        return answer.mid(answer.indexOf(':') + 1).split(' ', Qt::SkipEmptyParts);
    }
    bool waitForEnd() { return process_.waitForFinished(waitMs); }
    bool running() const { return process_.state() != QProcess::NotRunning; }

private:
    QString nextLine() {
        while (!process_.canReadLine()) {
            if (!process_.waitForReadyRead(waitMs))
                return "(no answer)";
        }
        return QString::fromUtf8(process_.readLine()).trimmed();
    }

    QProcess process_;
    QString handle_;
};

QStringList collected() {
    QStringList list{"stale"};
    collectInstances(list);
    return list;
}

QStringList entryFilesOf(const QString& handle) {
    const QString pid = QStringLiteral("%1").arg(handle.toInt(), 10, 10, QChar('0'));
    return QDir(instanceRegistryFolder()).entryList({"*-" + pid + ".*"}, QDir::Files);
}

} // namespace

class TestInstances : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() {
        QVERIFY(registry_.isValid());
        qputenv("LUNVARETH_RUNTIME_DIR", registry_.path().toUtf8());
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }

    void cleanup() {
        // Every test starts with an empty registry.
        QCOMPARE(collected(), QStringList());
        QCOMPARE(QDir(registry_.path()).entryList(QDir::Files), QStringList());
    }

    void everyCopyListsAllInTheSameOrder() {
        Probe a("Lunvareth 1.0");
        Probe b("Lunvareth 1.0 - 05 Waiting");
        Probe c("Lunvareth 1.0");
        const QStringList expected{a.handle(), b.handle(), c.handle()};
        QCOMPARE(collected(), expected);
        QCOMPARE(a.list(), expected);
        QCOMPARE(b.list(), expected);
        QCOMPARE(c.list(), expected);
    }

    void onlyVisibleWindowsNamedLunvarethAreListed() {
        Probe hidden("Lunvareth 1.0", true);
        Probe other("Notes");
        Probe lower("lunvareth");
        Probe late(QString(128, 'x') + "Lunvareth");
        Probe shown("Viewer - Lunvareth");
        QCOMPARE(collected(), QStringList{shown.handle()});

        // Changes are published as they happen.
        QCOMPARE(hidden.ask("show"), "ok");
        QCOMPARE(other.ask("title Lunvareth 1.0"), "ok");
        QCOMPARE(shown.ask("hide"), "ok");
        const QStringList expected{hidden.handle(), other.handle()};
        QCOMPARE(collected(), expected);
        QCOMPARE(late.list(), expected);
    }

    void closeRequestEndsThatCopyOnly() {
        Probe a("Lunvareth 1.0");
        Probe b("Lunvareth 1.0");
        Probe c("Lunvareth 1.0");
        QCOMPARE(a.ask("close " + b.handle()), "sent");
        QVERIFY(b.waitForEnd());
        QVERIFY(entryFilesOf(b.handle()).isEmpty());
        QCOMPARE(collected(), (QStringList{a.handle(), c.handle()}));

        // Unknown handles are ignored; the test process itself has no window.
        postCloseMessage("1");
        postCloseMessage("");
        postCloseMessage(a.handle());
        postCloseMessage(c.handle());
        QVERIFY(a.waitForEnd());
        QVERIFY(c.waitForEnd());
    }

    void killedCopyDisappears() {
        Probe a("Lunvareth 1.0");
        Probe b("Lunvareth 1.0");
        QVERIFY(!entryFilesOf(b.handle()).isEmpty());
        ::kill(b.pid(), SIGKILL);
        QVERIFY(b.waitForEnd());
        QCOMPARE(a.list(), QStringList{a.handle()});
        QVERIFY(entryFilesOf(b.handle()).isEmpty());
    }

    void frozenCopyDoesNotHoldUpOthers() {
        Probe a("Lunvareth 1.0");
        Probe b("Lunvareth 1.0");
        ::kill(a.pid(), SIGSTOP);
        const QStringList expected{a.handle(), b.handle()};
        QCOMPARE(collected(), expected);
        QCOMPARE(b.list(), expected);
        // The request waits in the socket until the copy runs again.
        QCOMPARE(b.ask("close " + a.handle()), "sent");
        QVERIFY(a.running());
        ::kill(a.pid(), SIGCONT);
        QVERIFY(a.waitForEnd());
        postCloseMessage(b.handle());
        QVERIFY(b.waitForEnd());
    }

    void ownWindowInThisProcess() {
        QStringList list;
        {
            QWidget window;
            window.setWindowTitle("Lunvareth 1.0");
            registerMainWindow(&window);
            QCOMPARE(collected(), QStringList()); // not shown yet
            window.show();
            const QString self = QString::number(QCoreApplication::applicationPid());
            QCOMPARE(collected(), QStringList{self});

            postCloseMessage(self);
            QVERIFY(window.isVisible()); // posted, not done at once
            QTRY_VERIFY(!window.isVisible());
            QCOMPARE(collected(), QStringList());
            window.show();
        }
        // The window is gone and so is its entry.
    }

private:
    QTemporaryDir registry_;
};

QTEST_MAIN(TestInstances)
#include "test_instances.moc"
