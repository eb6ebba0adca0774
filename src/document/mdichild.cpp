#include "mdichild.h"

#include "framework/lvtool.h"
#include "framework/lvtoolwatcher.h"
#include "framework/lvmainwindow.h"
#include "scene/addobjectcommand.h"
#include "scene/addpagecommand.h"
#include "scene/pageitem.h"
#include "scene/scene.h"
#include "scene/vrimageitem.h"
#include "scene/vrpageitem.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDebug>
#include <QFileDialog>
#include <QFileInfo>
#include <QImageReader>
#include <QImageWriter>
#include <QMenu>
#include <QMessageBox>
#include <QPainter>
#include <QUndoStack>

MdiChild::MdiChild(LVMainWindow *mainWindow) : LVMdiChild(mainWindow)
{
    auto *scene = new Scene(this, mainWindow);
    documentScene = scene;
    setScene(scene);
    isUntitled = false;
    connect(scene, &Scene::fullScreenClicked, this, &MdiChild::closeFullScreen);
    if (mainWindow)
        connect(undoStack(), &QUndoStack::cleanChanged, mainWindow, &LVMainWindow::updateMenus);
    connect(undoStack(), &QUndoStack::cleanChanged, this, &MdiChild::documentWasModified);
}

MdiChild::~MdiChild()
{
    // The stack dies with the scene, after this view: its last cleanChanged must reach
    // neither this half-destroyed view nor the main window, which would look at it.
    disconnect(undoStack(), &QUndoStack::cleanChanged, this, nullptr);
    if (mainWindow)
        disconnect(undoStack(), &QUndoStack::cleanChanged, mainWindow, nullptr);
}

Scene *MdiChild::imageScene() const
{
    return static_cast<Scene *>(documentScene);
}

bool MdiChild::fullScreenMode() const
{
    return mainWindow && mainWindow->programMode() == 8;
}

void MdiChild::newFile()
{
    addPage();
    undoStack()->clear();
}

void MdiChild::addPage()
{
    undoStack()->push(new AddPageCommand(documentScene, new VRPageItem));
}

void MdiChild::insertImage(const QImage &image)
{
    if (PageItem *page = documentScene->currentPage())
        undoStack()->push(new AddObjectCommand(page, new VRImageItem(image)));
}

void MdiChild::setImage(const QImage &image)
{
    PageItem *page = documentScene->currentPage();
    if (image.isNull() || !page)
        return;
    page->setPageRect(QRect(0, 0, image.width(), image.height()));
    documentScene->layoutPages();
    fitToWindow();
    // The status bar and the zoom box describe the new image if this is the document shown.
    if (mainWindow && mainWindow->currentMdiChild() == this)
        mainWindow->describeActiveDocument();
}

void MdiChild::fitToWindow()
{
    resetTransform();
    const QRectF rect = sceneRect();
    const QSize viewport = this->viewport()->size();
    if (rect.width() > viewport.width() || rect.height() > viewport.height())
        fitInView(rect, Qt::KeepAspectRatio);
    reportScale();
}

void MdiChild::reportScale()
{
    if (mainWindow)
        mainWindow->reportScale(this);
}

void MdiChild::documentWasModified()
{
    if (undoStack()->index() <= 0) {
        setWindowModified(false);
        setWindowTitle(curFile);
    } else {
        setWindowTitle(curFile + QStringLiteral("[*]"));
        setWindowModified(true);
    }
}

QString MdiChild::imagePatterns()
{
    QStringList patterns;
    const auto formats = QImageReader::supportedImageFormats();
    for (const QByteArray &format : formats)
        patterns << QStringLiteral("*.") + QString::fromLatin1(format);
    return patterns.join(QLatin1Char(' '));
}

QString MdiChild::imageFilter()
{
    return tr("All graphic files (%1);;All files (*.*)").arg(imagePatterns());
}

bool MdiChild::saveAs()
{
    const QString start = (mainWindow ? mainWindow->dirOpen : QString()) + QLatin1Char('/') + curFile;
    const QString fileName = QFileDialog::getSaveFileName(this, tr("Save As"), start, imageFilter());
    if (fileName.isEmpty())
        return false;
    filePath = fileName;
    curFile = QFileInfo(fileName).fileName();
    if (mainWindow)
        mainWindow->dirOpen = QFileInfo(fileName).absolutePath();
    return saveFile(fileName);
}

