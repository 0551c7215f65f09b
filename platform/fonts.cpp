#include "platform/fonts.h"

#include <QFont>
#include <QFontDatabase>
#include <QStringList>

void addFontFile(const QString& path) {
    QFontDatabase::addApplicationFont(path);
}

void installFontSubstitutions() {
    // Liberation fonts are metric-compatible with Times New Roman, Arial and
    // Courier New, so pages wrap where they were designed to.
    const QStringList serif{"Liberation Serif", "DejaVu Serif"};
    const QStringList sans{"Liberation Sans", "DejaVu Sans"};
    const QStringList mono{"Liberation Mono", "DejaVu Sans Mono"};
    QFont::insertSubstitutions("Times New Roman", serif);
    QFont::insertSubstitutions("Arial", sans);
    QFont::insertSubstitutions("Courier New", mono);
    // Georgia has a tall x-height and wide letters, closer to DejaVu Serif.
    QFont::insertSubstitutions("Georgia", {"DejaVu Serif", "Liberation Serif"});
    QFont::insertSubstitutions("MS Sans Serif", sans);
    QFont::insertSubstitutions("System", sans);
}
