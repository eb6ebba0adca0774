#pragma once

#include "framework/lvmainwindow.h"
#include "imageloader.h"

#include <QFutureWatcher>
#include <QPointer>
#include <memory>

class QTimer;

class MdiChild;
class QMdiSubWindow;
class StatusBar;
class ThumbnailPanel;
class ToolPanel;
class TreePanel;

// The image program's main window: documents of one image each, loaded in the background.
class MainWindow : public LVMainWindow
{
    Q_OBJECT
public:
    explicit MainWindow(bool mdi);
    ~MainWindow() override;

    // Shows the given file; called at start with the file named on the command line.
    void selectFile(const QString &path);
    // Shows file: activates the window that shows it already, else loads it into a new one.
    void openFile(const QString &file);
    MdiChild *activeDocument() const;
    // The Open dialog's filter: every format Qt reads.
    QString openFilter() const;
    // True while a load runs on a worker thread.
    bool isLoading() const { return loadWatcher->isRunning(); }
    // True until the result and the end of the last load have been handled here.
    bool isLoadPending() const { return loadWatcher->isRunning() || !loadWatcher->isFinished(); }
    TreePanel *folderTree() const { return treePanel; }
    ThumbnailPanel *thumbnails() const { return thumbnailPanel; }
    StatusBar *statusBarWidget() const { return statusBar; }
    ToolPanel *tools() const { return toolPanel; }
    void showPosition(const QPoint &scenePos) override;
    void setProgramMode(int mode) override;
    void saveDocumentToolState() override;
    // In full screen, the full-screen document: everything that works on the active
    // document works on it then.
    LVMdiChild *activeMdiChild() const override;

public slots:
    bool loadImage(const QString &file, bool newWindow = true);
    // Slide show and full screen: stepping moves the thumbnail list's current file, which
    // loads into the active document.
    void slideShow();
    void showNextImage();
    void nextImage();
    void previousImage();
    void fullScreen() override;
    void closeFullScreen();
    void newFile() override;
    void open() override;
    void about() override;
    void copy() override;
    void paste() override;
    void deleteObjects() override;
    void programModeGroupClicked(int id);
    void imageLoaded(int i);
    void setSelectedRect() override;
    void updateMenus() override;
    void describeActiveDocument() override;
    void cut() override;
    void treeCurrentChanged(const QModelIndex &index);
    void thumbnailsCurrentChanged(const QModelIndex &current, const QModelIndex &previous);

signals:
    // A background load ended, shown, unreadable or cancelled.
    void loadFinished();

protected:
    void readSettings() override;
    void writeSettings() override;
    void createActions() override;
    void createProgramModeGroup() override;
    void createDockWindows() override;
    void createViewMenuEntries() override;
    void updateWindowTitle() override;
    LVMdiChild *createMdiChild() override;
    void resizeEvent(QResizeEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

    StatusBar *statusBar = nullptr;
    QString selectedFilterOpen;
    TreePanel *treePanel = nullptr;
    QString currentTreeFolder;
    ThumbnailPanel *thumbnailPanel = nullptr;
    ToolPanel *toolPanel = nullptr;
    bool mainToolsVisible = true;
    bool toolPanelVisible = true;
    bool treePanelVisible = true;
    bool thumbnailPanelVisible = true;
    bool statusBarVisible = true;
    // saveState(0) of the window: the dock and tool bar layout ("windowState" would hide
    // QWidget::windowState()). Full screen keeps the layout from before it here.
    QByteArray savedWindowState;
    QString currentFile;
    int sortMode = 1;
    int sortOrder = 0;
    std::unique_ptr<QFutureWatcher<ImageInfo>> loadWatcher;
    bool loadCancelled = true;
    // The document whose save question the running load asked: its result replaces that
    // document only while it is open and unchanged since, whichever one is active by then.
    QPointer<MdiChild> loadTarget;
    bool loadTargetChanged = false;
    QMetaObject::Connection loadTargetWatch;

    QPointer<MdiChild> fullScreenDocument;
    QTimer *slideShowTimer = nullptr;

private:
    void stopLoading();
    // The document window to close next at exit, or null when none is left.
    QMdiSubWindow *openSubWindow() const;
};
