#pragma once

#include <QDockWidget>

#include <memory>

class DriveWatcher;
class QFileSystemModel;
class QTimer;
class QTreeView;

// The left dock: the folders of the computer as a tree, in which the user picks the folder
// whose images the thumbnail dock shows. Mount changes are gathered into one refresh.
class TreePanel : public QDockWidget
{
    Q_OBJECT
public:
    explicit TreePanel(const QString &title, QWidget *parent = nullptr);
    ~TreePanel() override;

    QTreeView *view() const { return treeView; }
    QFileSystemModel *model() const { return folderModel; }
    DriveWatcher *driveWatcher() const { return watcher.get(); }

    // Shows the folder and makes it current; a missing path or a file changes nothing.
    void setCurrentFolder(const QString &path);

public slots:
    void updateDrives();
    void refreshModel();

signals:
    // The end of a debounced burst of mount changes.
    void modelRefreshed();

private:
    QTreeView *treeView;
    QFileSystemModel *folderModel;
    std::unique_ptr<DriveWatcher> watcher;
    QTimer *refreshTimer;
};
