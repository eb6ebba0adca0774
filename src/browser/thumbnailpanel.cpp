#include "thumbnailpanel.h"

#include "thumbnaildelegate.h"
#include "thumbnaillistmodel.h"
#include "thumbnaillistview.h"
#include "thumbnailsortfilterproxymodel.h"

#include <QAction>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QMimeData>
#include <QUrl>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Copies a regular file to a name that does not exist yet. Anything else is refused
// without being opened for reading: a pipe or a device would wait for a writer or never
// end, and hold the window with it. A copy that fails half way is removed.
bool copyRegularFile(const QString &source, const QString &target)
{
    const int fd = ::open(QFile::encodeName(source).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return false;
    QFile in;
    struct stat status;
    if (::fstat(fd, &status) != 0 || !S_ISREG(status.st_mode)
        || !in.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        return false;
    }
    QFile out(target);
    // NewOnly: never replaces a file (or follows a link) that appeared meanwhile.
    if (!out.open(QIODevice::WriteOnly | QIODevice::NewOnly))
        return false;
    bool ok = true;
    for (;;) {
        const QByteArray block = in.read(1 << 20);
        if (block.isEmpty()) {
            ok = in.error() == QFileDevice::NoError;
            break;
        }
        if (out.write(block) != block.size()) {
            ok = false;
            break;
        }
    }
    // The copy gets the original's permissions, as a copy in a file manager does.
    ok = ok && out.flush() && ::fchmod(out.handle(), status.st_mode & 0777) == 0;
    out.close();
    if (!ok || out.error() != QFileDevice::NoError) {
        out.remove();
        return false;
    }
    return true;
}

} // namespace

ThumbnailPanel::ThumbnailPanel(const QString &title, QWidget *parent) : QDockWidget(title, parent)
{
    listView = new ThumbnailListView(this);
    proxyModel = new ThumbnailSortFilterProxyModel(this);
    listModel = new ThumbnailListModel(listView);
    proxyModel->setSourceModel(listModel);
    listView->setModel(proxyModel);
    setWidget(listView);
    setAcceptDrops(true);
    delegate = new ThumbnailDelegate(this);
    listView->setItemDelegate(delegate);
    delegate->setProxy(proxyModel);

    toggle = new QAction(tr("Thumbnails"), this);
    toggle->setCheckable(true);
    connect(toggle, &QAction::triggered, this, &ThumbnailPanel::toggleView);
}

void ThumbnailPanel::setFolder(const QString &path)
{
    folder = path;
    // A proxy already sorting in the chosen order sorts the new rows as it maps them;
    // sorting them again would double the work of a large folder. The unsorted mode
    // records the listing's order, so it is sorted anew.
    const bool sorted = proxyModel->sortColumn() == 0 && proxyModel->mode() == sortMode
            && proxyModel->order() == sortOrder && sortMode != 0;
    listModel->setFolder(path);
    listView->viewport()->update();
    if (!sorted)
        sort();
    setWindowTitle(tr("Thumbnails - %1").arg(path));
}

void ThumbnailPanel::sort()
{
    const QModelIndex current = proxyModel->mapToSource(listView->currentIndex());
    proxyModel->setSortMode(sortMode);
    proxyModel->sort(0, Qt::SortOrder(sortOrder));
    if (current.isValid()) {
        const QModelIndex index = proxyModel->mapFromSource(current);
        listView->setCurrentIndex(index);
        listView->scrollTo(index, QAbstractItemView::EnsureVisible);
    }
    listModel->screenChanged(ThumbnailListModel::Planning::AtOnce);
}

void ThumbnailPanel::switchSorting(QAction *action)
{
    sortMode = action->data().toInt();
    sort();
}

void ThumbnailPanel::switchSortOrder(QAction *action)
{
    sortOrder = action->data().toInt();
    sort();
}

QString ThumbnailPanel::uniqueName(const QString &folder, const QString &base,
                                   const QString &suffix, bool copyOfExisting)
{
    const auto path = [&](const QString &name) {
        return folder + QLatin1Char('/') + name + QLatin1Char('.') + suffix;
    };
    QString candidate = path(base);
    // a.b.c.jpg pasted beside itself becomes "a.b.c copy.jpg".
    if (!copyOfExisting && !QFileInfo::exists(candidate) && !QFileInfo(candidate).isSymLink())
        return candidate;
    candidate = path(base + QStringLiteral(" copy"));
    for (int n = 2; QFileInfo::exists(candidate) || QFileInfo(candidate).isSymLink(); ++n)
        candidate = path(base + QStringLiteral(" copy %1").arg(n));
    return candidate;
}

bool ThumbnailPanel::pasteMimeData(const QMimeData *mime)
{
    if (!mime || folder.isEmpty())
        return false;
    // File lists copied or dragged here carry URLs only, without a text form.
    if (mime->hasUrls()) {
        const QList<QUrl> urls = mime->urls();
        bool copied = false;
        for (const QUrl &url : urls) {
            if (!url.isLocalFile())
                continue;
            const QString name = url.fileName(QUrl::FullyDecoded);
            QString target = folder + QLatin1Char('/') + name;
            if (QFileInfo::exists(target) || QFileInfo(target).isSymLink())
                target = uniqueName(folder, QFileInfo(name).completeBaseName(),
                                    QFileInfo(name).suffix(), true);
            if (copyRegularFile(url.toLocalFile(), target))
                copied = true;
        }
        return copied;
    }
    if (mime->hasImage()) {
        const QImage image = qvariant_cast<QImage>(mime->imageData());
        return image.save(uniqueName(folder, QStringLiteral("Clipboard"), QStringLiteral("png")));
    }
    return false;
}

void ThumbnailPanel::dragEnterEvent(QDragEnterEvent *event)
{
    if (event->mimeData()->hasUrls() && (event->possibleActions() & Qt::CopyAction)) {
        event->setDropAction(Qt::CopyAction);
        event->accept();
    }
}

void ThumbnailPanel::dropEvent(QDropEvent *event)
{
    // Always a copy: a source told Move would delete its originals. Nothing copied, nothing
    // accepted.
    if (pasteMimeData(event->mimeData())) {
        event->setDropAction(Qt::CopyAction);
        event->accept();
    } else {
        event->ignore();
    }
}

void ThumbnailPanel::toggleView(bool on)
{
    if (on == isHidden())
        setVisible(on);
}
