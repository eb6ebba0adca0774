#include "mainwindow.h"

#include "document/mdichild.h"
#include "framework/lvcombobox.h"
#include "framework/lvtool.h"
#include "framework/lvtoolwatcher.h"
#include "scene/pageitem.h"
#include "scene/scene.h"

#include <QAction>
#include <QButtonGroup>
#include <QComboBox>
#include <QCoreApplication>
#include <QDebug>
#include <QFileDialog>
#include <QFileInfo>
#include <QImageReader>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QSettings>
#include <QStatusBar>
#include <QUndoStack>
#include <QtConcurrent>

MainWindow::MainWindow(bool mdi) : LVMainWindow(mdi)
{
    readSettings();
    createActions();
    createMenus();
    createToolBars();
    createDockWindows();
    createProgramModeGroup();
    setProgramMode(mode);
    createViewMenuEntries();
    updateMenus();
    updateWindowTitle();
    setUnifiedTitleAndToolBarOnMac(true);

    loadWatcher = std::make_unique<QFutureWatcher<ImageInfo>>();
    connect(loadWatcher.get(), &QFutureWatcher<ImageInfo>::resultReadyAt, this,
            &MainWindow::imageLoaded);
    loadCancelled = true;
}

MainWindow::~MainWindow()
{
    stopLoading();
}

void MainWindow::stopLoading()
{
    loadCancelled = true;
    if (loadWatcher->isRunning()) {
        loadWatcher->cancel();
        loadWatcher->waitForFinished();
    }
}

void MainWindow::readSettings()
{
    LVMainWindow::readSettings();
    QSettings settings;
    selectedFilterOpen = settings.value(QStringLiteral("selectedFilterOpen")).toString();
    if (selectedFilterOpen.isEmpty())
        selectedFilterOpen = openFilter();
}

void MainWindow::writeSettings()
{
    LVMainWindow::writeSettings();
    QSettings settings;
    settings.setValue(QStringLiteral("selectedFilterOpen"), selectedFilterOpen);
}

void MainWindow::createActions()
{
    LVMainWindow::createActions();
    openAct->setText(tr("&Open in New Window..."));
}

void MainWindow::createProgramModeGroup()
{
    programModeGroup = new QButtonGroup(this);
    connect(programModeGroup, &QButtonGroup::idClicked, this, &MainWindow::programModeGroupClicked);
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
    return child;
}

MdiChild *MainWindow::activeDocument() const
{
    return qobject_cast<MdiChild *>(activeMdiChild());
}

QString MainWindow::openFilter() const
{
    QStringList patterns;
    const auto formats = QImageReader::supportedImageFormats();
    for (const QByteArray &format : formats)
        patterns << QStringLiteral("*.") + QString::fromLatin1(format);
    return tr("All graphic files (%1);;All files (*.*)").arg(patterns.join(QLatin1Char(' ')));
}

void MainWindow::open()
{
    const QString file = QFileDialog::getOpenFileName(this, tr("Open"), dirOpen, openFilter(),
                                                      &selectedFilterOpen);
    if (!file.isEmpty())
        openFile(file);
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
    const QString absolute = QFileInfo(path).absoluteFilePath();
    qDebug() << "MainWindow::selectFile" << absolute;
    // Until the folder browser shows the file's folder, the file opens directly.
    if (QFileInfo(absolute).isFile())
        openFile(absolute);
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
    loadWatcher->setFuture(QtConcurrent::run(loadImageFile, LoadInfo{file, newWindow}));
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

    MdiChild *doc = activeDocument();
    if (!doc || info.newWindow) {
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
        doc->undoStack()->clear();
        if (PageItem *page = doc->lvScene()->currentPage())
            page->removeAllObjects();
        doc->setCurrentFile(info.fileName);
        doc->insertImage(image);
        doc->setImage(image);
        doc->undoStack()->clear();
    }
    setSelectedRect();
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
