#include "thumbnaillistview.h"

#include "imagefile.h"
#include "platform/recyclebin.h"
#include "statusbar.h"
#include "thumbnaillistmodel.h"
#include "thumbnailpanel.h"
#include "thumbnailsortfilterproxymodel.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QDebug>
#include <QDrag>
#include <QFileInfo>
#include <QHelpEvent>
#include <QMenu>
#include <QMessageBox>
#include <QMimeData>
#include <QPainter>
#include <QSortFilterProxyModel>
#include <QTimer>
#include <QToolTip>
#include <QUrl>

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

    const auto makeGroup = [this](const QList<QPair<QString, int>> &entries) {
        auto *group = new QActionGroup(this);
        group->setExclusive(true);
        for (const auto &entry : entries) {
            QAction *action = group->addAction(entry.first);
            action->setCheckable(true);
            action->setData(entry.second);
        }
        return group;
    };
    sortActions = makeGroup({{tr("None"), 0},
                             {tr("Name"), 1},
                             {tr("Type"), 2},
                             {tr("Date and Time Modified"), 3},
                             {tr("Size"), 4}});
    orderActions = makeGroup({{tr("Ascending"), 0}, {tr("Descending"), 1}});
    if (auto *panel = qobject_cast<ThumbnailPanel *>(parent)) {
        connect(sortActions, &QActionGroup::triggered, panel, &ThumbnailPanel::switchSorting);
        connect(orderActions, &QActionGroup::triggered, panel, &ThumbnailPanel::switchSortOrder);
    }
    const QList<QAction *> modes = sortActions->actions();
    const QList<QAction *> orders = orderActions->actions();
    const auto separator = [this] {
        auto *action = new QAction(this);
        action->setSeparator(true);
        return action;
    };
    sortEntries = {modes.at(1), modes.at(2), modes.at(3), modes.at(4), separator(), modes.at(0),
                   separator(), orders.at(0), orders.at(1)};
    sortMenu = new QMenu(tr("Sort"), this);
    sortMenu->addActions(sortMenuActions());

    openAct = new QAction(tr("Open in New Window"), this);
    connect(openAct, &QAction::triggered, this, &ThumbnailListView::open);
    deleteAct = new QAction(tr("Delete"), this);
    deleteAct->setShortcuts(QKeySequence::Delete);
    connect(deleteAct, &QAction::triggered, this, &ThumbnailListView::remove);
    copyImageAct = new QAction(tr("Copy Image"), this);
    connect(copyImageAct, &QAction::triggered, this, &ThumbnailListView::copyImage);
    copyAct = new QAction(tr("Copy"), this);
    copyAct->setShortcuts(QKeySequence::Copy);
    connect(copyAct, &QAction::triggered, this, &ThumbnailListView::copy);
    pasteAct = new QAction(tr("Paste"), this);
    pasteAct->setShortcuts(QKeySequence::Paste);
    connect(pasteAct, &QAction::triggered, this, &ThumbnailListView::paste);
}

QList<QAction *> ThumbnailListView::sortMenuActions() const
{
    return sortEntries;
}

void ThumbnailListView::setSorting(int mode, int order)
{
    for (QAction *action : sortActions->actions()) {
        if (action->data().toInt() == mode) {
            action->activate(QAction::Trigger);
            break;
        }
    }
    for (QAction *action : orderActions->actions()) {
        if (action->data().toInt() == order) {
            action->activate(QAction::Trigger);
            break;
        }
    }
}

bool ThumbnailListView::copyIfFocused()
{
    if (!hasFocus())
        return false;
    copy();
    return true;
}

bool ThumbnailListView::pasteIfFocused()
{
    if (!hasFocus())
        return false;
    paste();
    return true;
}

bool ThumbnailListView::removeIfFocused()
{
    if (!hasFocus())
        return false;
    remove();
    return true;
}

QStringList ThumbnailListView::selectedPaths() const
{
    QStringList paths;
    if (!selectionModel())
        return paths;
    const QModelIndexList rows = selectionModel()->selectedIndexes();
    for (const QModelIndex &index : rows)
        paths << index.data(ThumbnailListModel::FilePathRole).toString();
    return paths;
}

void ThumbnailListView::prepareFileActions(const QPoint &viewportPos)
{
    contextFile = indexAt(viewportPos).data(ThumbnailListModel::FilePathRole).toString();
    const bool target = !selectedPaths().isEmpty() || !contextFile.isEmpty();
    openAct->setEnabled(!contextFile.isEmpty());
    deleteAct->setEnabled(target);
    copyAct->setEnabled(target);
    copyImageAct->setEnabled(target);
    const QMimeData *mime = QApplication::clipboard()->mimeData();
    pasteAct->setEnabled(mime && (mime->hasUrls() || mime->hasImage()));
}

void ThumbnailListView::contextMenuEvent(QContextMenuEvent *event)
{
    prepareFileActions(viewport()->mapFrom(this, event->pos()));
    QMenu menu(this);
    menu.addAction(openAct);
    menu.addAction(deleteAct);
    menu.addSeparator();
    menu.addAction(copyAct);
    menu.addAction(copyImageAct);
    menu.addAction(pasteAct);
    menu.addSeparator();
    menu.addMenu(sortMenu);
    menu.exec(event->globalPos());
}

