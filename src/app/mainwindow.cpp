#include "mainwindow.h"

#include "browser/statusbar.h"
#include "browser/thumbnaillistmodel.h"
#include "browser/thumbnaillistview.h"
#include "browser/thumbnailpanel.h"
#include "browser/thumbnailsortfilterproxymodel.h"
#include "browser/treepanel.h"
#include "document/mdichild.h"
#include "platform/userfolders.h"
#include "framework/lvaboutdialog.h"
#include "framework/lvcombobox.h"
#include "framework/lvtool.h"
#include "framework/lvtoolwatcher.h"
#include "scene/pageitem.h"
#include "scene/scene.h"
#include "tools/brightnesscontrasttool.h"
#include "tools/copytool.h"
#include "tools/croptool.h"
#include "tools/rotatefliptool.h"
#include "tools/selecttool.h"
#include "tools/toolpanel.h"

#include <QAction>
#include <QApplication>
#include <QButtonGroup>
#include <QCloseEvent>
#include <QComboBox>
#include <QCoreApplication>
#include <QDebug>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QGuiApplication>
#include <QMenu>
#include <QToolBar>
#include <QToolButton>
#include <QTreeView>
#include <QFileInfo>
#include <QImageReader>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QScreen>
#include <QSettings>
#include <QStatusBar>
#include <QTimer>
#include <QUndoGroup>
#include <QUndoStack>
#include <QtConcurrent>

namespace {

// The slide show's pace, and the program mode of full screen (no tool is current in it).
constexpr int slideShowInterval = 3000;
constexpr int fullScreenMode = 8;

} // namespace

MainWindow::MainWindow(bool mdi) : LVMainWindow(mdi)
{
    readSettings();
    createActions();
    createMenus();
    createToolBars();
    createDockWindows();
    createProgramModeGroup();

    statusBar = new StatusBar;
    setStatusBar(statusBar);
    thumbnailPanel->view()->setStatusBar(statusBar);
    thumbnailPanel->model()->setStatusBar(statusBar);
    // The dock and tool bar layout of the last run; the stored flags decide what shows.
    restoreState(savedWindowState);
    mainToolBar->setVisible(mainToolsVisible);
    treePanel->setVisible(treePanelVisible);
    toolPanel->setVisible(toolPanelVisible);
    thumbnailPanel->setVisible(thumbnailPanelVisible);
    statusBar->setVisible(statusBarVisible);

    setProgramMode(mode);
    createViewMenuEntries();
    updateMenus();
    describeActiveDocument();
    updateWindowTitle();
    setUnifiedTitleAndToolBarOnMac(true);

    loadWatcher = std::make_unique<QFutureWatcher<ImageInfo>>();
    connect(loadWatcher.get(), &QFutureWatcher<ImageInfo>::resultReadyAt, this,
            &MainWindow::imageLoaded);
    connect(loadWatcher.get(), &QFutureWatcherBase::finished, this, &MainWindow::loadFinished);
    loadCancelled = true;

    slideShowTimer = new QTimer(this);
    connect(slideShowTimer, &QTimer::timeout, this, &MainWindow::showNextImage);

    // Copy, Paste and Delete also serve the thumbnail list while it has the focus.
    connect(qApp, &QApplication::focusChanged, this, &MainWindow::updateMenus);

    // The program starts showing the image that was current at the last exit.
    thumbnailPanel->view()->setCurrentFile(currentFile);
    statusBar->setTotal(thumbnailPanel->model()->count(), thumbnailPanel->model()->totalSize());
}

MainWindow::~MainWindow()
{
    // Focus moves while the widgets go; this window no longer follows it.
    disconnect(qApp, nullptr, this, nullptr);
    // Full-screen documents are top-level windows of their own, and one that was closed
    // waits for a deferred delete the event loop may never run: they go with this window,
    // which they point to.
    undoGroup->setActiveStack(nullptr);
    const auto windows = QApplication::topLevelWidgets();
    for (QWidget *widget : windows) {
        auto *doc = qobject_cast<MdiChild *>(widget);
        if (doc && doc->mainWindow == this)
            delete doc;
    }
    stopLoading();
    thumbnailPanel->model()->cancelThumbnails();
}

