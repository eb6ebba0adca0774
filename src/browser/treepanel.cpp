#include "treepanel.h"

#include "platform/drivewatcher.h"

#include <QDir>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QTimer>
#include <QTreeView>

TreePanel::TreePanel(const QString &title, QWidget *parent)
    : QDockWidget(title, parent), treeView(new QTreeView(this)),
      folderModel(new QFileSystemModel(this)), watcher(std::make_unique<DriveWatcher>()),
      refreshTimer(new QTimer(this))
{
    folderModel->setRootPath(QString());
    folderModel->setFilter(QDir::Dirs | QDir::Drives | QDir::NoDotAndDotDot);
    folderModel->setReadOnly(true);

    treeView->setModel(folderModel);
    treeView->setSelectionMode(QAbstractItemView::SingleSelection);
    treeView->setRootIsDecorated(false);
    for (int column = 1; column < 4; ++column)
        treeView->hideColumn(column);
    treeView->setHeaderHidden(true);
    QPalette palette = treeView->palette();
    palette.setBrush(QPalette::All, QPalette::Base, QBrush(Qt::lightGray, Qt::SolidPattern));
    treeView->setPalette(palette);
    setWidget(treeView);

    refreshTimer->setObjectName(QStringLiteral("refreshTimer"));
    refreshTimer->setSingleShot(true);
    refreshTimer->setInterval(1000);

    connect(watcher.get(), &DriveWatcher::driveChanged, this, &TreePanel::updateDrives);
    watcher->start();
    connect(refreshTimer, &QTimer::timeout, this, &TreePanel::refreshModel);
}

TreePanel::~TreePanel()
{
    watcher->stop();
}

void TreePanel::setCurrentFolder(const QString &path)
{
    // The model gives an index for any existing path, files too, and then shows that entry
    // despite its filter; so only real folders get that far.
    const QFileInfo info(path);
    if (path.isEmpty() || !info.isDir())
        return;
    const QModelIndex index = folderModel->index(QDir::cleanPath(info.absoluteFilePath()), 0);
    if (!index.isValid())
        return;
    treeView->scrollTo(index, QAbstractItemView::PositionAtCenter);
    treeView->expand(index);
    treeView->setCurrentIndex(index);
}

void TreePanel::updateDrives()
{
    // The first change of a burst sets the time of the refresh; later ones do not move it.
    if (!refreshTimer->isActive())
        refreshTimer->start();
}

void TreePanel::refreshModel()
{
    // The folder model follows mounts by itself; this only marks the end of a burst.
    emit modelRefreshed();
}
