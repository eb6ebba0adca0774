#include "thumbnaillistmodel.h"

#include "statusbar.h"
#include "thumbnaillistview.h"
#include "thumbnailmaker.h"

#include <QDir>
#include <QIcon>
#include <QImageReader>
#include <QLocale>
#include <QSet>
#include <QtConcurrent>

#include <algorithm>
#include <cstring>
#include <numeric>

#include <dirent.h>
#include <sys/stat.h>

namespace {

constexpr int creationDelay = 300;
constexpr int relistDelay = 300;

// One directory entry that passed the image filter, with what the listing reads of it.
struct Entry
{
    QString name;
    QString path;
    qint64 size = 0;
    QDateTime lastModified;
};

// The lower-case suffixes the image readers know, as QDir name filters "*.suffix" match them.
QSet<QString> imageSuffixes()
{
    QSet<QString> suffixes;
    const QList<QByteArray> formats = QImageReader::supportedImageFormats();
    for (const QByteArray &format : formats)
        suffixes.insert(QString::fromLatin1(format).toLower());
    return suffixes;
}

// Times are kept in UTC: comparing them, as re-listing and sorting by date do, then costs
// no conversion to local time (which QFileInfo::lastModified pays for every file).
QDateTime modificationTime(const struct stat &status)
{
    return QDateTime::fromMSecsSinceEpoch(
            qint64(status.st_mtim.tv_sec) * 1000 + status.st_mtim.tv_nsec / 1000000, Qt::UTC);
}

// The image files of a folder as QDir lists them with its default filter and the image
// name filters (entries that are not hidden, files and folders, links followed, broken
// links and special files left out), but with one directory read and one stat per entry,
// so that a folder of thousands of files lists in milliseconds. In no particular order.
QVector<Entry> listImages(const QString &folder)
{
    QVector<Entry> entries;
    if (folder.isEmpty())
        return entries;
    DIR *dir = ::opendir(QFile::encodeName(folder).constData());
    if (!dir)
        return entries;
    const QSet<QString> suffixes = imageSuffixes();
    QString base = QDir(folder).path();
    if (!base.endsWith(QLatin1Char('/')))
        base += QLatin1Char('/');
    const int dirFd = ::dirfd(dir);
    while (const dirent *entry = ::readdir(dir)) {
        if (entry->d_name[0] == '.')
            continue;
        const char *dot = std::strrchr(entry->d_name, '.');
        if (!dot || !suffixes.contains(QString::fromLatin1(dot + 1).toLower()))
            continue;
        struct stat status;
        if (::fstatat(dirFd, entry->d_name, &status, 0) != 0
            || !(S_ISREG(status.st_mode) || S_ISDIR(status.st_mode)))
            continue;
        Entry found;
        found.name = QFile::decodeName(entry->d_name);
        found.path = base + found.name;
        found.size = status.st_size;
        found.lastModified = modificationTime(status);
        entries.append(found);
    }
    ::closedir(dir);
    return entries;
}

// QDir's default order: by name, ignoring case.
void sortByName(QVector<Entry> &entries)
{
    QVector<QString> keys;
    keys.reserve(entries.size());
    for (const Entry &entry : qAsConst(entries))
        keys.append(entry.name.toLower());
    QVector<int> order(entries.size());
    std::iota(order.begin(), order.end(), 0);
    std::sort(order.begin(), order.end(), [&](int a, int b) {
        const int byKey = keys.at(a).compare(keys.at(b));
        return byKey != 0 ? byKey < 0 : entries.at(a).name < entries.at(b).name;
    });
    QVector<Entry> ordered;
    ordered.reserve(entries.size());
    for (int i : qAsConst(order))
        ordered.append(entries.at(i));
    entries.swap(ordered);
}

ThumbnailItem makeItem(const Entry &entry, const QPixmap &placeholder, int position)
{
    ThumbnailItem item;
    item.fileName = entry.name;
    item.filePath = entry.path;
    item.pixmap = placeholder;
    item.lastModified = entry.lastModified;
    item.size = entry.size;
    item.position = position;
    return item;
}

} // namespace

ThumbnailInfo createThumbnail(const QString &path)
{
    return ThumbnailMaker::make(path);
}

