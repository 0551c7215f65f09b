#include "app/application.h"

#include <QMessageBox>

#include <exception>

namespace {

std::function<void(const std::string&)>& exceptionHandler() {
    static std::function<void(const std::string&)> handler;
    return handler;
}

} // namespace

void setExceptionHandler(std::function<void(const std::string&)> handler) {
    exceptionHandler() = std::move(handler);
}

void showException(const std::string& message) {
    if (exceptionHandler()) {
        exceptionHandler()(message);
        return;
    }
    QMessageBox::critical(QApplication::activeWindow(), QApplication::applicationName(),
                          QString::fromLatin1(message.c_str()));
}

TApplication::TApplication(int& argc, char** argv) : QApplication(argc, argv) {}

bool TApplication::notify(QObject* receiver, QEvent* event) {
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::exception& e) {
        showException(e.what());
    } catch (...) {
        showException("Unknown error");
    }
    return false;
}
