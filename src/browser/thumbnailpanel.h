#pragma once

#include <QDockWidget>

class QAction;
class QMimeData;
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
    // Copies the regular files, or saves the image, into the folder under names that exist
    // nowhere yet; true when at least one file was written.
    bool pasteMimeData(const QMimeData *mime);
    // The first of folder/base.suffix, "base copy.suffix", "base copy 2.suffix", ... that
    // does not exist; a copy of an existing file starts at "base copy.suffix".
    static QString uniqueName(const QString &folder, const QString &base, const QString &suffix,
                              bool copyOfExisting = false);

    int sortMode = 1;
    int sortOrder = 0;

public slots:
    void setFolder(const QString &path);
    void sort();
    void switchSorting(QAction *action);
    void switchSortOrder(QAction *action);
    void toggleView(bool on);

protected:
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dropEvent(QDropEvent *event) override;

private:
    ThumbnailListView *listView = nullptr;
    ThumbnailListModel *listModel = nullptr;
    ThumbnailSortFilterProxyModel *proxyModel = nullptr;
    ThumbnailDelegate *delegate = nullptr;
    QString folder;
    QAction *toggle = nullptr;
};