void MainWindow::stopLoading()
{
    loadCancelled = true;
    if (loadWatcher->isRunning()) {
        loadWatcher->cancel();
        loadWatcher->waitForFinished();
    }
    disconnect(loadTargetWatch);
    loadTarget.clear();
}

void MainWindow::readSettings()
{
    LVMainWindow::readSettings();
    QSettings settings;
    selectedFilterOpen = settings.value(QStringLiteral("selectedFilterOpen")).toString();
    if (selectedFilterOpen.isEmpty())
        selectedFilterOpen = openFilter();
    currentTreeFolder = settings.value(QStringLiteral("currentTreeFolder"), UserFolders::pictures())
                                .toString();
    mainToolsVisible = settings.value(QStringLiteral("mainToolsVisible"), true).toBool();
    treePanelVisible = settings.value(QStringLiteral("treePanelVisible"), true).toBool();
    toolPanelVisible = settings.value(QStringLiteral("toolPanelVisible"), true).toBool();
    thumbnailPanelVisible = settings.value(QStringLiteral("thumbnailPanelVisible"), true).toBool();
    statusBarVisible = settings.value(QStringLiteral("statusBarVisible"), true).toBool();
    currentFile = settings.value(QStringLiteral("currentFile")).toString();
    savedWindowState = settings.value(QStringLiteral("mainWindowState")).toByteArray();
    sortMode = settings.value(QStringLiteral("sortMode"), 1).toInt();
    sortOrder = settings.value(QStringLiteral("sortOrder"), 0).toInt();
}

void MainWindow::writeSettings()
{
    LVMainWindow::writeSettings();
    QSettings settings;
    settings.setValue(QStringLiteral("selectedFilterOpen"), selectedFilterOpen);
    settings.setValue(QStringLiteral("currentTreeFolder"), currentTreeFolder);
    settings.setValue(QStringLiteral("mainToolsVisible"), mainToolsVisible);
    settings.setValue(QStringLiteral("treePanelVisible"), treePanelVisible);
    settings.setValue(QStringLiteral("toolPanelVisible"), toolPanelVisible);
    settings.setValue(QStringLiteral("thumbnailPanelVisible"), thumbnailPanelVisible);
    settings.setValue(QStringLiteral("statusBarVisible"), statusBarVisible);
    const QModelIndex current = thumbnailPanel->view()->currentIndex();
    if (current.isValid())
        settings.setValue(QStringLiteral("currentFile"),
                          current.data(ThumbnailListModel::FilePathRole).toString());
    settings.setValue(QStringLiteral("mainWindowState"), savedWindowState);
    settings.setValue(QStringLiteral("sortMode"), thumbnailPanel->sortMode);
    settings.setValue(QStringLiteral("sortOrder"), thumbnailPanel->sortOrder);
}

void MainWindow::closeEvent(QCloseEvent *event)
{
    qDebug() << "MainWindow::closeEvent";
    // Full screen hides the docks; there the members keep what was saved when it began.
    if (programMode() != 8) {
        mainToolsVisible = !mainToolBar->isHidden();
        toolPanelVisible = !toolPanel->isHidden();
        treePanelVisible = !treePanel->isHidden();
        thumbnailPanelVisible = !thumbnailPanel->isHidden();
        statusBarVisible = !statusBar->isHidden();
        savedWindowState = saveState(0);
        geometry = saveGeometry();
    }
    // One by one, so that the first document whose save question is cancelled keeps the
    // program open and the documents after it untouched.
    while (QMdiSubWindow *window = openSubWindow()) {
        if (!window->close()) {
            event->ignore();
            return;
        }
    }
    thumbnailPanel->model()->cancelThumbnails();
    stopLoading();
    writeSettings();
    event->accept();
}

QMdiSubWindow *MainWindow::openSubWindow() const
{
    QMdiSubWindow *current = mdiArea->currentSubWindow();
    if (current && !current->isHidden())
        return current;
    // Without the focus the area may name no current window; a closed one is hidden at
    // once and deleted later.
    const auto windows = mdiArea->subWindowList(QMdiArea::ActivationHistoryOrder);
    for (auto it = windows.crbegin(); it != windows.crend(); ++it) {
        if (!(*it)->isHidden())
            return *it;
    }
    return nullptr;
}