void ThumbnailListView::open()
{
    if (!contextFile.isEmpty())
        emit openInNewWindow(contextFile);
}

void ThumbnailListView::remove()
{
    QStringList paths = selectedPaths();
    if (paths.isEmpty() && !contextFile.isEmpty())
        paths << contextFile;
    if (paths.isEmpty())
        return;
    const QString text = paths.size() == 1
            ? tr("Are you sure you want to remove \"%1\" to trash?").arg(paths.first())
            : tr("Are you sure you want to remove %n file(s) to trash?", "", paths.size());
    if (QMessageBox::question(this, tr("Vireon"), text, QMessageBox::Yes | QMessageBox::No)
        != QMessageBox::Yes)
        return;
    // Failures are not reported: the re-listing shows what the folder then holds.
    for (const QString &path : qAsConst(paths))
        moveToRecycleBin(path);
}

QList<QUrl> ThumbnailListView::fileUrls(const QStringList &paths)
{
    QList<QUrl> urls;
    for (const QString &path : paths)
        urls << QUrl::fromLocalFile(QFileInfo(path).absoluteFilePath());
    return urls;
}

void ThumbnailListView::copy()
{
    const QStringList paths = selectedPaths();
    if (paths.isEmpty())
        return;
    for (const QString &path : paths)
        qDebug() << "ThumbnailListView::copy" << path;
    auto *mime = new QMimeData;
    mime->setUrls(fileUrls(paths));
    QApplication::clipboard()->setMimeData(mime);
}

void ThumbnailListView::copyImage()
{
    if (contextFile.isEmpty())
        return;
    // Upright, and never a decode the size guard would refuse.
    const QImage image = ImageFile::load(contextFile);
    if (image.isNull())
        return;
    auto *mime = new QMimeData;
    mime->setImageData(image);
    QApplication::clipboard()->setMimeData(mime);
}

void ThumbnailListView::paste()
{
    if (auto *panel = qobject_cast<ThumbnailPanel *>(parent()))
        panel->pasteMimeData(QApplication::clipboard()->mimeData());
}

void ThumbnailListView::mousePressEvent(QMouseEvent *event)
{
    dragArmed = false;
    if (event->button() == Qt::LeftButton) {
        pressedFiles = selectedPaths();
        const QModelIndex hit = indexAt(event->pos());
        const bool inSelection = hit.isValid()
                && pressedFiles.contains(hit.data(ThumbnailListModel::FilePathRole).toString());
        if (!pressedFiles.isEmpty() && inSelection) {
            dragArmed = true;
            dragStart = event->pos();
        }
        QListView::mousePressEvent(event);
        // The move was refused and undone: this press drags nothing, and its moves are
        // swallowed rather than starting a rubber band or a drag of their own.
        if (applyRestore()) {
            pressedFiles.clear();
            dragArmed = true;
            dragStart = event->pos();
            return;
        }
        if (hit.isValid() && !inSelection) {
            pressedFiles = selectedPaths();
            if (!pressedFiles.isEmpty()) {
                dragArmed = true;
                dragStart = event->pos();
            }
        }
        return;
    }
    QListView::mousePressEvent(event);
}

void ThumbnailListView::mouseMoveEvent(QMouseEvent *event)
{
    if (dragArmed && event->buttons() == Qt::LeftButton) {
        // Short moves are swallowed: no rubber band starts over a selected item.
        if ((event->pos() - dragStart).manhattanLength() >= QApplication::startDragDistance()) {
            dragArmed = false;
            startFileDrag();
        }
        return;
    }
    QListView::mouseMoveEvent(event);
}

void ThumbnailListView::mouseReleaseEvent(QMouseEvent *event)
{
    dragArmed = false;
    QListView::mouseReleaseEvent(event);
}

void ThumbnailListView::keyPressEvent(QKeyEvent *event)
{
    QListView::keyPressEvent(event);
    applyRestore();
}

void ThumbnailListView::startFileDrag()
{
    // Files that left the folder since the press are not offered.
    ThumbnailListModel *source = listModel();
    QStringList paths;
    QList<QIcon> icons;
    for (const QString &path : qAsConst(pressedFiles)) {
        const QModelIndex index = source ? source->indexOf(path) : QModelIndex();
        if (!index.isValid())
            continue;
        paths << path;
        if (icons.size() < 4)
            icons << index.data(Qt::DecorationRole).value<QIcon>();
    }
    if (paths.isEmpty())
        return;
    auto *mime = new QMimeData;
    mime->setUrls(fileUrls(paths));

    QPixmap pixmap(108, 88);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    const QColor colour(138, 180, 254);
    painter.setOpacity(0.3);
    painter.fillRect(pixmap.rect(), colour);
    painter.setOpacity(1.0);
    painter.setPen(colour);
    painter.drawRect(pixmap.rect().adjusted(0, 0, -1, -1));
    for (int k = 0; k < icons.size(); ++k) {
        const QPixmap thumb = icons.at(k).pixmap(QSize(ThumbnailListModel::maxWidth,
                                                       ThumbnailListModel::maxHeight),
                                                 QIcon::Normal, QIcon::Off);
        painter.drawPixmap(4 + 2 * k + (ThumbnailListModel::maxWidth - thumb.width()) / 2,
                           4 + 2 * k + ThumbnailListModel::maxHeight - thumb.height(), thumb);
    }
    painter.end();

    auto *drag = new QDrag(this);
    drag->setMimeData(mime);
    drag->setPixmap(pixmap);
    drag->setHotSpot(QPoint(53, 87));
    execDrag(drag);
}

