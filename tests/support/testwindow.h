#pragma once

#include "app/mainwindow.h"
#include "document/mdichild.h"
#include "framework/lvscene.h"
#include "framework/lvtool.h"
#include "framework/lvtoolwatcher.h"
#include "tools/toolpanel.h"

#include <QApplication>
#include <QPushButton>
#include <QUndoStack>
#include <QtTest>

// The real main window, shown and active, with its protected parts in reach of the tests.
class TestWindow : public MainWindow
{
public:
    TestWindow() : MainWindow(true)
    {
        resize(1200, 900);
        show();
        QApplication::setActiveWindow(this);
    }
    using LVMainWindow::copyAct;
    using LVMainWindow::cutAct;
    using LVMainWindow::dirOpen;
    using LVMainWindow::mdiArea;
    using MainWindow::slideShowTimer;

    // A document showing the images, as a finished load leaves it: the first one selected.
    MdiChild *open(const QList<QImage> &images, const QString &name)
    {
        auto *doc = static_cast<MdiChild *>(createMdiChild());
        doc->newFile();
        doc->setCurrentFile(name);
        doc->showMaximized();
        for (const QImage &image : images)
            doc->insertImage(image);
        doc->setImage(images.first());
        doc->undoStack()->clear();
        doc->setFocus();
        return doc;
    }
    MdiChild *open(const QImage &image, const QString &name)
    {
        return open(QList<QImage> { image }, name);
    }
    LVTool *tool(int id) const { return toolWatcher->tool(id); }
    // A user's click on the tool's button in the dock.
    void clickTool(int id)
    {
        QTest::mouseClick(tools()->findChild<QPushButton *>(tool(id)->title()), Qt::LeftButton);
    }
};
