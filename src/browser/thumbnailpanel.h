#pragma once

#include <QDockWidget>

class QAction;
class ThumbnailDelegate;
class ThumbnailListModel;
class ThumbnailListView;
class ThumbnailSortFilterProxyModel;

// The thumbnail dock: the grid of the current folder's images, in the chosen order.
class ThumbnailPanel : public QDockWidget
{
    Q_OBJECT
public:
    ThumbnailPanel(const QString &title, QWidget *parent = nullptr);

    ThumbnailListView *view() const { return listView; }
    ThumbnailListModel *model() const { return listModel; }
    ThumbnailSortFilterProxyModel *proxy() const { return proxyModel; }
    QAction *toggleAction() const { return toggle; }
    QString currentFolder() const { return folder; }

    int sortMode = 1;
    int sortOrder = 0;

public slots:
    void setFolder(const QString &path);
    void sort();
    void toggleView(bool on);

private:
    ThumbnailListView *listView = nullptr;
    ThumbnailListModel *listModel = nullptr;
    ThumbnailSortFilterProxyModel *proxyModel = nullptr;
    ThumbnailDelegate *delegate = nullptr;
    QString folder;
    QAction *toggle = nullptr;
};