void MainWindow::createDockWindows()
{
    treePanel = new TreePanel(tr("Tree"), this);
    treePanel->setObjectName(QStringLiteral("TreePanel"));
    addDockWidget(Qt::LeftDockWidgetArea, treePanel);

    thumbnailPanel = new ThumbnailPanel(tr("Thumbnails"), this);
    thumbnailPanel->setObjectName(QStringLiteral("ThumbnailPanel"));
    addDockWidget(Qt::BottomDockWidgetArea, thumbnailPanel);

    toolPanel = new ToolPanel(tr("Tools"), this);
    toolPanel->setObjectName(QStringLiteral("ToolPanel"));
    addDockWidget(Qt::RightDockWidgetArea, toolPanel);

    connect(treePanel->view()->selectionModel(), &QItemSelectionModel::currentChanged, this,
            &MainWindow::treeCurrentChanged);
    ThumbnailListView *view = thumbnailPanel->view();
    connect(view->selectionModel(), &QItemSelectionModel::currentChanged, this,
            &MainWindow::thumbnailsCurrentChanged);
    connect(view, &ThumbnailListView::openInNewWindow, this,
            [this](const QString &file) { loadImage(file); });
    treePanel->setCurrentFolder(currentTreeFolder);
}

void MainWindow::createViewMenuEntries()
{
    LVMainWindow::createViewMenuEntries();
    viewMenu->addAction(treePanel->toggleViewAction());
    viewMenu->addAction(thumbnailPanel->toggleAction());
    viewMenu->addAction(toolPanel->toggleViewAction());
    viewMenu->addAction(statusBar->toggleViewAction());
    thumbnailPanel->toggleAction()->setChecked(!thumbnailPanel->isHidden());
    statusBar->toggleViewAction()->setChecked(!statusBar->isHidden());

    ThumbnailListView *view = thumbnailPanel->view();
    QMenu *sortMenu = new QMenu(tr("Sort"), this);
    sortMenu->addActions(view->sortMenuActions());
    viewMenu->addSeparator();
    viewMenu->addMenu(sortMenu);
    view->setSorting(sortMode, sortOrder);

    auto *sortButton = new QToolButton;
    sortButton->setPopupMode(QToolButton::MenuButtonPopup);
    sortButton->setIcon(QIcon(QStringLiteral(":/images/sort.png")));
    sortButton->setToolTip(tr("Sort"));
    sortButton->setMenu(sortMenu);
    mainToolBar->addWidget(sortButton);
}

void MainWindow::updateMenus()
{
    LVMainWindow::updateMenus();
    // A region drawn with the copy tool is what Cut and Copy take, selected objects or not.
    LVTool *tool = toolWatcher->currentTool();
    if (tool && tool->id() == 10 && toolWatcher->hasRect()) {
        cutAct->setEnabled(true);
        copyAct->setEnabled(true);
    }
    if (thumbnailPanel && thumbnailPanel->view()->hasFocus()) {
        for (QAction *action : { copyAct, pasteAct, deleteAct })
            action->setEnabled(true);
        // Cut means nothing for files, and the document is not what the user is working on.
        cutAct->setEnabled(false);
    }
}

void MainWindow::describeActiveDocument()
{
    LVMainWindow::describeActiveDocument();
    if (!statusBar)
        return;
    auto *doc = qobject_cast<MdiChild *>(currentMdiChild());
    PageItem *page = doc ? doc->lvScene()->currentPage() : nullptr;
    if (page) {
        const QFileInfo file(doc->currentFilePath());
        statusBar->setImageSize(page->rect.size());
        statusBar->setDateTime(file.lastModified());
        statusBar->setFileSize(file.size());
    } else {
        statusBar->clearImage();
    }
    setSelectedRect();
}

void MainWindow::cut()
{
    if (!thumbnailPanel->view()->hasFocus())
        LVMainWindow::cut();
}

