#pragma once

#include "platform/folderwritewatcher.h"

#include <QAbstractListModel>
#include <QDateTime>
#include <QFileSystemWatcher>
#include <QFutureWatcher>
#include <QHash>
#include <QImage>
#include <QPixmap>
#include <QSet>
#include <QTimer>
#include <QVector>

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
    // The planning round that last saw the item on screen: the least recently shown
    // thumbnails are let go first.
    quint64 shownRound = 0;
    // What the thumbnail takes in memory; 0 for the placeholder and a failed one.
    qint64 pixmapBytes = 0;
    // The thumbnail was let go to bound memory: back to the placeholder until it is made
    // again, while imageSize and the rest stay as they were.
    bool dropped = false;
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
    enum class Planning { Collapsing, AtOnce };
    // The rows on screen changed (scrolling, resizing, another order): a batch that already
    // makes all of them goes on; otherwise as createThumbnails, or planned at once after
    // a change that is no part of a burst.
    void screenChanged(Planning planning = Planning::Collapsing);
    void cancelThumbnails();
    // The most bytes of thumbnails held at once (64 MiB unless set): beyond it the least
    // recently shown are let go, never one on screen.
    void setThumbnailBudget(qint64 bytes) { budget = bytes; }
    qint64 thumbnailBudget() const { return budget; }
    // The bytes and the number of thumbnails held now.
    qint64 thumbnailBytes() const { return heldBytes; }
    int heldThumbnails() const { return heldRows.size(); }
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
    // Whether the running batch makes every row on screen that lacks its thumbnail.
    bool batchCoversScreen(const QMap<int, QModelIndex> &visible) const;
    // Stamps the rows on screen as shown last, in a new planning round.
    void markShown(const QMap<int, QModelIndex> &visible);
    void setThumbnail(int row, const QPixmap &pixmap);
    void dropThumbnail(int row);
    // Lets the least recently shown thumbnails go while more than the budget is held.
    void keepWithinBudget();
    // Rebuilds the held set after the rows changed.
    void recountHeld();
    // What the view paints for an item.
    QPixmap shownPixmap(const ThumbnailItem &item) const;
    void endGrace();

    StatusBar *statusBar = nullptr;
    QVector<ThumbnailItem> items;
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
    qint64 budget = qint64(64) << 20;
    qint64 heldBytes = 0;
    QSet<int> heldRows;
    quint64 round = 0;
    // While it runs, thumbnails that were let go and are being made again paint as empty
    // rather than as the placeholder, so that a result coming within a frame or two does
    // not flash the placeholder first.
    QTimer graceTimer;
};

// Makes the thumbnail of one file; safe on any thread.
ThumbnailInfo createThumbnail(const QString &path);
