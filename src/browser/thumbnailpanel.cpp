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
    listModel->setFolder(path);
    listView->viewport()->update();
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
    listModel->createThumbnails();
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
    // photo.2020.jpg pasted beside itself becomes "photo copy.jpg", never "photo.jpg".
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
        for (const QUrl &url : urls) {
            if (!url.isLocalFile())
                continue;
            const QString name = url.fileName(QUrl::FullyDecoded);
            QString target = folder + QLatin1Char('/') + name;
            if (QFileInfo::exists(target) || QFileInfo(target).isSymLink())
                target = uniqueName(folder, QFileInfo(name).baseName(), QFileInfo(name).suffix(),
                                    true);
            // QFile::copy never replaces an existing file.
            QFile::copy(url.toLocalFile(), target);
        }
        return true;
    }
    if (mime->hasImage()) {
        const QImage image = qvariant_cast<QImage>(mime->imageData());
        image.save(uniqueName(folder, QStringLiteral("Clipboard"), QStringLiteral("png")));
        return true;
    }
    return false;
}

void ThumbnailPanel::dragEnterEvent(QDragEnterEvent *event)
{
    if (event->mimeData()->hasUrls())
        event->acceptProposedAction();
}

void ThumbnailPanel::dropEvent(QDropEvent *event)
{
    if (pasteMimeData(event->mimeData()))
        event->acceptProposedAction();
}

void ThumbnailPanel::toggleView(bool on)
{
    if (on == isHidden())
        setVisible(on);
}
