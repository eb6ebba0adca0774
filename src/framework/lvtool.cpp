#include "lvtool.h"

#include "lvmainwindow.h"
#include "lvmdichild.h"

LVTool::LVTool(QObject *parent) : QObject(parent), mainWindow(qobject_cast<LVMainWindow *>(parent))
{}

QWidget *LVTool::widget()
{
    return nullptr;
}

void LVTool::clearPreview() {}

void LVTool::stop() {}

bool LVTool::mousePressEvent(QGraphicsSceneMouseEvent *)
{
    return false;
}

void LVTool::mouseMoveEvent(QGraphicsSceneMouseEvent *) {}

void LVTool::mouseReleaseEvent(QGraphicsSceneMouseEvent *) {}

void LVTool::keyPressEvent(QKeyEvent *) {}

void LVTool::drawForeground(QPainter *, const QRectF &) {}

void LVTool::deactivate()
{
    stop();
    reset();
}

LVTool *LVTool::saveState()
{
    return nullptr;
}

void LVTool::restoreState(LVTool *) {}

QRectF LVTool::selectedRect() const
{
    if (rectState == 2)
        return selectionRect;
    if (rectState == 1)
        return rubberRect;
    return QRectF();
}

bool LVTool::cutRegion()
{
    return false;
}

bool LVTool::copyRegion()
{
    return false;
}

LVScene *LVTool::scene() const
{
    if (!mainWindow)
        return nullptr;
    LVMdiChild *child = mainWindow->activeMdiChild();
    return child ? child->lvScene() : nullptr;
}

void LVTool::reset() {}
