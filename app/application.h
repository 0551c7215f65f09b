// The application object: the default error handler of the program. An
// exception that ends a user action is shown in a message box and the program
// goes on; nothing crosses the event loop.
#pragma once

#include <QApplication>

#include <functional>
#include <string>

class TApplication : public QApplication {
    Q_OBJECT
public:
    TApplication(int& argc, char** argv);
    bool notify(QObject* receiver, QEvent* event) override;
};

// Shows the message of an exception that ended a user action (a critical
// message box titled with the application name).
void showException(const std::string& message);
// Tests: where the messages go instead of a message box. Empty = the box.
void setExceptionHandler(std::function<void(const std::string&)> handler);
