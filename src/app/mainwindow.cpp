#include "mainwindow.h"

#include <QAction>
#include <QCoreApplication>
#include <QDebug>
#include <QFileInfo>

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
}

void MainWindow::newFile()
{
    if (mdi)
        LVMainWindow::newFile();
    else
        showInNewWindow(new MainWindow(false));
}

void MainWindow::createActions()
{
    LVMainWindow::createActions();
    openAct->setText(tr("&Open in New Window..."));
}

void MainWindow::updateWindowTitle()
{
    setWindowTitle(QCoreApplication::applicationName());
}

void MainWindow::selectFile(const QString &path)
{
    qDebug() << "MainWindow::selectFile" << QFileInfo(path).absoluteFilePath();
}
