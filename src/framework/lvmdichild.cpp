#include "lvmdichild.h"

#include "lvmainwindow.h"
#include "lvscene.h"
#include "lvtool.h"
#include "lvtoolwatcher.h"

#include <QCloseEvent>
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

// Form documents are saved with the document file format, which no action of the
// image program reaches; the image document replaces these.
bool LVMdiChild::saveAs()
{
    return false;
}

bool LVMdiChild::saveFile(const QString &)
{
    return false;
}

void LVMdiChild::print() {}

void LVMdiChild::printPreview() {}

void LVMdiChild::addPage() {}

void LVMdiChild::deletePage() {}

void LVMdiChild::movePageForward() {}

void LVMdiChild::movePageBackward() {}

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
