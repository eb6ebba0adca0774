#pragma once

#include "platform/folderwritewatcher.h"

#include <QAbstractListModel>
#include <QDateTime>
#include <QFileSystemWatcher>
#include <QFutureWatcher>
#include <QHash>
#include <QImage>
#include <QPixmap>
#include <QTimer>

class StatusBar;

// The result of making one thumbnail on a worker thread. Workers compose images; the
// GUI thread turns them into pixmaps.
struct ThumbnailInfo {
    QImage image;
    // The whole image's size after its orientation turn; (-1, -1) when unreadable.
    QSize imageSize = QSize(-1, -1);
};

// One file of the listed folder.
struct ThumbnailItem {
    QString fileName;
    QString filePath;
    QPixmap pixmap;
    bool thumbnailReady = false;
    QDateTime lastModified;
    qint64 size = 0;
    QSize imageSize = QSize(-1, -1);
    int position = 0;
};

// The image files of the current folder, with thumbnails made in the background for
// the rows the view shows, following changes in the folder.
class ThumbnailListModel : public QAbstractListModel
{
    Q_OBJECT
public:
    enum Role {
        FilePathRole = Qt::UserRole + 1,
        PixmapRole,
        LastModifiedRole,
        PositionRole,
        SizeRole
    };
    static constexpr int maxWidth = 96;
    static constexpr int maxHeight = 76;

    explicit ThumbnailListModel(QObject *parent = nullptr);
    ~ThumbnailListModel() override;

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    bool setData(const QModelIndex &index, const QVariant &value, int role = Qt::EditRole) override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;

    void setFolder(const QString &path);
    QString folder() const { return folderPath; }
    QString filePath(const QModelIndex &index) const;
    // The index of the item with this filePath; invalid when there is none.
    QModelIndex indexOf(const QString &path) const;
    int count() const { return items.size(); }
    qint64 totalSize() const;
    void createThumbnails();
    void cancelThumbnails();
    // Makes one file's thumbnail again at once, after the file was written.
    void updateThumbnail(const QString &path);
    void setStatusBar(StatusBar *bar) { statusBar = bar; }
    bool isBatchRunning() const { return watcher.isRunning(); }

    int editedPosition = 0;
    QString currentFile;

public slots:
    void timerSetImage();
    void imageCreated(int index);
    void finished();
    void directoryChanged(const QString &path);
    void tDirectoryChanged();

private:
    // A file of the folder was written to the end: its size, time and thumbnail are
    // brought up to date, since the listing may have seen it half written.
    void fileWritten(const QString &name);
    // Rebuilds rowOfName after the rows changed.
    void indexRows();
    // The row of the item with this filePath; -1 when there is none.
    int findRow(const QString &path) const;

    StatusBar *statusBar = nullptr;
    QList<ThumbnailItem> items;
    QPixmap placeholder;
    QList<int> pendingRows;
    QFutureWatcher<ThumbnailInfo> watcher;
    QTimer creationTimer;
    QTimer relistTimer;
    bool cancelled = true;
    QFileSystemWatcher folderWatcher;
    FolderWriteWatcher writeWatcher;
    QString folderPath;
    // Item row by fileName (all items share the folder), so that a re-listing costs time
    // in proportion to the folder's size.
    QHash<QString, int> rowOfName;
};

// Makes the thumbnail of one file; safe on any thread.
ThumbnailInfo createThumbnail(const QString &path);
