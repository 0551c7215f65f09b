#include "platform/instances.h"

#include <QDateTime>
#include <QDir>
#include <QEvent>
#include <QFile>
#include <QLocalServer>
#include <QLocalSocket>
#include <QPointer>
#include <QSaveFile>
#include <QWidget>

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

// Each registered copy owns three files in the registry folder, all named
// after its entry base "<registration time in ms>-<pid>" so that sorting the
// names sorts the copies from the oldest:
//   base.lock  held with flock() for the copy's whole life; a lister that can
//              lock it knows the copy is gone and removes the entry
//   base.info  "handle=", "visible=" and "title=" lines, replaced atomically
//   base.sock  the copy's local server; a line "close" closes its window

namespace {

const QString productName = QStringLiteral("Lunvareth");
constexpr int titleLimit = 128;
constexpr int sendTimeoutMs = 500;
const QByteArray closeRequest = "close\n";

QString lockPath(const QString& base) {
    return base + QStringLiteral(".lock");
}
QString infoPath(const QString& base) {
    return base + QStringLiteral(".info");
}
QString socketPath(const QString& base) {
    return base + QStringLiteral(".sock");
}

// Creates the folder if needed and makes sure it is ours and private.
bool preparePrivateFolder(const QString& folder) {
    QDir().mkpath(folder);
    const QByteArray path = QFile::encodeName(folder);
    struct stat st;
    if (lstat(path.constData(), &st) != 0 || !S_ISDIR(st.st_mode) || st.st_uid != geteuid())
        return false;
    return (st.st_mode & 077) == 0 || chmod(path.constData(), 0700) == 0;
}

void removeEntryFiles(const QString& base) {
    QFile::remove(infoPath(base));
    QFile::remove(socketPath(base));
    QFile::remove(lockPath(base));
}

// True while the copy that made the entry holds its lock. An entry found dead
// is removed on the way.
bool entryAlive(const QString& base) {
    const QByteArray path = QFile::encodeName(lockPath(base));
    const int fd = ::open(path.constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return false;
    bool alive = true;
    if (flock(fd, LOCK_EX | LOCK_NB) == 0) {
        alive = false;
        removeEntryFiles(base);
    }
    ::close(fd);
    return alive;
}

struct EntryInfo {
    QString handle;
    bool visible = false;
    QString title;
};

QByteArray formatInfo(const EntryInfo& info) {
    QString title = info.title;
    title.replace('\n', ' ');
    return "handle=" + info.handle.toUtf8() + "\nvisible=" + (info.visible ? "1" : "0") +
           "\ntitle=" + title.toUtf8() + "\n";
}

bool readInfo(const QString& base, EntryInfo& info) {
    QFile file(infoPath(base));
    if (!file.open(QIODevice::ReadOnly))
        return false;
    const QList<QByteArray> lines = file.read(64 * 1024).split('\n');
    for (const QByteArray& line : lines) {
        if (line.startsWith("handle="))
            info.handle = QString::fromUtf8(line.mid(7));
        else if (line.startsWith("visible="))
            info.visible = line.mid(8) == "1";
        else if (line.startsWith("title="))
            info.title = QString::fromUtf8(line.mid(6));
    }
    return !info.handle.isEmpty();
}

// Bases of all entries in the folder, oldest first (live or not).
QStringList entryBases(const QString& folder) {
    QStringList names = QDir(folder).entryList({QStringLiteral("*.lock")}, QDir::Files);
    std::sort(names.begin(), names.end());
    for (QString& name : names)
        name = folder + '/' + name.chopped(5);
    return names;
}

// The registration of this process's main window. A child of the window, so
// it ends with it.
class InstanceEntry : public QObject {
public:
    InstanceEntry(QWidget* window, const QString& folder);
    ~InstanceEntry() override;

    bool registered() const { return lockFd_ >= 0; }
    QString handle() const { return handle_; }
    void requestClose();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool takeLock();
    void publish();
    void serve(QLocalSocket* socket);

    QPointer<QWidget> window_;
    QString handle_;
    QString base_;
    int lockFd_ = -1;
    QLocalServer server_;
    QByteArray published_;
};

InstanceEntry* currentEntry = nullptr;

InstanceEntry::InstanceEntry(QWidget* window, const QString& folder)
    : QObject(window), window_(window), handle_(QString::number(getpid())) {
    base_ = QStringLiteral("%1/%2-%3")
                .arg(folder)
                .arg(QDateTime::currentMSecsSinceEpoch(), 15, 10, QChar('0'))
                .arg(getpid(), 10, 10, QChar('0'));
    publish();
    server_.setSocketOptions(QLocalServer::UserAccessOption);
    connect(&server_, &QLocalServer::newConnection, this, [this] {
        while (QLocalSocket* socket = server_.nextPendingConnection())
            serve(socket);
    });
    // The lock file appears last, so a lister never sees half an entry.
    if (!server_.listen(socketPath(base_)) || !takeLock()) {
        server_.close();
        removeEntryFiles(base_);
        return;
    }
    window->installEventFilter(this);
}

InstanceEntry::~InstanceEntry() {
    if (currentEntry == this)
        currentEntry = nullptr;
    if (!registered())
        return;
    server_.close();
    removeEntryFiles(base_);
    ::close(lockFd_);
}

bool InstanceEntry::takeLock() {
    const QByteArray temp = QFile::encodeName(base_ + QStringLiteral(".new"));
    const int fd = ::open(temp.constData(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (fd < 0)
        return false;
    if (flock(fd, LOCK_EX | LOCK_NB) != 0 ||
        ::rename(temp.constData(), QFile::encodeName(lockPath(base_)).constData()) != 0) {
        ::unlink(temp.constData());
        ::close(fd);
        return false;
    }
    lockFd_ = fd;
    return true;
}

bool InstanceEntry::eventFilter(QObject* watched, QEvent* event) {
    switch (event->type()) {
    case QEvent::Show:
    case QEvent::Hide:
    case QEvent::WindowTitleChange:
        publish();
        break;
    default:
        break;
    }
    return QObject::eventFilter(watched, event);
}

void InstanceEntry::publish() {
    if (!window_)
        return;
    const QByteArray text =
        formatInfo({handle_, window_->isVisible(), window_->windowTitle().left(titleLimit)});
    if (text == published_)
        return;
    QSaveFile file(infoPath(base_));
    if (file.open(QIODevice::WriteOnly) && file.write(text) == text.size() && file.commit())
        published_ = text;
}

void InstanceEntry::serve(QLocalSocket* socket) {
    socket->setParent(this);
    auto handleInput = [this, socket] {
        if (socket->canReadLine()) {
            if (socket->readLine(64) == closeRequest)
                requestClose();
        } else if (socket->bytesAvailable() < 64) {
            return; // wait for the rest of the line
        }
        socket->abort();
        socket->deleteLater();
    };
    connect(socket, &QLocalSocket::readyRead, this, handleInput);
    connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
    handleInput();
}

void InstanceEntry::requestClose() {
    // Like a posted message: the window closes when the event loop gets to it.
    if (window_)
        QMetaObject::invokeMethod(
            window_, [w = window_.data()] { w->close(); }, Qt::QueuedConnection);
}

} // namespace

QString instanceRegistryFolder() {
    QString folder = qEnvironmentVariable("LUNVARETH_RUNTIME_DIR");
    if (!folder.isEmpty())
        return folder;
    folder = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (!folder.isEmpty())
        return folder + QStringLiteral("/lunvareth");
    return QStringLiteral("/tmp/lunvareth-%1").arg(geteuid());
}

void registerMainWindow(QWidget* window) {
    delete currentEntry;
    currentEntry = nullptr;
    const QString folder = instanceRegistryFolder();
    if (!window || !preparePrivateFolder(folder))
        return;
    auto* entry = new InstanceEntry(window, folder);
    if (entry->registered())
        currentEntry = entry;
    else
        delete entry;
}

void collectInstances(QStringList& list) {
    list.clear();
    const QString folder = instanceRegistryFolder();
    if (!preparePrivateFolder(folder))
        return;
    for (const QString& base : entryBases(folder)) {
        EntryInfo info;
        if (!entryAlive(base) || !readInfo(base, info))
            continue;
        if (info.visible && info.title.left(titleLimit).contains(productName))
            list.append(info.handle);
    }
}

void postCloseMessage(const QString& handle) {
    if (currentEntry && currentEntry->handle() == handle) {
        currentEntry->requestClose();
        return;
    }
    const QString folder = instanceRegistryFolder();
    if (!preparePrivateFolder(folder))
        return;
    for (const QString& base : entryBases(folder)) {
        EntryInfo info;
        if (!readInfo(base, info) || info.handle != handle || !entryAlive(base))
            continue;
        // The kernel queues the connection and the bytes even when that copy
        // is busy, so this returns at once.
        QLocalSocket socket;
        socket.connectToServer(socketPath(base));
        if (socket.waitForConnected(sendTimeoutMs)) {
            socket.write(closeRequest);
            socket.waitForBytesWritten(sendTimeoutMs);
        }
        socket.abort();
    }
}