void MainWindow::copy()
{
    if (!thumbnailPanel->view()->copyIfFocused())
        LVMainWindow::copy();
}

void MainWindow::paste()
{
    if (!thumbnailPanel->view()->pasteIfFocused())
        LVMainWindow::paste();
}

void MainWindow::deleteObjects()
{
    if (!thumbnailPanel->view()->removeIfFocused())
        LVMainWindow::deleteObjects();
}

void MainWindow::treeCurrentChanged(const QModelIndex &index)
{
    currentTreeFolder = treePanel->model()->filePath(index);
    thumbnailPanel->setFolder(currentTreeFolder);
    if (statusBar) {
        statusBar->setTotal(thumbnailPanel->model()->count(), thumbnailPanel->model()->totalSize());
        statusBar->setSelected(0, 0);
    }
}

void MainWindow::thumbnailsCurrentChanged(const QModelIndex &current, const QModelIndex &previous)
{
    ThumbnailSortFilterProxyModel *proxy = thumbnailPanel->proxy();
    const QModelIndex source = proxy->mapToSource(current);
    const QModelIndex previousSource = proxy->mapToSource(previous);
    const QString file = source.data(ThumbnailListModel::FilePathRole).toString();
    // No file is current (the list was emptied): nothing to show, nothing to ask.
    if (file.isEmpty())
        return;
    MdiChild *doc = activeDocument();
    // The list came back to the file whose changes the document holds.
    if (doc && doc->isWindowModified() && doc->currentFilePath() == file)
        return;
    // Read before the save question: a re-listing while it is open replaces every index.
    const QString previousFile = previousSource.data(ThumbnailListModel::FilePathRole).toString();
    const bool ok = loadImage(file, false);
    if (!ok && doc && doc->isWindowModified() && doc->currentFilePath() == previousFile)
        thumbnailPanel->view()->restoreCurrentFile(previousFile);
}

void MainWindow::showPosition(const QPoint &scenePos)
{
    if (statusBar)
        statusBar->setPosition(scenePos);
}

void MainWindow::setSelectedRect()
{
    if (!statusBar)
        return;
    LVTool *tool = toolWatcher->currentTool();
    statusBar->setSelectionRect(tool ? tool->selectedRect() : QRectF());
    // Drawing or dropping a region changes what Cut and Copy can take.
    updateMenus();
}

void MainWindow::createActions()
{
    LVMainWindow::createActions();
    openAct->setText(tr("&Open in New Window..."));
    printAct = new QAction(tr("&Print..."), this);
    printAct->setShortcuts(QKeySequence::Print);
    connect(printAct, &QAction::triggered, this, &LVMainWindow::print);
    printPreviewAct = new QAction(tr("Print Pre&view..."), this);
    connect(printPreviewAct, &QAction::triggered, this, &LVMainWindow::printPreview);
}

void MainWindow::createProgramModeGroup()
{
    programModeGroup = new QButtonGroup(this);
    connect(programModeGroup, &QButtonGroup::idClicked, this, &MainWindow::programModeGroupClicked);
    toolPanel->setButtonGroup(programModeGroup);

    // The panel's buttons and pages follow this order.
    const auto add = [this](LVTool *tool, const char *icon) {
        tool->icon = QIcon(QLatin1String(icon));
        toolWatcher->addTool(tool);
        toolPanel->addTool(tool);
    };
    add(new SelectTool(this), ":/images/pointer.png");
    add(new CopyTool(this), ":/images/copyregion.png");
    add(new RotateFlipTool(this), ":/images/rotate_clockwise.png");
    add(new BrightnessContrastTool(this), ":/images/contrast.png");
    add(new CropTool(this), ":/images/crop.png");
}

void MainWindow::setProgramMode(int newMode)
{
    LVMainWindow::setProgramMode(newMode);
    if (toolPanel)
        toolPanel->showTool(mode);
}

void MainWindow::saveDocumentToolState()
{
    if (MdiChild *doc = activeDocument())
        doc->saveToolState();
}

void MainWindow::updateWindowTitle()
{
    setWindowTitle(QCoreApplication::applicationName());
}

