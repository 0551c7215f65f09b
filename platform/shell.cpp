#include "platform/shell.h"

#include "archive/content.h"

#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QProcess>

namespace {

std::function<void(const QString&, const QStringList&)>& hook() {
    static std::function<void(const QString&, const QStringList&)> h;
    return h;
}

// "https://...", "mailto:..." but not a bare file name.
bool hasScheme(const QString& target) {
    const QUrl url(target);
    return url.isValid() && url.scheme().size() > 1;
}

} // namespace

ShellTarget resolveShellTarget(const QString& target) {
    ShellTarget result;
    if (hasScheme(target)) {
        result.url = QUrl(target);
        if (!result.url.isLocalFile()) {
            result.kind = ShellTarget::Link;
            return result;
        }
        // A file: link is opened like a document, never started as a program.
        result.path = result.url.toLocalFile();
        return result;
    }
    QString name = target;
    name.replace('\\', '/');
    if (QFileInfo(name).isRelative())
        name = QString::fromStdString(programFolder()) + name;
    result.path = QDir::cleanPath(name);
    result.url = QUrl::fromLocalFile(result.path);
    const QFileInfo info(result.path);
    if (info.isFile() && info.isExecutable())
        result.kind = ShellTarget::Program;
    return result;
}

void shellOpen(const QString& target, const QStringList& args) {
    if (hook()) {
        hook()(target, args);
        return;
    }
    if (target.trimmed().isEmpty())
        return;
    const ShellTarget t = resolveShellTarget(target);
    if (t.kind == ShellTarget::Program)
        QProcess::startDetached(t.path, args);
    else
        QDesktopServices::openUrl(t.url);
}

void setShellOpenHook(std::function<void(const QString&, const QStringList&)> h) {
    hook() = std::move(h);
}
