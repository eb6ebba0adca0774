#pragma once

#include <QObject>
#include <QString>

class QSocketNotifier;

// Tells when a file in one folder has been written and closed, or moved into the folder
// under its final name. A folder watch reports new and removed names only, so a file that
// is still being copied in would otherwise keep the size and picture of its first bytes.
class FolderWriteWatcher : public QObject
{
    Q_OBJECT
public:
    explicit FolderWriteWatcher(QObject *parent = nullptr);
    ~FolderWriteWatcher() override;

    // Watches this folder instead of the previous one; an empty path stops watching. False
    // when the folder cannot be watched.
    bool setFolder(const QString &path);
    QString folder() const { return watchedFolder; }

signals:
    // The name, within the folder, of a file whose writing has finished.
    void fileWritten(const QString &name);

private:
    void readEvents();

    int fd = -1;
    int watch = -1;
    QString watchedFolder;
    QSocketNotifier *notifier = nullptr;
};
