// lunv_gfx: draws the pictures of the content folder.
//   lunv_gfx CONTENT_DIR
// writes CONTENT_DIR/hhz/coin.bmp, coin1.bmp .. coin3.bmp and
// CONTENT_DIR/texto/oracleback.jpg; the coin inscriptions use
// CONTENT_DIR/fonts/LunvarethOrg.ttf.
#include "tools/gfx/coin.h"
#include "tools/gfx/surfaces.h"

#include <QDir>
#include <QFontDatabase>
#include <QGuiApplication>

#include <cstdio>

namespace {

constexpr int FrameSize = 129;
constexpr int FrameCount = 31;

bool save(const QImage& image, const QString& path, const char* format, int quality = -1) {
    if (image.save(path, format, quality)) {
        std::printf("%s: %d x %d\n", qPrintable(path), image.width(), image.height());
        return true;
    }
    std::fprintf(stderr, "lunv_gfx: cannot write %s\n", qPrintable(path));
    return false;
}

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: lunv_gfx CONTENT_DIR\n");
        return 2;
    }
    const QDir content(QString::fromLocal8Bit(argv[1]));
    const int id = QFontDatabase::addApplicationFont(content.filePath("fonts/LunvarethOrg.ttf"));
    if (id < 0) {
        std::fprintf(stderr, "lunv_gfx: cannot load %s\n",
                     qPrintable(content.filePath("fonts/LunvarethOrg.ttf")));
        return 1;
    }
    const QFont font(QFontDatabase::applicationFontFamilies(id).value(0));

    // Three coins of slightly different alloy, age and inscription.
    const CoinStyle coins[3] = {
        {QColor(190, 146, 72), QColor(96, 122, 88), 0.25, QString::fromUtf8("元亨利貞"), 101},
        {QColor(168, 104, 62), QColor(84, 110, 92), 0.45, QString::fromUtf8("自強不息"), 202},
        {QColor(150, 136, 86), QColor(78, 118, 96), 0.7, QString::fromUtf8("厚德載物"), 303},
    };

    bool ok = save(clothTile(96), content.filePath("hhz/coin.bmp"), "BMP");
    for (int i = 0; i < 3; ++i) {
        const QImage strip = coinStrip(coins[i], font, FrameSize, FrameCount, clothColour());
        ok &= save(strip, content.filePath(QString("hhz/coin%1.bmp").arg(i + 1)), "BMP");
    }
    ok &= save(linenSurface(1600, 1200), content.filePath("texto/oracleback.jpg"), "JPG", 90);
    return ok ? 0 : 1;
}
