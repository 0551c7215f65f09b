// The desktop's "open" action for links, documents and programs.
#pragma once

#include <QString>
#include <QStringList>
#include <QUrl>

#include <functional>

// Opens target with the application the desktop associates with it: a link
// (anything with a scheme, such as https: or mailto:) goes to the browser or
// mail program, a document to its viewer; an executable file is started with
// args. Relative file names are taken from the program folder. Failures are
// silent.
void shellOpen(const QString& target, const QStringList& args = {});

// Tests: while a hook is set, shellOpen passes its arguments to it unchanged
// and opens nothing. An empty function removes the hook.
void setShellOpenHook(std::function<void(const QString&, const QStringList&)> hook);

// What shellOpen makes of a target.
struct ShellTarget {
    enum Kind { Link, Document, Program } kind = Document;
    QUrl url;     // Link and Document
    QString path; // Document and Program: the absolute file name
};
ShellTarget resolveShellTarget(const QString& target);
