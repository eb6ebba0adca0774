#pragma once

#include <QObject>

class QSocketNotifier;

// Tells the folder tree when a volume is mounted or unmounted. It watches the kernel's mount
// table, which flags every mount and unmount as a priority event on its file.
class DriveWatcher : public QObject
{
    Q_OBJECT
public:
    explicit DriveWatcher(QObject *parent = nullptr);
    ~DriveWatcher() override;

    // Opens and watches the mount table; true when watching. Harmless when already watching.
    bool start();
    // Stops watching and closes the table; harmless when not watching.
    void stop();
    bool isWatching() const { return notifier != nullptr; }

signals:
    void driveChanged();

private:
    void tableChanged();
    void readToEnd();

    int fd = -1;
    QSocketNotifier *notifier = nullptr;
};
