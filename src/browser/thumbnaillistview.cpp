#include "thumbnaillistview.h"

#include "statusbar.h"
#include "thumbnaillistmodel.h"

#include <QDebug>
#include <QSortFilterProxyModel>

ThumbnailListView::ThumbnailListView(QWidget *parent) : QListView(parent)
{
    setViewMode(QListView::IconMode);
    setIconSize(QSize(98, 98));
    setUniformItemSizes(true);
    setSpacing(15);
    setMovement(QListView::Snap);
    setResizeMode(QListView::Adjust);
    setLayoutMode(QListView::SinglePass);
    setAcceptDrops(false);
    setDropIndicatorShown(false);
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setDragDropMode(QAbstractItemView::DragOnly);
    setDragEnabled(true);
    setEditTriggers(QAbstractItemView::SelectedClicked | QAbstractItemView::EditKeyPressed);
    setAttribute(Qt::WA_AlwaysShowToolTips);
    QPalette p = viewport()->palette();
    p.setBrush(QPalette::Base, QBrush(Qt::lightGray, Qt::SolidPattern));
    viewport()->setPalette(p);
}

QModelIndex ThumbnailListView::toSource(const QModelIndex &index) const
{
    if (auto *proxy = qobject_cast<QSortFilterProxyModel *>(model()))
        return proxy->mapToSource(index);
    return index;
}

QMap<int, QModelIndex> ThumbnailListView::visibleItems() const
{
    QMap<int, QModelIndex> visible;
    const QSize size = viewport()->size();
    for (int x = 0; x <= size.width() - 1; x += 20) {
        for (int y = 0; y <= size.height() - 1; y += 20) {
            const QModelIndex source = toSource(indexAt(QPoint(x, y)));
            if (source.row() >= 0)
                visible.insert(source.row(), source);
        }
    }
    return visible;
}

void ThumbnailListView::setCurrentFile(const QString &path)
{
    QAbstractItemModel *m = model();
    if (!m)
        return;
    for (int row = 0; row < m->rowCount(); ++row) {
        const QModelIndex index = m->index(row, 0);
        if (index.data(ThumbnailListModel::FilePathRole).toString() == path) {
            qDebug() << "ThumbnailListView::setCurrentFile";
            setCurrentIndex(index);
            scrollTo(index, QAbstractItemView::EnsureVisible);
            return;
        }
    }
}

void ThumbnailListView::restoreCurrentIndex(const QModelIndex &index)
{
    restoreIndex = index;
    restorePending = true;
}

void ThumbnailListView::selectNextItem()
{
    if (!model() || model()->rowCount() == 0)
        return;
    const int row = currentIndex().isValid() ? currentIndex().row() + 1 : 0;
    if (row < model()->rowCount())
        setCurrentIndex(model()->index(row, 0));
}

void ThumbnailListView::selectPreviousItem()
{
    if (!model() || model()->rowCount() == 0)
        return;
    const int row = currentIndex().isValid() ? currentIndex().row() - 1 : 0;
    if (row >= 0)
        setCurrentIndex(model()->index(row, 0));
}

void ThumbnailListView::selectionChanged(const QItemSelection &selected,
                                         const QItemSelection &deselected)
{
    if (restorePending) {
        restorePending = false;
        setCurrentIndex(restoreIndex);
    } else {
        QListView::selectionChanged(selected, deselected);
    }
    restorePending = false;
    if (!statusBar || !selectionModel())
        return;
    qint64 sum = 0;
    const QModelIndexList rows = selectionModel()->selectedIndexes();
    for (const QModelIndex &index : rows)
        sum += index.data(ThumbnailListModel::SizeRole).toLongLong();
    statusBar->setSelected(rows.size(), sum);
}

void ThumbnailListView::requestThumbnails()
{
    auto *proxy = qobject_cast<QSortFilterProxyModel *>(model());
    if (auto *source = qobject_cast<ThumbnailListModel *>(proxy ? proxy->sourceModel() : model()))
        source->createThumbnails();
}

void ThumbnailListView::scrollContentsBy(int dx, int dy)
{
    QListView::scrollContentsBy(dx, dy);
    requestThumbnails();
}

void ThumbnailListView::resizeEvent(QResizeEvent *event)
{
    QListView::resizeEvent(event);
    requestThumbnails();
    if (currentIndex().isValid())
        scrollTo(currentIndex());
}