void MainWindow::newFile()
{
    if (mdi)
        LVMainWindow::newFile();
    else
        showInNewWindow(new MainWindow(false));
}

LVMdiChild *MainWindow::createMdiChild()
{
    auto *child = new MdiChild(this);
    addMdiChild(child);
    connect(child, &MdiChild::fileSaved, thumbnailPanel->model(),
            &ThumbnailListModel::updateThumbnail);
    // A save changes the file's date and size.
    connect(child, &MdiChild::fileSaved, this, &MainWindow::describeActiveDocument);
    return child;
}

MdiChild *MainWindow::activeDocument() const
{
    return qobject_cast<MdiChild *>(activeMdiChild());
}

QString MainWindow::openFilter() const
{
    return tr("All graphic files (%1);;All files (*.*)").arg(MdiChild::imagePatterns());
}

void MainWindow::open()
{
    const QString file = QFileDialog::getOpenFileName(this, tr("Open"), dirOpen, openFilter(),
                                                      &selectedFilterOpen);
    if (!file.isEmpty())
        openFile(file);
}

void MainWindow::about()
{
    LVAboutDialog dialog(nullptr);
    dialog.name = QCoreApplication::applicationName();
    dialog.version = QCoreApplication::applicationVersion();
    dialog.pixmapPath = QStringLiteral(":/images/about.jpg");
    dialog.years = QStringLiteral("2024-2026");
    dialog.organisation = QCoreApplication::organizationName();
    dialog.setupDialog();
    dialog.move(pos() + QPoint((width() - dialog.width()) / 2, (height() - dialog.height()) / 2));
    dialog.exec();
}

void MainWindow::openFile(const QString &file)
{
    if (QMdiSubWindow *existing = findMdiChild(file))
        mdiArea->setActiveSubWindow(existing);
    else
        loadImage(file, true);
}

void MainWindow::selectFile(const QString &path)
{
    const QFileInfo info(path);
    qDebug() << "MainWindow::selectFile" << info.absoluteFilePath();
    treePanel->setCurrentFolder(info.absolutePath());
    thumbnailPanel->view()->setCurrentFile(info.absoluteFilePath());
}

bool MainWindow::loadImage(const QString &file, bool newWindow)
{
    stopLoading();
    MdiChild *doc = activeDocument();
    if (LVTool *tool = toolWatcher->currentTool())
        tool->deactivate();
    if (doc && !doc->maybeSave())
        return false;

    QStringList formats;
    const auto supported = QImageReader::supportedImageFormats();
    for (const QByteArray &format : supported)
        formats << QString::fromLatin1(format);
    if (!formats.contains(QFileInfo(file.toLower()).suffix()))
        return true;

    dirOpen = QFileInfo(file).absolutePath();
    if (!newWindow && doc) {
        loadTarget = doc;
        loadTargetChanged = false;
        loadTargetWatch = connect(doc->undoStack(), &QUndoStack::indexChanged, this,
                                  [this] { loadTargetChanged = true; });
    }
    loadWatcher->setFuture(QtConcurrent::run(loadImageFile, LoadInfo { file, newWindow }));
    loadCancelled = false;
    return true;
}

void MainWindow::imageLoaded(int i)
{
    if (loadCancelled)
        return;
    zoomBox->setCurrentIndex(-1);
    const ImageInfo info = loadWatcher->resultAt(i);
    const QImage &image = info.image;

    MdiChild *doc = loadTarget;
    disconnect(loadTargetWatch);
    // A closed window is hidden at once but deleted only later. The full-screen document
    // has no sub-window.
    const bool open = doc
            && (doc->subWindow ? !doc->subWindow->isHidden()
                               : doc == fullScreenDocument && doc->isVisible());
    const bool reuse = open && !loadTargetChanged;
    if (!reuse || info.newWindow) {
        doc = static_cast<MdiChild *>(createMdiChild());
        if (image.isNull()) {
            // Nothing to show: no empty window is left behind.
            doc->subWindow->close();
            return;
        }
        doc->newFile();
        doc->setCurrentFile(info.fileName);
        doc->showMaximized();
        doc->insertImage(image);
        doc->setImage(image);
        doc->undoStack()->clear();
    } else if (!image.isNull()) {
        // The user may have turned to another document meanwhile; the image comes to the
        // front as a new window would, fitted to the area and matching the list.
        if (doc->subWindow)
            mdiArea->setActiveSubWindow(doc->subWindow);
        doc->undoStack()->clear();
        if (PageItem *page = doc->lvScene()->currentPage())
            page->removeAllObjects();
        doc->setCurrentFile(info.fileName);
        doc->insertImage(image);
        doc->setImage(image);
        doc->undoStack()->clear();
    }
    qDebug() << "MainWindow::imageLoaded" << info.fileName;
    setSelectedRect();
}

