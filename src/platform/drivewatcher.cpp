#include "drivewatcher.h"

#include <QAbstractEventDispatcher>
#include <QSocketNotifier>

#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

namespace {

const char mountTable[] = "/proc/self/mountinfo";

} // namespace

DriveWatcher::DriveWatcher(QObject *parent) : QObject(parent) {}

DriveWatcher::~DriveWatcher()
{
    stop();
}

bool DriveWatcher::start()
{
    if (notifier)
        return true;
    fd = ::open(mountTable, O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        qWarning("DriveWatcher: Failed to watch the mount table: %d", errno);
        return false;
    }
    // A notifier on a thread without an event loop would never fire; say so instead.
    if (!QAbstractEventDispatcher::instance(thread())) {
        ::close(fd);
        fd = -1;
        qWarning("DriveWatcher: Failed to watch the mount table: %d", ENOTSUP);
        return false;
    }
    // The table always polls readable; only its priority event means "changed".
    notifier = new QSocketNotifier(fd, QSocketNotifier::Exception, this);
    connect(notifier, &QSocketNotifier::activated, this, &DriveWatcher::tableChanged);
    return true;
}

void DriveWatcher::stop()
{
    if (!notifier)
        return;
    notifier->setEnabled(false);
    delete notifier;
    notifier = nullptr;
    ::close(fd);
    fd = -1;
}

void DriveWatcher::tableChanged()
{
    readToEnd();
    emit driveChanged();
}

void DriveWatcher::readToEnd()
{
    // Reading the table afresh is what re-arms the kernel's report of the next change.
    if (::lseek(fd, 0, SEEK_SET) < 0)
        return;
    char buffer[4096];
    for (;;) {
        const ssize_t count = ::read(fd, buffer, sizeof buffer);
        if (count > 0)
            continue;
        if (count < 0 && errno == EINTR)
            continue;
        break;
    }
}
