// Fonts, message texts and the open action.
#include "archive/content.h"
#include "platform/fonts.h"
#include "platform/shell.h"
#include "platform/strings.h"

#include <QFile>
#include <QFontInfo>
#include <QTemporaryDir>
#include <QtTest>

class TestPlatform : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() {
        QVERIFY(folder_.isValid());
        setProgramFolder(folder_.path().toStdString() + "/");
        installFontSubstitutions();
    }

    void windowsFontNamesResolve_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("expected");
        QTest::newRow("Times New Roman") << "Times New Roman"
                                         << "Liberation Serif";
        QTest::newRow("Arial") << "Arial"
                               << "Liberation Sans";
        QTest::newRow("Courier New") << "Courier New"
                                     << "Liberation Mono";
        QTest::newRow("Georgia") << "Georgia"
                                 << "DejaVu Serif";
        QTest::newRow("MS Sans Serif") << "MS Sans Serif"
                                       << "Liberation Sans";
        QTest::newRow("System") << "System"
                                << "Liberation Sans";
    }
    void windowsFontNamesResolve() {
        QFETCH(QString, name);
        QFETCH(QString, expected);
        QCOMPARE(QFontInfo(QFont(name, 12)).family(), expected);
    }

    void addedFontFileIsUsableByName() {
        const QString copy = folder_.filePath("added.ttf");
        QVERIFY(QFile::copy("/usr/share/fonts/truetype/dejavu/DejaVuSansMono.ttf", copy));
        addFontFile(copy);
        QCOMPARE(QFontInfo(QFont("DejaVu Sans Mono", 12)).family(), "DejaVu Sans Mono");
        addFontFile(folder_.filePath("missing.ttf")); // ignored
    }

    void unknownMessageIdsGiveEmptyText() {
        QCOMPARE(loadResString(11), "LunvarethOrg.ttf");
        for (uint16_t id : {0, 3, 10, 12, 17, 20, 65535})
            QCOMPARE(loadResString(id), std::string());
    }

    void linksOpenInTheBrowser() {
        for (const char* link :
             {"https://example.org/page?a=1", "mailto:someone@example.org", "http://x"}) {
            const ShellTarget t = resolveShellTarget(link);
            QCOMPARE(t.kind, ShellTarget::Link);
            QCOMPARE(t.url, QUrl(link));
        }
    }

    void fileNamesAreTakenFromTheProgramFolder() {
        const QString base = folder_.path() + "/";
        ShellTarget t = resolveShellTarget("notes.pdf");
        QCOMPARE(t.kind, ShellTarget::Document);
        QCOMPARE(t.path, base + "notes.pdf");
        QCOMPARE(t.url, QUrl::fromLocalFile(base + "notes.pdf"));
        QCOMPARE(resolveShellTarget("texto\\ed.txt").path, base + "texto/ed.txt");
        QCOMPARE(resolveShellTarget("/usr/share/doc/x.html").path, "/usr/share/doc/x.html");
        QCOMPARE(resolveShellTarget("Intro.htm").kind, ShellTarget::Document);
    }

    void onlyExecutableFilesAreStarted() {
        QFile exe(folder_.filePath("lunvareth"));
        QVERIFY(exe.open(QIODevice::WriteOnly));
        exe.close();
        QCOMPARE(resolveShellTarget("lunvareth").kind, ShellTarget::Document);
        exe.setPermissions(exe.permissions() | QFileDevice::ExeOwner);
        const ShellTarget t = resolveShellTarget(exe.fileName());
        QCOMPARE(t.kind, ShellTarget::Program);
        QCOMPARE(t.path, exe.fileName());
        // A file: link is opened, never run.
        QCOMPARE(resolveShellTarget(QUrl::fromLocalFile(exe.fileName()).toString()).kind,
                 ShellTarget::Document);
        QCOMPARE(resolveShellTarget(folder_.path()).kind, ShellTarget::Document);
    }

    void hookCapturesInsteadOfOpening() {
        QStringList seen;
        setShellOpenHook(
            [&](const QString& target, const QStringList& args) { seen << target << args; });
        shellOpen("Intro.htm");
        shellOpen("lunvareth", {"12"});
        setShellOpenHook({});
        QCOMPARE(seen, (QStringList{"Intro.htm", "lunvareth", "12"}));
    }

private:
    QTemporaryDir folder_;
};

QTEST_MAIN(TestPlatform)
#include "test_platform.moc"
