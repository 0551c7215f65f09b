// The program registers its two font files with Qt and asks for them by
// family name; this checks that Qt accepts the files and finds the glyphs.
#include <QFontDatabase>
#include <QPainterPath>
#include <QRawFont>
#include <QtTest>

class FontsTest : public QObject {
    Q_OBJECT

private slots:
    void familiesAreRegistered_data() {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("family");
        QTest::newRow("chinese") << "LunvarethOrg.ttf"
                                 << "LunvarethOrg";
        QTest::newRow("figures") << "hexagrams.ttf"
                                 << "Lunvareth Hexagrams";
    }

    void familiesAreRegistered() {
        QFETCH(QString, file);
        QFETCH(QString, family);
        const int id = QFontDatabase::addApplicationFont(QStringLiteral(LUNV_STAGE_DIR "/") + file);
        QVERIFY2(id >= 0, qPrintable(file + " is not accepted by Qt"));
        QCOMPARE(QFontDatabase::applicationFontFamilies(id), QStringList{family});
    }

    void figuresHaveOutlines() {
        QRawFont font(QStringLiteral(LUNV_STAGE_DIR "/hexagrams.ttf"), 40);
        QVERIFY(font.isValid());
        QList<char32_t> wanted;
        for (char32_t c = 0x2630; c <= 0x2637; ++c)
            wanted << c;
        for (char32_t c = 0x4DC0; c <= 0x4DFF; ++c)
            wanted << c;
        for (char32_t c : wanted) {
            QVERIFY2(font.supportsCharacter(c), qPrintable(QString::number(c, 16)));
            const auto glyphs = font.glyphIndexesForString(QString::fromUcs4(&c, 1));
            QVERIFY(!font.pathForGlyph(glyphs.value(0)).isEmpty());
        }
    }

    void chineseTextHasOutlines() {
        QRawFont font(QStringLiteral(LUNV_STAGE_DIR "/LunvarethOrg.ttf"), 24);
        QVERIFY(font.isValid());
        const QString sample = QString::fromUtf8("乾元亨利貞見龍在田噬嗑");
        const auto glyphs = font.glyphIndexesForString(sample);
        QCOMPARE(glyphs.size(), sample.size());
        for (quint32 g : glyphs)
            QVERIFY(g != 0 && !font.pathForGlyph(g).isEmpty());
    }
};

QTEST_MAIN(FontsTest)
#include "tst_fonts.moc"