QImage MdiChild::renderPage()
{
    PageItem *page = documentScene->currentPage();
    if (!page)
        return QImage();
    const QSize size = page->rect.size();
    QImage image(size, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    // At scale 1 the image is drawn with its own pixels, not the reduced screen copy.
    const QTransform viewTransform = transform();
    resetTransform();
    // The page paints as plain white, and tools and the rubber band stay off the file.
    documentScene->printing = true;
    documentScene->render(&painter, QRectF(QPointF(), QSizeF(size)),
                          QRectF(QPointF(), QSizeF(size)), Qt::KeepAspectRatio);
    documentScene->printing = false;
    setTransform(viewTransform);
    painter.end();
    return image;
}

bool MdiChild::saveFile(const QString &fileName)
{
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const QImage image = renderPage();
    QImageWriter writer(fileName);
    const bool written = !image.isNull() && writer.write(image);
    QApplication::restoreOverrideCursor();
    if (!written) {
        QMessageBox::warning(this, tr("Vireon"),
                             tr("Cannot write file %1:\nError opening file for writing.")
                                     .arg(fileName),
                             QMessageBox::Ok);
        return false;
    }
    setCurrentFile(fileName);
    undoStack()->clear();
    emit fileSaved(fileName);
    return true;
}

void MdiChild::print()
{
    setWindowModified(false);
}

void MdiChild::saveToolState()
{
    if (!mainWindow)
        return;
    if (LVTool *tool = mainWindow->toolWatcher->currentTool()) {
        savedToolId = tool->id();
        savedToolState.reset(tool->saveState());
    }
}

bool MdiChild::event(QEvent *event)
{
    if (mainWindow && !fullScreenMode()) {
        LVToolWatcher *watcher = mainWindow->toolWatcher;
        if (event->type() == QEvent::FocusOut) {
            watcher->focusLost = true;
            watcher->lostName = curFile;
            mainWindow->lastDocument = this;
            saveToolState();
        } else if (event->type() == QEvent::FocusIn && watcher->focusLost
                   && watcher->lostName != curFile) {
            watcher->focusSwitched = true;
            watcher->switchedName = curFile;
            if (mainWindow->lastDocument != this && savedToolId != -1) {
                mainWindow->setProgramMode(savedToolId);
                if (LVTool *tool = watcher->currentTool())
                    tool->restoreState(savedToolState.get());
            }
        }
    }
    return LVMdiChild::event(event);
}

void MdiChild::keyPressEvent(QKeyEvent *event)
{
    if (!fullScreenMode()) {
        LVMdiChild::keyPressEvent(event);
        return;
    }
    switch (event->key()) {
    case Qt::Key_Left:
        emit previousImageRequested();
        break;
    case Qt::Key_Right:
        emit nextImageRequested();
        break;
    case Qt::Key_Space:
        emit slideShowRequested();
        break;
    case Qt::Key_Escape:
    case Qt::Key_F11:
        closeFullScreen();
        break;
    default:
        break;
    }
}

void MdiChild::contextMenuEvent(QContextMenuEvent *event)
{
    qDebug() << "MdiChild::contextMenuEvent";
    if (!fullScreenMode()) {
        LVMdiChild::contextMenuEvent(event);
        return;
    }
    QMenu menu(this);
    const auto add = [&](const QString &text, const QKeySequence &key, auto signalOrSlot) {
        auto *action = new QAction(text, this);
        action->setShortcut(key);
        connect(action, &QAction::triggered, this, signalOrSlot);
        menu.addAction(action);
    };
    add(tr("Start/Stop Slide Show"), Qt::Key_Space, &MdiChild::slideShowRequested);
    add(tr("Next Image"), Qt::Key_Right, &MdiChild::nextImageRequested);
    add(tr("Previous Image"), Qt::Key_Left, &MdiChild::previousImageRequested);
    add(tr("Exit"), Qt::Key_Escape, &MdiChild::closeFullScreen);
    menu.exec(event->globalPos());
    qDeleteAll(menu.actions());
}

void MdiChild::closeEvent(QCloseEvent *event)
{
    const bool leavingMainWindow = fullScreenMode() && !closingFromFullScreen;
    LVMdiChild::closeEvent(event);
    if (leavingMainWindow && event->isAccepted())
        emit closedInFullScreen();
}

void MdiChild::closeFullScreen()
{
    closingFromFullScreen = true;
    const QString file = filePath;
    close();
    emit fullScreenLeft(file);
}
