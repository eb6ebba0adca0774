#include "thumbnailpanel.h"

#include "thumbnaildelegate.h"
#include "thumbnaillistmodel.h"
#include "thumbnaillistview.h"
#include "thumbnailsortfilterproxymodel.h"

#include <QAction>

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

void ThumbnailPanel::toggleView(bool on)
{
    if (on == isHidden())
        setVisible(on);
}