void ThumbnailListView::execDrag(QDrag *drag)
{
    drag->exec(Qt::CopyAction | Qt::MoveAction, Qt::CopyAction);
}

bool ThumbnailListView::viewportEvent(QEvent *event)
{
    if (event->type() != QEvent::ToolTip)
        return QListView::viewportEvent(event);
    if (!qobject_cast<ThumbnailSortFilterProxyModel *>(model()))
        return true;
    auto *help = static_cast<QHelpEvent *>(event);
    const QModelIndex index = indexAt(help->pos());
    const int row = toSource(index).row();
    // A tooltip shows when the mouse comes to an item, not again while it stays there.
    if (!index.isValid() || row == lastToolTipRow) {
        QToolTip::showText(help->globalPos(), QString());
        event->ignore();
        return true;
    }
    QToolTip::showText(help->globalPos(), index.data(Qt::ToolTipRole).toString(), this);
    lastToolTipRow = row;
    return true;
}

QModelIndex ThumbnailListView::toSource(const QModelIndex &index) const
{
    if (auto *proxy = qobject_cast<QSortFilterProxyModel *>(model()))
        return proxy->mapToSource(index);
    return index;
}

QMap<int, QModelIndex> ThumbnailListView::visibleItems() const
{
    // Right after a reset the items have no places yet; lay them out first.
    const_cast<ThumbnailListView *>(this)->executeDelayedItemsLayout();
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

void ThumbnailListView::restoreCurrentFile(const QString &path)
{
    restoreFile = path;
    // For moves that come neither from the mouse, the keyboard nor the next/previous calls.
    QTimer::singleShot(0, this, &ThumbnailListView::applyRestore);
}

bool ThumbnailListView::applyRestore()
{
    if (restoreFile.isEmpty())
        return false;
    const QString path = restoreFile;
    restoreFile.clear();
    // By path: a re-listing during the question may have replaced every index.
    setCurrentFile(path);
    return true;
}

void ThumbnailListView::selectNextItem()
{
    const int n = model() ? model()->rowCount(rootIndex()) : 0;
    if (n == 0)
        return;
    // Stepping goes round: after the last file comes the first. Without a current file it
    // starts at the first.
    const QModelIndex current = currentIndex();
    const int row = current.isValid() && current.row() < n - 1 ? current.row() + 1 : 0;
    setCurrentIndex(model()->index(row, 0, rootIndex()));
    applyRestore();
}

void ThumbnailListView::selectPreviousItem()
{
    const int n = model() ? model()->rowCount(rootIndex()) : 0;
    if (n == 0)
        return;
    // Before the first file comes the last; without a current file it starts at the first.
    const QModelIndex current = currentIndex();
    int row = 0;
    if (current.isValid())
        row = current.row() > 0 ? current.row() - 1 : n - 1;
    setCurrentIndex(model()->index(row, 0, rootIndex()));
    applyRestore();
}

void ThumbnailListView::selectionChanged(const QItemSelection &selected,
                                         const QItemSelection &deselected)
{
    QListView::selectionChanged(selected, deselected);
    showSelectionSum();
}

void ThumbnailListView::dataChanged(const QModelIndex &topLeft, const QModelIndex &bottomRight,
                                    const QVector<int> &roles)
{
    QListView::dataChanged(topLeft, bottomRight, roles);
    // A selected file written anew has a new size.
    if (roles.isEmpty() || roles.contains(ThumbnailListModel::SizeRole))
        showSelectionSum();
}

void ThumbnailListView::showSelectionSum()
{
    if (!statusBar || !selectionModel())
        return;
    qint64 sum = 0;
    const QModelIndexList rows = selectionModel()->selectedIndexes();
    for (const QModelIndex &index : rows)
        sum += index.data(ThumbnailListModel::SizeRole).toLongLong();
    statusBar->setSelected(rows.size(), sum);
}

void ThumbnailListView::reset()
{
    QListView::reset();
    // A re-listing drops the selection without telling selectionChanged.
    showSelectionSum();
}

ThumbnailListModel *ThumbnailListView::listModel() const
{
    auto *proxy = qobject_cast<QSortFilterProxyModel *>(model());
    return qobject_cast<ThumbnailListModel *>(proxy ? proxy->sourceModel() : model());
}

void ThumbnailListView::requestThumbnails()
{
    if (ThumbnailListModel *source = listModel())
        source->screenChanged();
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
