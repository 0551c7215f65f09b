// A stand-in for a running copy of the program, for the instance tests.
//   instance_probe [--hidden] TITLE
// Registers a main window titled TITLE (shown unless --hidden), prints
// "ready PID", then answers one line per command read from standard input:
//   list            "list: H1 H2 ..." as collectInstances gives them
//   close HANDLE    postCloseMessage(HANDLE), then "sent"
//   show | hide     shows or hides the window, then "ok"
//   title TEXT      sets the window title, then "ok"
// When the window closes the probe prints "closed" and ends.
#include "platform/instances.h"

#include <QApplication>
#include <QCloseEvent>
#include <QSocketNotifier>
#include <QWidget>

#include <cstdio>
#include <unistd.h>

namespace {

void reply(const QString& text) {
    std::printf("%s\n", text.toUtf8().constData());
    std::fflush(stdout);
}

class ProbeWindow : public QWidget {
protected:
    void closeEvent(QCloseEvent* event) override {
        QWidget::closeEvent(event);
        reply("closed");
        QCoreApplication::quit();
    }
};

void run(ProbeWindow& window, const QString& line) {
    const QString command = line.section(' ', 0, 0);
    const QString argument = line.section(' ', 1);
    if (command == "list") {
        QStringList handles;
        collectInstances(handles);
        reply("list: " + handles.join(' '));
    } else if (command == "close") {
        postCloseMessage(argument);
        reply("sent");
    } else if (command == "show" || command == "hide") {
        window.setVisible(command == "show");
        reply("ok");
    } else if (command == "title") {
        window.setWindowTitle(argument);
        reply("ok");
    } else {
        reply("unknown " + command);
    }
}

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QStringList args = app.arguments().mid(1);
    const bool hidden = args.removeAll("--hidden") > 0;
    if (args.size() != 1)
        return 2;

    ProbeWindow window;
    window.setWindowTitle(args.first());
    window.resize(200, 100);
    registerMainWindow(&window);
    if (!hidden)
        window.show();

    QByteArray pending;
    QSocketNotifier input(STDIN_FILENO, QSocketNotifier::Read);
    QObject::connect(&input, &QSocketNotifier::activated, [&] {
        char buffer[512];
        const ssize_t n = ::read(STDIN_FILENO, buffer, sizeof buffer);
        if (n <= 0) {
            input.setEnabled(false); // the test ended without closing us
            QCoreApplication::quit();
            return;
        }
        pending.append(buffer, n);
        for (int end; (end = pending.indexOf('\n')) >= 0; pending.remove(0, end + 1))
            run(window, QString::fromUtf8(pending.left(end)));
    });

    reply(QStringLiteral("ready %1").arg(getpid()));
    return app.exec();
}