ThumbnailListModel::ThumbnailListModel(QObject *parent)
    : QAbstractListModel(parent), watcher(this), creationTimer(this), relistTimer(this),
      folderWatcher(this)
{
    placeholder = QPixmap::fromImage(
            ThumbnailMaker::compose(QImage(QStringLiteral(":/images/preIcon.png"))));
    creationTimer.setSingleShot(true);
    relistTimer.setSingleShot(true);
    // Named so that tests can tell the two apart.
    creationTimer.setObjectName(QStringLiteral("creationTimer"));
    relistTimer.setObjectName(QStringLiteral("relistTimer"));

    connect(&watcher, &QFutureWatcherBase::resultReadyAt, this, &ThumbnailListModel::imageCreated);
    connect(&watcher, &QFutureWatcherBase::finished, this, &ThumbnailListModel::finished);
    connect(&creationTimer, &QTimer::timeout, this, &ThumbnailListModel::timerSetImage);
    connect(&relistTimer, &QTimer::timeout, this, &ThumbnailListModel::tDirectoryChanged);
    connect(&folderWatcher, &QFileSystemWatcher::directoryChanged, this,
            &ThumbnailListModel::directoryChanged);
}

ThumbnailListModel::~ThumbnailListModel()
{
    cancelThumbnails();
}

int ThumbnailListModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : items.size();
}

QVariant ThumbnailListModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() < 0 || index.row() >= items.size())
        return QVariant();
    const ThumbnailItem &item = items.at(index.row());
    switch (role) {
    case Qt::DisplayRole:
    case Qt::EditRole:
        return item.fileName;
    case Qt::DecorationRole:
        return QIcon(item.pixmap);
    case Qt::ToolTipRole:
        return item.fileName + QLatin1Char('\n')
                + QLocale().toString(item.lastModified.toLocalTime(), QLocale::ShortFormat)
                + QLatin1Char('\n') + StatusBar::sizeText(item.size) + QLatin1Char('\n')
                + QStringLiteral("%1x%2").arg(item.imageSize.width()).arg(item.imageSize.height());
    case FilePathRole:
        return item.filePath;
    case PixmapRole:
        return item.pixmap;
    case LastModifiedRole:
        return item.lastModified;
    case PositionRole:
        return item.position;
    case SizeRole:
        return item.size;
    default:
        return QVariant();
    }
}

bool ThumbnailListModel::setData(const QModelIndex &index, const QVariant &value, int role)
{
    if (!index.isValid() || index.row() < 0 || index.row() >= items.size())
        return false;
    if (role == Qt::EditRole) {
        QString target = value.toString();
        if (!target.isEmpty() && QFileInfo(target).isRelative())
            target = QDir(folderPath).filePath(target);
        // rename(2) replaces an existing target: never let a rename destroy another file.
        if (!target.isEmpty() && !QFileInfo::exists(target)
            && QDir().rename(items.at(index.row()).filePath, target))
            currentFile = target;
        // The item keeps its name until the folder watcher's re-listing replaces it.
        emit dataChanged(index, index);
        return true;
    }
    if (role == PositionRole) {
        items[index.row()].position = value.toInt();
        emit dataChanged(index, index);
        return true;
    }
    return false;
}

Qt::ItemFlags ThumbnailListModel::flags(const QModelIndex &index) const
{
    if (!index.isValid())
        return Qt::ItemIsEnabled;
    return QAbstractListModel::flags(index) | Qt::ItemIsEditable;
}

void ThumbnailListModel::setFolder(const QString &path)
{
    // Rows are about to change under the running batch.
    cancelThumbnails();
    folderPath = path;
    const QStringList watched = folderWatcher.directories() + folderWatcher.files();
    if (!watched.isEmpty())
        folderWatcher.removePaths(watched);
    if (!path.isEmpty())
        folderWatcher.addPath(path);

    QVector<Entry> entries = listImages(path);
    sortByName(entries);
    beginResetModel();
    items.clear();
    items.reserve(entries.size());
    for (const Entry &entry : entries)
        items.append(makeItem(entry, placeholder, 0));
    indexRows();
    endResetModel();
    createThumbnails();
}

QString ThumbnailListModel::filePath(const QModelIndex &index) const
{
    if (!index.isValid() || index.row() < 0 || index.row() >= items.size())
        return QString();
    return items.at(index.row()).filePath;
}

qint64 ThumbnailListModel::totalSize() const
{
    qint64 total = 0;
    for (const ThumbnailItem &item : items)
        total += item.size;
    return total;
}

void ThumbnailListModel::createThumbnails()
{
    cancelThumbnails();
    // A burst of requests gives one batch at once and one after the burst settles.
    if (!creationTimer.isActive())
        timerSetImage();
    creationTimer.start(creationDelay);
}

void ThumbnailListModel::cancelThumbnails()
{
    cancelled = true;
    if (watcher.isRunning()) {
        watcher.cancel();
        watcher.waitForFinished();
    }
}

