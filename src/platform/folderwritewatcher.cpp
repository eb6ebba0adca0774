#include "folderwritewatcher.h"

#include <QAbstractEventDispatcher>
#include <QFile>
#include <QSet>
#include <QSocketNotifier>

#include <cerrno>
#include <sys/inotify.h>
#include <unistd.h>

FolderWriteWatcher::FolderWriteWatcher(QObject *parent) : QObject(parent) {}

FolderWriteWatcher::~FolderWriteWatcher()
{
    if (fd >= 0)
        ::close(fd);
}

bool FolderWriteWatcher::setFolder(const QString &path)
{
    if (watch >= 0) {
        ::inotify_rm_watch(fd, watch);
        watch = -1;
    }
    watchedFolder.clear();
    if (path.isEmpty())
        return true;
    if (fd < 0) {
        // A notifier on a thread without an event loop would never fire.
        if (!QAbstractEventDispatcher::instance(thread()))
            return false;
        fd = ::inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
        if (fd < 0) {
            qWarning("FolderWriteWatcher: Failed to start watching: %d", errno);
            return false;
        }
        notifier = new QSocketNotifier(fd, QSocketNotifier::Read, this);
        connect(notifier, &QSocketNotifier::activated, this, &FolderWriteWatcher::readEvents);
    }
    watch = ::inotify_add_watch(fd, QFile::encodeName(path).constData(),
                                IN_CLOSE_WRITE | IN_MOVED_TO | IN_ONLYDIR);
    if (watch < 0)
        return false;
    watchedFolder = path;
    return true;
}

void FolderWriteWatcher::readEvents()
{
    // Aligned as the kernel writes the records.
    alignas(struct inotify_event) char buffer[16384];
    QStringList names;
    QSet<QString> seen;
    for (;;) {
        const ssize_t count = ::read(fd, buffer, sizeof buffer);
        if (count < 0 && errno == EINTR)
            continue;
        if (count <= 0)
            break;
        for (const char *at = buffer; at < buffer + count;) {
            const auto *event = reinterpret_cast<const struct inotify_event *>(at);
            at += sizeof(struct inotify_event) + event->len;
            // Records of a folder watched before may still be queued.
            if (event->wd != watch || event->len == 0 || (event->mask & IN_ISDIR))
                continue;
            const QString name = QFile::decodeName(event->name);
            if (!seen.contains(name)) {
                seen.insert(name);
                names << name;
            }
        }
    }
    // Reported after reading; a slot may change the folder, and the rest then no longer apply.
    const int reading = watch;
    for (const QString &name : qAsConst(names)) {
        if (watch != reading)
            break;
        emit fileWritten(name);
    }
}
