// Program entry: the application with its error handler, then the main window.
#include "app/application.h"
#include "app/hexagram.h"
#include "model/messages.h"
#include "platform/fonts.h"

#include <QMessageBox>

int main(int argc, char** argv) {
    TApplication app(argc, argv);
    TApplication::setApplicationName(QStringLiteral("Lunvareth"));
    setMessageHandler([](const std::string& text) {
        QMessageBox::information(QApplication::activeWindow(), QApplication::applicationName(),
                                 QString::fromLatin1(text.c_str()));
    });
    installFontSubstitutions();

    QStringList params = TApplication::arguments();
    params.removeFirst();
    Tfhexagram window(params);
    window.show();
    return TApplication::exec();
}
