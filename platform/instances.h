// Running copies of the program find each other and ask each other to close.
//
// Every copy that registers its main window keeps an entry in a per-user
// registry folder for as long as it runs: a lock file it holds locked, an
// information file with its handle, title and visibility (rewritten
// atomically whenever they change) and a local socket for close requests.
// Listing reads only files, so it never waits for another copy.
#pragma once

#include <QString>
#include <QStringList>

class QWidget;

// Makes this process's main window known to the other running copies. Its
// title and visibility are published as they change; a close request from
// another copy calls window->close() on the GUI thread. The registration ends
// when the window is destroyed or the process ends.
void registerMainWindow(QWidget* window);

// Clears list, then appends the handle (decimal text) of every registered main
// window of every running copy, this one included, that is visible and whose
// title (first 128 characters) contains "Lunvareth", oldest copy first.
// Entries of copies that ended without unregistering are removed.
void collectInstances(QStringList& list);

// Fire and forget: asks the main window with that handle to close.
void postCloseMessage(const QString& handle);

// The registry folder: $LUNVARETH_RUNTIME_DIR when set, else
// $XDG_RUNTIME_DIR/lunvareth, else /tmp/lunvareth-<uid>.
QString instanceRegistryFolder();