LVMdiChild *MainWindow::activeMdiChild() const
{
    if (mode == fullScreenMode)
        return fullScreenDocument;
    return LVMainWindow::activeMdiChild();
}

void MainWindow::slideShow()
{
    if (slideShowTimer->isActive()) {
        slideShowTimer->stop();
        return;
    }
    slideShowTimer->start(slideShowInterval);
    // The first step comes at once, the next ones at the timer's pace.
    showNextImage();
}

void MainWindow::showNextImage()
{
    if (activeMdiChild())
        thumbnailPanel->view()->selectNextItem();
}

void MainWindow::nextImage()
{
    if (slideShowTimer->isActive())
        slideShow();
    showNextImage();
}

void MainWindow::previousImage()
{
    if (slideShowTimer->isActive())
        slideShow();
    if (activeMdiChild())
        thumbnailPanel->view()->selectPreviousItem();
}

void MainWindow::fullScreen()
{
    MdiChild *doc = activeDocument();
    if (!doc || fullScreenDocument)
        return;
    qDebug() << "MainWindow::fullScreen()" << doc->currentFilePath();
    QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    // Written at exit instead of the full-screen layout.
    savedWindowState = saveState(0);
    geometry = saveGeometry();

    auto *fsDoc = new MdiChild(this);
    qDebug() << "MainWindow::fullScreen() 1";
    connect(fsDoc, &MdiChild::slideShowRequested, this, &MainWindow::slideShow);
    connect(fsDoc, &MdiChild::nextImageRequested, this, &MainWindow::nextImage);
    connect(fsDoc, &MdiChild::previousImageRequested, this, &MainWindow::previousImage);
    connect(fsDoc, &MdiChild::fullScreenLeft, this, [this](const QString &file) {
        closeFullScreen();
        // The document in the area shows the image last shown full screen.
        loadImage(file, false);
    });
    connect(fsDoc, &MdiChild::closedInFullScreen, this, [this] {
        closeFullScreen();
        close();
    });
    fsDoc->setWindowModality(Qt::ApplicationModal);
    fsDoc->newFile();
    // Full screen on the monitor that holds this window, not on the primary one.
    fsDoc->setGeometry(screen()->geometry());
    fsDoc->show();
    fsDoc->setWindowState(fsDoc->windowState() | Qt::WindowFullScreen);
    setProgramMode(fullScreenMode);
    fullScreenDocument = fsDoc;
    updateMenus();

    QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    loadImage(doc->currentFilePath(), false);
    QGuiApplication::restoreOverrideCursor();
    QGuiApplication::restoreOverrideCursor();
}

void MainWindow::closeFullScreen()
{
    slideShowTimer->stop();
    // A step still loading was meant for the full-screen document, which is gone.
    stopLoading();
    fullScreenDocument = nullptr;
    setProgramMode(0);
    // The undo group turns back to the document in the area before the full-screen one is
    // deleted.
    updateMenus();
}

void MainWindow::programModeGroupClicked(int)
{
    setProgramMode(programModeGroup->checkedId());
    if (LVMdiChild *doc = activeMdiChild())
        doc->lvScene()->update(QRectF());
    updateMenus();
}

void MainWindow::resizeEvent(QResizeEvent *event)
{
    LVMainWindow::resizeEvent(event);
    qDebug() << "MainWindow::resizeEvent, windowState:" << windowState();
    if (MdiChild *doc = activeDocument())
        doc->fitToWindow();
}
