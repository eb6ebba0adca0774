#include "thumbnaillistmodel.h"

#include "statusbar.h"
#include "thumbnailcache.h"
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
#include <iterator>

#include <dirent.h>
#include <sys/stat.h>

namespace {

constexpr int creationDelay = 300;
constexpr int relistDelay = 300;
// About a frame or two: longer than a cached thumbnail takes, shorter than a wait one notices.
constexpr int graceDelay = 100;

// The bytes of the pixels the pixmap holds, at 32-bit aligned lines as images keep them.
qint64 pixmapSize(const QPixmap &pixmap)
{
    return qint64((pixmap.width() * pixmap.depth() + 31) / 32) * 4 * pixmap.height();
}

// One directory entry that passed the image filter, with what the listing reads of it.
struct Entry
{
    QString name;
    QString key; // the name in lower case, for sorting by name
    qint64 size = 0;
    QDateTime lastModified;
};

// The lower-case suffixes the image readers know, as QDir name filters "*.suffix" match them.
QSet<QByteArray> imageSuffixes()
{
    QSet<QByteArray> suffixes;
    const QList<QByteArray> formats = QImageReader::supportedImageFormats();
    for (const QByteArray &format : formats)
        suffixes.insert(format.toLower());
    return suffixes;
}

// Whether a file name ends in one of the suffixes, ignoring case, without allocating:
// this runs for every entry of the folder.
bool hasSuffix(const char *name, const QSet<QByteArray> &suffixes)
{
    const char *dot = std::strrchr(name, '.');
    if (!dot)
        return false;
    char lower[16];
    int length = 0;
    for (const char *c = dot + 1; *c; ++c) {
        if (length == int(sizeof lower))
            return false;
        lower[length++] = (*c >= 'A' && *c <= 'Z') ? char(*c - 'A' + 'a') : *c;
    }
    return suffixes.contains(QByteArray::fromRawData(lower, length));
}

// The path QDir gives an entry of the folder: its path() and the name.
QString entryPath(const QString &base, const QString &name)
{
    return base.endsWith(QLatin1Char('/')) ? base + name : base + QLatin1Char('/') + name;
}

// Times are kept in UTC: comparing them, as re-listing and sorting by date do, then costs
// no conversion to local time (which QFileInfo::lastModified pays for every file).
QDateTime modificationTime(const struct stat &status)
{
    return QDateTime::fromMSecsSinceEpoch(
            qint64(status.st_mtim.tv_sec) * 1000 + status.st_mtim.tv_nsec / 1000000, Qt::UTC);
}

// Whether one entry sorts before another in QDir's default order: by name, ignoring case.
bool byName(const Entry &a, const Entry &b)
{
    const int byKey = a.key.compare(b.key);
    return byKey != 0 ? byKey < 0 : a.name < b.name;
}

void sortByName(QVector<Entry> &entries)
{
    for (Entry &entry : entries)
        entry.key = entry.name.toLower();
    std::sort(entries.begin(), entries.end(), byName);
}

// The entries among names[begin, end) of the open folder that QDir lists (not hidden,
// files and folders, links followed, broken links and special files left out).
QVector<Entry> statEntries(int dirFd, const QVector<QByteArray> &names, int begin, int end)
{
    QVector<Entry> entries;
    entries.reserve(end - begin);
    for (int i = begin; i < end; ++i) {
        struct stat status;
        if (::fstatat(dirFd, names.at(i).constData(), &status, 0) != 0
            || !(S_ISREG(status.st_mode) || S_ISDIR(status.st_mode)))
            continue;
        Entry found;
        found.name = QFile::decodeName(names.at(i));
        found.size = status.st_size;
        found.lastModified = modificationTime(status);
        entries.append(found);
    }
    return entries;
}

// The image files of a folder as QDir lists them with its default filter and the image
// name filters, but with one directory read and one stat per entry, so that a folder of
// thousands of files lists in milliseconds; sorted by name when asked, else in no
// particular order. The stats (and the sorting) are most of the work in a large folder:
// they are shared between this thread and one of the pool.
QVector<Entry> listImages(const QString &folder, bool sorted)
{
    if (folder.isEmpty())
        return {};
    DIR *dir = ::opendir(QFile::encodeName(folder).constData());
    if (!dir)
        return {};
    const QSet<QByteArray> suffixes = imageSuffixes();
    const int dirFd = ::dirfd(dir);
    QVector<QByteArray> names;
    while (const dirent *entry = ::readdir(dir)) {
        if (entry->d_name[0] != '.' && hasSuffix(entry->d_name, suffixes))
            names.append(QByteArray(entry->d_name));
    }
    const auto part = [&](int begin, int end) {
        QVector<Entry> entries = statEntries(dirFd, names, begin, end);
        if (sorted)
            sortByName(entries);
        return entries;
    };
    const int n = names.size();
    QVector<Entry> entries;
    if (n < 2000) {
        entries = part(0, n);
    } else {
        // Waiting for a task the pool has not started runs it here.
        QFuture<QVector<Entry>> first = QtConcurrent::run(part, 0, n / 2);
        const QVector<Entry> second = part(n / 2, n);
        const QVector<Entry> firstEntries = first.result();
        entries.reserve(firstEntries.size() + second.size());
        if (sorted)
            std::merge(firstEntries.cbegin(), firstEntries.cend(), second.cbegin(), second.cend(),
                       std::back_inserter(entries), byName);
        else
            entries << firstEntries << second;
    }
    ::closedir(dir);
    return entries;
}

ThumbnailItem makeItem(const Entry &entry, const QString &base, const QPixmap &placeholder,
                       int position)
{
    ThumbnailItem item;
    item.fileName = entry.name;
    item.filePath = entryPath(base, entry.name);
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
      folderWatcher(this), writeWatcher(this), graceTimer(this)
{
    placeholder = QPixmap::fromImage(
            ThumbnailMaker::compose(QImage(QStringLiteral(":/images/preIcon.png"))));
    creationTimer.setSingleShot(true);
    relistTimer.setSingleShot(true);
    graceTimer.setSingleShot(true);
    // Named so that tests can tell the two apart.
    creationTimer.setObjectName(QStringLiteral("creationTimer"));
    relistTimer.setObjectName(QStringLiteral("relistTimer"));

    connect(&watcher, &QFutureWatcherBase::resultReadyAt, this, &ThumbnailListModel::imageCreated);
    connect(&watcher, &QFutureWatcherBase::finished, this, &ThumbnailListModel::finished);
    connect(&creationTimer, &QTimer::timeout, this, &ThumbnailListModel::timerSetImage);
    connect(&relistTimer, &QTimer::timeout, this, &ThumbnailListModel::tDirectoryChanged);
    connect(&graceTimer, &QTimer::timeout, this, &ThumbnailListModel::endGrace);
    connect(&folderWatcher, &QFileSystemWatcher::directoryChanged, this,
            &ThumbnailListModel::directoryChanged);
    connect(&writeWatcher, &FolderWriteWatcher::fileWritten, this,
            &ThumbnailListModel::fileWritten);
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
        return QIcon(shownPixmap(item));
    case Qt::ToolTipRole:
        return item.fileName + QLatin1Char('\n')
                + QLocale().toString(item.lastModified.toLocalTime(), QLocale::ShortFormat)
                + QLatin1Char('\n') + StatusBar::sizeText(item.size) + QLatin1Char('\n')
                + QStringLiteral("%1x%2").arg(item.imageSize.width()).arg(item.imageSize.height());
    case FilePathRole:
        return item.filePath;
    case PixmapRole:
        return shownPixmap(item);
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
        const QString source = items.at(index.row()).filePath;
        QString target = value.toString();
        if (!target.isEmpty() && QFileInfo(target).isRelative())
            target = QDir(folderPath).filePath(target);
        const QFileInfo to(target);
        const QString name = to.fileName();
        // A rename stays in the folder: no empty or dot names, no way into another folder,
        // no NUL that would cut the name short.
        const bool validName = !target.isEmpty() && !name.isEmpty() && name != QLatin1String(".")
                && name != QLatin1String("..") && !target.contains(QChar(0))
                && to.absolutePath() == QFileInfo(source).absolutePath();
        // rename(2) replaces an existing target: never let a rename destroy another file
        // (nor a link, even a broken one).
        const bool renamed = validName && !to.exists() && !to.isSymLink()
                && QDir().rename(source, target);
        if (renamed)
            currentFile = target;
        // The item keeps its name until the folder watcher's re-listing replaces it.
        emit dataChanged(index, index);
        return renamed;
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
    writeWatcher.setFolder(path);

    const QVector<Entry> entries = listImages(path, true);
    const QString base = QDir(path).path();
    beginResetModel();
    items.clear();
    items.reserve(entries.size());
    for (const Entry &entry : qAsConst(entries))
        items.append(makeItem(entry, base, placeholder, 0));
    indexRows();
    recountHeld();
    endResetModel();
    // A new folder is no part of a burst: its first screen is planned at once.
    creationTimer.stop();
    createThumbnails();
}

QString ThumbnailListModel::filePath(const QModelIndex &index) const
{
    if (!index.isValid() || index.row() < 0 || index.row() >= items.size())
        return QString();
    return items.at(index.row()).filePath;
}

QModelIndex ThumbnailListModel::indexOf(const QString &path) const
{
    const int row = findRow(path);
    return row >= 0 ? index(row) : QModelIndex();
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

void ThumbnailListModel::screenChanged(Planning planning)
{
    // A batch that already makes everything on screen goes on: planning again would throw
    // its work away to start the same (a scroll bar appearing, the listing's order sorted).
    if (watcher.isRunning() && !cancelled) {
        auto *view = qobject_cast<ThumbnailListView *>(QObject::parent());
        const QMap<int, QModelIndex> visible
                = view ? view->visibleItems() : QMap<int, QModelIndex>();
        if (batchCoversScreen(visible)) {
            markShown(visible);
            return;
        }
    }
    if (planning == Planning::AtOnce)
        creationTimer.stop();
    createThumbnails();
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
    const int row = findRow(path);
    if (row < 0)
        return;
    const ThumbnailInfo info = createThumbnail(path);
    setThumbnail(row, QPixmap::fromImage(info.image));
    ThumbnailItem &item = items[row];
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
    markShown(visible);
    pendingRows.clear();
    QStringList paths;
    // Only visible rows; those the shared cache holds first, so that a screen of them
    // fills in at once instead of waiting behind decodes.
    const ThumbnailCache cache;
    QList<int> uncached;
    for (auto it = visible.cbegin(); it != visible.cend(); ++it) {
        const int row = it.key();
        if (row >= 0 && row < items.size() && !items.at(row).thumbnailReady)
            (cache.holds(items.at(row).filePath) ? pendingRows : uncached).append(row);
    }
    pendingRows += uncached;
    for (int row : qAsConst(pendingRows))
        paths.append(items.at(row).filePath);
    if (paths.isEmpty())
        return;
    watcher.setFuture(QtConcurrent::mapped(paths, createThumbnail));
    cancelled = false;
    if (std::any_of(pendingRows.cbegin(), pendingRows.cend(),
                    [this](int row) { return items.at(row).dropped; }))
        graceTimer.start(graceDelay);
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
    // Pixmaps may only be made on the GUI thread.
    setThumbnail(row, QPixmap::fromImage(info.image));
    ThumbnailItem &item = items[row];
    item.imageSize = info.imageSize;
    item.thumbnailReady = true;
    const QModelIndex changed = this->index(row);
    emit dataChanged(changed, changed);
    keepWithinBudget();
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
    // A re-listing would take an open rename editor away (and delete it under the clash
    // question): it waits until the editor has closed.
    auto *view = qobject_cast<ThumbnailListView *>(QObject::parent());
    if (view && view->isEditing()) {
        relistTimer.start(relistDelay);
        return;
    }
    const QVector<Entry> entries = listImages(folderPath, false);

    QVector<bool> listed(items.size(), false);
    QVector<Entry> added;
    QVector<int> changed;
    for (const Entry &entry : entries) {
        const auto found = rowOfName.constFind(entry.name);
        if (found == rowOfName.cend()) {
            added.append(entry);
            continue;
        }
        const int row = found.value();
        listed[row] = true;
        const ThumbnailItem &item = items.at(row);
        if (item.lastModified != entry.lastModified || item.size != entry.size) {
            // Taken from the listing: a file deleted and linked in anew under its name
            // between two listings reports no write of its own.
            ThumbnailItem &stale = items[row];
            stale.lastModified = entry.lastModified;
            stale.size = entry.size;
            stale.thumbnailReady = false;
            changed.append(row);
        }
    }
    const bool anyRemoved = listed.contains(false);

    if (anyRemoved || !added.isEmpty())
        cancelThumbnails(); // rows are about to move under the running batch
    if (anyRemoved) {
        beginResetModel();
        QVector<ThumbnailItem> kept;
        kept.reserve(items.size());
        for (int row = 0; row < items.size(); ++row) {
            if (listed.at(row))
                kept.append(items.at(row));
        }
        items.swap(kept);
        indexRows();
        recountHeld();
        endResetModel();
    }
    if (!added.isEmpty()) {
        // Only the added entries need the listing order; sorting them alone keeps this linear.
        sortByName(added);
        beginResetModel();
        items.reserve(items.size() + added.size());
        const QString base = QDir(folderPath).path();
        for (const Entry &entry : qAsConst(added)) {
            rowOfName.insert(entry.name, items.size());
            items.append(makeItem(entry, base, placeholder, editedPosition));
        }
        endResetModel();
    }
    if (!anyRemoved && added.isEmpty()) {
        for (int row : qAsConst(changed))
            emit dataChanged(index(row), index(row));
    }

    if (!currentFile.isEmpty()) {
        if (view)
            view->setCurrentFile(currentFile);
        // Once the renamed file is listed it has been made current; later re-listings
        // must not pull the selection back to it.
        if (findRow(currentFile) >= 0)
            currentFile.clear();
    }
    createThumbnails();
    if (statusBar)
        statusBar->setTotal(count(), totalSize());
}

void ThumbnailListModel::fileWritten(const QString &name)
{
    // Names not listed yet come with the folder watch's re-listing.
    const int row = rowOfName.value(name, -1);
    if (row < 0)
        return;
    ThumbnailItem &item = items[row];
    struct stat status;
    if (::stat(QFile::encodeName(item.filePath).constData(), &status) != 0)
        return;
    item.size = status.st_size;
    item.lastModified = modificationTime(status);
    item.thumbnailReady = false;
    emit dataChanged(index(row), index(row));
    // Also cancels a batch that may be reading the file as it was.
    createThumbnails();
    if (statusBar)
        statusBar->setTotal(count(), totalSize());
}

void ThumbnailListModel::indexRows()
{
    rowOfName.clear();
    rowOfName.reserve(items.size());
    for (int row = 0; row < items.size(); ++row)
        rowOfName.insert(items.at(row).fileName, row);
}

int ThumbnailListModel::findRow(const QString &path) const
{
    const int row = rowOfName.value(path.mid(path.lastIndexOf(QLatin1Char('/')) + 1), -1);
    return row >= 0 && items.at(row).filePath == path ? row : -1;
}

bool ThumbnailListModel::batchCoversScreen(const QMap<int, QModelIndex> &visible) const
{
    for (auto it = visible.cbegin(); it != visible.cend(); ++it) {
        const int row = it.key();
        if (row >= 0 && row < items.size() && !items.at(row).thumbnailReady
            && !pendingRows.contains(row))
            return false;
    }
    return true;
}

void ThumbnailListModel::markShown(const QMap<int, QModelIndex> &visible)
{
    ++round;
    for (auto it = visible.cbegin(); it != visible.cend(); ++it) {
        if (it.key() >= 0 && it.key() < items.size())
            items[it.key()].shownRound = round;
    }
}

void ThumbnailListModel::setThumbnail(int row, const QPixmap &pixmap)
{
    ThumbnailItem &item = items[row];
    heldBytes -= item.pixmapBytes;
    item.pixmap = pixmap;
    item.pixmapBytes = pixmapSize(pixmap);
    item.dropped = false;
    heldBytes += item.pixmapBytes;
    if (item.pixmapBytes > 0)
        heldRows.insert(row);
    else
        heldRows.remove(row);
}

void ThumbnailListModel::dropThumbnail(int row)
{
    ThumbnailItem &item = items[row];
    heldBytes -= item.pixmapBytes;
    heldRows.remove(row);
    item.pixmap = placeholder;
    item.pixmapBytes = 0;
    item.thumbnailReady = false;
    item.dropped = true;
    emit dataChanged(index(row), index(row), { Qt::DecorationRole, PixmapRole });
}

void ThumbnailListModel::keepWithinBudget()
{
    if (heldBytes <= budget)
        return;
    QVector<int> rows;
    rows.reserve(heldRows.size());
    for (int row : qAsConst(heldRows)) {
        // Rows seen in the latest round are on screen.
        if (items.at(row).shownRound < round)
            rows.append(row);
    }
    std::sort(rows.begin(), rows.end(),
              [this](int a, int b) { return items.at(a).shownRound < items.at(b).shownRound; });
    // Down to seven eighths, so that the sorting above comes once per eighth of the
    // budget rather than for every thumbnail made.
    const qint64 target = budget - budget / 8;
    for (int row : qAsConst(rows)) {
        if (heldBytes <= target)
            break;
        dropThumbnail(row);
    }
}

void ThumbnailListModel::recountHeld()
{
    heldRows.clear();
    heldBytes = 0;
    for (int row = 0; row < items.size(); ++row) {
        if (items.at(row).pixmapBytes > 0) {
            heldRows.insert(row);
            heldBytes += items.at(row).pixmapBytes;
        }
    }
}

QPixmap ThumbnailListModel::shownPixmap(const ThumbnailItem &item) const
{
    return item.dropped && graceTimer.isActive() ? QPixmap() : item.pixmap;
}

void ThumbnailListModel::endGrace()
{
    // Those still being made show their placeholder from now on.
    for (int row : qAsConst(pendingRows)) {
        if (row >= 0 && row < items.size() && items.at(row).dropped)
            emit dataChanged(index(row), index(row), { Qt::DecorationRole, PixmapRole });
    }
}