void ThumbnailListModel::updateThumbnail(const QString &path)
{
    const auto found = rowOfPath.constFind(path);
    if (found == rowOfPath.cend())
        return;
    const int row = found.value();
    const ThumbnailInfo info = createThumbnail(path);
    ThumbnailItem &item = items[row];
    item.pixmap = QPixmap::fromImage(info.image);
    item.imageSize = info.imageSize;
    item.thumbnailReady = true;
    struct stat status;
    if (::stat(QFile::encodeName(path).constData(), &status) == 0) {
        item.lastModified = modificationTime(status);
        item.size = status.st_size;
    }
    emit dataChanged(index(row), index(row));
}

void ThumbnailListModel::timerSetImage()
{
    creationTimer.stop();
    if (watcher.isRunning() || items.isEmpty())
        return;
    auto *view = qobject_cast<ThumbnailListView *>(QObject::parent());
    if (!view)
        return;
    const QMap<int, QModelIndex> visible = view->visibleItems();
    pendingRows.clear();
    QStringList paths;
    for (auto it = visible.cbegin(); it != visible.cend(); ++it) {
        const int row = it.key();
        if (row >= 0 && row < items.size() && !items.at(row).thumbnailReady) {
            pendingRows.append(row);
            paths.append(items.at(row).filePath);
        }
    }
    if (paths.isEmpty())
        return;
    watcher.setFuture(QtConcurrent::mapped(paths, createThumbnail));
    cancelled = false;
}

void ThumbnailListModel::imageCreated(int index)
{
    if (cancelled || index < 0 || index >= pendingRows.size())
        return;
    const QFuture<ThumbnailInfo> future = watcher.future();
    // A report still queued from an earlier batch may name a result this one lacks yet.
    if (!future.isResultReadyAt(index))
        return;
    const int row = pendingRows.at(index);
    if (row < 0 || row >= items.size())
        return;
    const ThumbnailInfo info = future.resultAt(index);
    ThumbnailItem &item = items[row];
    // Pixmaps may only be made on the GUI thread.
    item.pixmap = QPixmap::fromImage(info.image);
    item.imageSize = info.imageSize;
    item.thumbnailReady = true;
    const QModelIndex changed = this->index(row);
    emit dataChanged(changed, changed);
}

void ThumbnailListModel::finished() {}

void ThumbnailListModel::directoryChanged(const QString &)
{
    // Not restarted: a steady stream of changes still gets re-listed every 300 ms.
    if (!relistTimer.isActive())
        relistTimer.start(relistDelay);
}

void ThumbnailListModel::tDirectoryChanged()
{
    relistTimer.stop();
    const QVector<Entry> entries = listImages(folderPath);

    QSet<QString> present;
    present.reserve(entries.size());
    QVector<Entry> added;
    for (const Entry &entry : entries) {
        present.insert(entry.path);
        const auto found = rowOfPath.constFind(entry.path);
        if (found == rowOfPath.cend())
            added.append(entry);
        else if (items.at(found.value()).lastModified != entry.lastModified)
            items[found.value()].thumbnailReady = false;
    }
    const bool anyRemoved
            = std::any_of(items.cbegin(), items.cend(), [&present](const ThumbnailItem &item) {
                  return !present.contains(item.filePath);
              });

    if (anyRemoved || !added.isEmpty())
        cancelThumbnails(); // rows are about to move under the running batch
    if (anyRemoved) {
        beginResetModel();
        items.erase(std::remove_if(items.begin(), items.end(),
                                   [&present](const ThumbnailItem &item) {
                                       return !present.contains(item.filePath);
                                   }),
                    items.end());
        indexRows();
        endResetModel();
    }
    if (!added.isEmpty()) {
        // Only the added entries need the listing order; sorting them alone keeps this linear.
        sortByName(added);
        beginResetModel();
        items.reserve(items.size() + added.size());
        for (const Entry &entry : qAsConst(added))
            items.append(makeItem(entry, placeholder, editedPosition));
        indexRows();
        endResetModel();
    }

    if (!currentFile.isEmpty()) {
        if (auto *view = qobject_cast<ThumbnailListView *>(QObject::parent()))
            view->setCurrentFile(currentFile);
        // Once the renamed file is listed it has been made current; later re-listings
        // must not pull the selection back to it.
        if (rowOfPath.contains(currentFile))
            currentFile.clear();
    }
    createThumbnails();
    if (statusBar)
        statusBar->setTotal(count(), totalSize());
}

void ThumbnailListModel::indexRows()
{
    rowOfPath.clear();
    rowOfPath.reserve(items.size());
    for (int row = 0; row < items.size(); ++row)
        rowOfPath.insert(items.at(row).filePath, row);
}
