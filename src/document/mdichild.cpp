#include "mdichild.h"
#include "photometadata.h"

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
#include <QBuffer>
#include <QCloseEvent>
#include <QDebug>
#include <QFileDialog>
#include <QFileInfo>
#include <QImageReader>
#include <QImageWriter>
#include <QMenu>
#include <QMessageBox>
#include <QPainter>
#include <QPrinter>
#include <QPushButton>
#include <QSaveFile>
#include <QUndoStack>

namespace {

// Encodes first, so that nothing on disk is touched unless the image is ready; then writes
// aside and renames over the file. Returns the reason of a failure, empty on success.
// A JPEG keeps the metadata of the photo it came from, photoFile; that is best effort and
// never fails the save.
QString writeImageFile(const QImage &image, const QString &fileName, const QByteArray &format,
                       const QString &photoFile)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, format);
    const bool jpeg = MdiChild::isJpegFormat(format);
    if (jpeg)
        writer.setQuality(MdiChild::jpegQuality);
    if (image.isNull() || !writer.write(image))
        return writer.errorString();
    buffer.close();
    if (jpeg && !photoFile.isEmpty())
        PhotoMetadata::carryOver(photoFile, bytes, image);
    // A device or pipe behind the name (through a link, say) would be replaced by a file.
    const QFileInfo existing(fileName);
    if (existing.exists() && !existing.isFile())
        return MdiChild::tr("It is not a regular file.");
    QSaveFile file(fileName);
    if (!file.open(QIODevice::WriteOnly))
        return file.errorString();
    // A short write is no error to QFileDevice, and commit() misses an error in flushing
    // the last buffered bytes: both are checked here.
    if (file.write(bytes) != bytes.size() || !file.flush())
        return file.errorString();
    if (!file.commit())
        return file.errorString();
    return QString();
}

} // namespace

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
    // A crop or a turn changes the page's size.
    connect(undoStack(), &QUndoStack::indexChanged, this, &MdiChild::describeIfShown);
}

MdiChild::~MdiChild()
{
    // The stack dies with the scene, after this view: its last cleanChanged must reach
    // neither this half-destroyed view nor the main window, which would look at it.
    disconnect(undoStack(), &QUndoStack::cleanChanged, this, nullptr);
    disconnect(undoStack(), &QUndoStack::indexChanged, this, nullptr);
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
    // A new picture: its file is where a photo's metadata come from.
    photoFile = filePath;
    page->setPageRect(QRect(0, 0, image.width(), image.height()));
    documentScene->layoutPages();
    fitToWindow();
    describeIfShown();
}

void MdiChild::describeIfShown()
{
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

QByteArray MdiChild::writerFormat(const QString &fileName)
{
    const QByteArray suffix = QFileInfo(fileName).suffix().toLower().toLatin1();
    return QImageWriter::supportedImageFormats().contains(suffix) ? suffix : QByteArray();
}

bool MdiChild::isJpegFormat(const QByteArray &format)
{
    return format == "jpg" || format == "jpeg";
}

bool MdiChild::save()
{
    if (filePath.isEmpty())
        return saveAs();
    if (!writerFormat(filePath).isEmpty())
        return saveFile(filePath);
    // Qt reads this format but has no writer for it: the file stays as it is.
    const QFileInfo file(filePath);
    QMessageBox box(QMessageBox::Warning, tr("Vireon"),
                    tr("'%1' cannot be saved in its own format.\n"
                       "Do you want to save the image as PNG under another name?")
                            .arg(curFile),
                    QMessageBox::Save | QMessageBox::Cancel, this);
    box.button(QMessageBox::Save)->setText(tr("Save &As..."));
    if (box.exec() != QMessageBox::Save)
        return false;
    return saveAsFrom(file.absolutePath() + QLatin1Char('/') + file.completeBaseName()
                      + QStringLiteral(".png"));
}

bool MdiChild::saveAs()
{
    return saveAsFrom((mainWindow ? mainWindow->dirOpen : QString()) + QLatin1Char('/') + curFile);
}

bool MdiChild::saveAsFrom(const QString &proposedPath)
{
    const QString fileName
            = QFileDialog::getSaveFileName(this, tr("Save As"), proposedPath, imageFilter());
    // The document takes the new name only when the file is written (saveFile).
    return !fileName.isEmpty() && saveFile(fileName);
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
    const QByteArray format = writerFormat(fileName);
    if (format.isEmpty()) {
        QMessageBox::warning(this, tr("Vireon"),
                             tr("Cannot write file %1:\nError opening file for writing.")
                                     .arg(fileName),
                             QMessageBox::Ok);
        return false;
    }
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const QString error = writeImageFile(renderPage(), fileName, format, photoFile);
    QApplication::restoreOverrideCursor();
    if (!error.isEmpty()) {
        QMessageBox::warning(this, tr("Vireon"),
                             tr("Cannot write file %1:\n%2").arg(fileName, error), QMessageBox::Ok);
        return false;
    }
    setCurrentFile(fileName);
    // The JPEG written holds the metadata now; a PNG does not, so the photo stays the source.
    if (isJpegFormat(format))
        photoFile = fileName;
    undoStack()->clear();
    emit fileSaved(fileName);
    return true;
}

void MdiChild::setUpPrinter(QPrinter &printer)
{
    LVMdiChild::setUpPrinter(printer);
    const PageItem *page = documentScene->currentPage();
    const bool wide = page && page->rect.width() > page->rect.height();
    printer.setPageOrientation(wide ? QPageLayout::Landscape : QPageLayout::Portrait);
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
