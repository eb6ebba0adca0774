#include "lvmdichild.h"

#include "lvmainwindow.h"
#include "lvscene.h"
#include "lvtool.h"
#include "lvtoolwatcher.h"

#include "scene/addobjectcommand.h"
#include "scene/addpagecommand.h"
#include "scene/imageitem.h"
#include "scene/movepagecommand.h"
#include "scene/pageitem.h"
#include "scene/removepagecommand.h"

#include <QCloseEvent>
#include <QDataStream>
#include <QFile>
#include <QFileDialog>
#include <QSaveFile>
#include <QFileInfo>
#include <QMessageBox>
#include <QUndoStack>

LVMdiChild::LVMdiChild(LVMainWindow *mainWindow) : mainWindow(mainWindow)
{
    setWindowIcon(QIcon(QStringLiteral(":/images/document.ico")));
    setAttribute(Qt::WA_DeleteOnClose);
}

void LVMdiChild::newFile()
{
    static int sequenceNumber = 1;
    isUntitled = true;
    curFile = tr("form%1.tvf").arg(sequenceNumber++);
    addPage();
    if (QUndoStack *stack = undoStack())
        stack->clear();
}

bool LVMdiChild::save()
{
    return isUntitled ? saveAs() : saveFile(filePath);
}

bool LVMdiChild::loadFile(const QString &fileName)
{
    QFile file(fileName);
    if (!documentScene || !file.open(QIODevice::ReadOnly))
        return false;
    QDataStream in(&file);
    if (!documentScene->read(in))
        return false;
    setCurrentFile(fileName);
    undoStack()->clear();
    return true;
}

// Form documents only; the image document saves images instead.
bool LVMdiChild::saveAs()
{
    const QString fileName = QFileDialog::getSaveFileName(this, tr("Save As"), curFile,
                                                          tr("Forms (*.tvf)"));
    if (fileName.isEmpty())
        return false;
    return saveFile(fileName);
}

bool LVMdiChild::saveFile(const QString &fileName)
{
    if (!documentScene)
        return false;
    // Written aside and renamed over the old file only when complete.
    QSaveFile file(fileName);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    QDataStream out(&file);
    documentScene->write(out);
    if (out.status() != QDataStream::Ok || !file.commit())
        return false;
    setCurrentFile(fileName);
    undoStack()->clear();
    return true;
}

// Printing arrives with the page setup; nothing to print until then.
void LVMdiChild::print() {}

void LVMdiChild::printPreview() {}

void LVMdiChild::addPage()
{
    if (documentScene)
        undoStack()->push(new AddPageCommand(documentScene, new PageItem));
}

void LVMdiChild::deletePage()
{
    if (documentScene && documentScene->currentPage())
        undoStack()->push(new RemovePageCommand(documentScene, documentScene->currentPage()));
}

void LVMdiChild::movePageForward()
{
    if (documentScene && documentScene->currentPage())
        undoStack()->push(new MovePageCommand(documentScene, true));
}

void LVMdiChild::movePageBackward()
{
    if (documentScene && documentScene->currentPage())
        undoStack()->push(new MovePageCommand(documentScene, false));
}

void LVMdiChild::insertImage(const QImage &image)
{
    if (documentScene && documentScene->currentPage())
        undoStack()->push(new AddObjectCommand(documentScene->currentPage(), new ImageItem(image)));
}

void LVMdiChild::setCurrentFile(const QString &fileName)
{
    filePath = fileName;
    curFile = QFileInfo(fileName).fileName();
    if (mainWindow)
        mainWindow->dirOpen = QFileInfo(fileName).absolutePath();
    isUntitled = false;
}

QString LVMdiChild::userFriendlyCurrentFile() const
{
    return QFileInfo(curFile).fileName();
}

QUndoStack *LVMdiChild::undoStack() const
{
    return documentScene ? documentScene->undoStack() : nullptr;
}

bool LVMdiChild::maybeSave()
{
    QUndoStack *stack = undoStack();
    if (!stack || stack->index() < 1)
        return true;
    const auto answer = QMessageBox::warning(
            this, QString(),
            tr("'%1' has been modified.\nDo you want to save your changes?")
                    .arg(userFriendlyCurrentFile()),
            QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel, QMessageBox::NoButton);
    if (answer == QMessageBox::Save)
        return save();
    return answer == QMessageBox::Discard;
}

void LVMdiChild::closeEvent(QCloseEvent *event)
{
    if (mainWindow) {
        if (LVTool *tool = mainWindow->toolWatcher->currentTool())
            tool->deactivate();
    }
    if (maybeSave())
        event->accept();
    else
        event->ignore();
}

void LVMdiChild::contextMenuEvent(QContextMenuEvent *event)
{
    if (mainWindow)
        mainWindow->documentContextMenu(event);
}
