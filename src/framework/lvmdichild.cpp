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
#include <QCoreApplication>
#include <QDataStream>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QPainter>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QProgressDialog>
#include <QSaveFile>
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
    const QString fileName
            = QFileDialog::getSaveFileName(this, tr("Save As"), curFile, tr("Forms (*.tvf)"));
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

void LVMdiChild::setUpPrinter(QPrinter &printer)
{
    printer.setPageSize(QPageSize(QPageSize::A4));
    printer.setPageMargins(QMarginsF(0, 0, 0, 0), QPageLayout::Point);
    const int count = documentScene ? documentScene->pages.size() : 0;
    if (count > 0)
        printer.setFromTo(1, count);
}

void LVMdiChild::print()
{
    QPrinter printer(QPrinter::HighResolution);
    setUpPrinter(printer);
    QPrintDialog dialog(&printer, this);
    if (printer.toPage() > 0)
        dialog.setMinMax(1, printer.toPage());
    if (dialog.exec() != QDialog::Accepted)
        return;
    printDocument(&printer);
}

void LVMdiChild::printPreview()
{
    QPrinter printer(QPrinter::HighResolution);
    setUpPrinter(printer);
    QPrintPreviewDialog dialog(&printer, this);
    connect(&dialog, &QPrintPreviewDialog::paintRequested, this, &LVMdiChild::printDocument);
    dialog.exec();
}

void LVMdiChild::printDocument(QPrinter *printer)
{
    const int count = documentScene ? documentScene->pages.size() : 0;
    // "All pages" leaves no range in the printer (the print dialog and the preview's print
    // button both do that).
    if (printer->fromPage() < 1 && printer->toPage() < 1 && count > 0)
        printer->setFromTo(1, count);
    const int first = printer->fromPage();
    const int last = printer->toPage();
    QPainter painter;
    if (!painter.begin(printer)) {
        const QString target = printer->outputFileName().isEmpty() ? printer->printerName()
                                                                   : printer->outputFileName();
        QMessageBox::warning(this, QCoreApplication::applicationName(),
                             tr("Cannot print to %1.").arg(target));
        return;
    }
    QProgressDialog progress(tr("Preparing pages..."), tr("&Cancel"), 0, count, this);
    progress.setWindowModality(Qt::ApplicationModal);
    progress.setWindowTitle(QCoreApplication::applicationName());
    progress.setMinimum(first - 1);
    progress.setMaximum(last);
    for (int p = first; p <= last; ++p) {
        if (p != first)
            printer->newPage();
        QCoreApplication::processEvents();
        if (progress.wasCanceled())
            break;
        if (p > 0) {
            printPage(printer, &painter, p - 1);
            progress.setValue(p);
        }
    }
    painter.end();
}

void LVMdiChild::printPage(QPrinter *printer, QPainter *painter, int page)
{
    if (!documentScene)
        return;
    painter->save();
    painter->setRenderHint(QPainter::Antialiasing, true);
    documentScene->printPage(printer, painter, page);
    painter->restore();
}

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
