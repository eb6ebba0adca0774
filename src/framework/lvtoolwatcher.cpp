#include "lvtoolwatcher.h"

#include "lvmainwindow.h"
#include "lvtool.h"

LVToolWatcher::LVToolWatcher(QObject *parent)
    : QObject(parent), mainWindow(qobject_cast<LVMainWindow *>(parent))
{}

void LVToolWatcher::addTool(LVTool *tool)
{
    tools.insert(tool->id(), tool);
}

LVTool *LVToolWatcher::tool(int id) const
{
    return tools.value(id, nullptr);
}

LVTool *LVToolWatcher::currentTool() const
{
    return mainWindow ? tool(mainWindow->programMode()) : nullptr;
}

bool LVToolWatcher::mousePressEvent(QGraphicsSceneMouseEvent *event)
{
    LVTool *t = currentTool();
    return t && t->mousePressEvent(event);
}

bool LVToolWatcher::mouseMoveEvent(QGraphicsSceneMouseEvent *event)
{
    LVTool *t = currentTool();
    if (!t)
        return false;
    t->mouseMoveEvent(event);
    return true;
}

bool LVToolWatcher::mouseReleaseEvent(QGraphicsSceneMouseEvent *event)
{
    LVTool *t = currentTool();
    if (!t)
        return false;
    t->mouseReleaseEvent(event);
    return true;
}

bool LVToolWatcher::keyPressEvent(QKeyEvent *event)
{
    LVTool *t = currentTool();
    if (!t)
        return false;
    t->keyPressEvent(event);
    return true;
}

bool LVToolWatcher::drawForeground(QPainter *painter, const QRectF &rect)
{
    LVTool *t = currentTool();
    if (!t)
        return false;
    t->drawForeground(painter, rect);
    return true;
}

bool LVToolWatcher::hasRect() const
{
    LVTool *t = currentTool();
    return t && t->rectState == 2;
}

void LVToolWatcher::clearSwitch()
{
    if (focusSwitched && focusLost && switchedName != lostName) {
        focusSwitched = false;
        focusLost = false;
    }
}

void LVToolWatcher::toolPageChanged(int index)
{
    if (current) {
        if (focusSwitched && focusLost && switchedName != lostName) {
            // The user moved to another document, which restores its own tool state.
            focusSwitched = false;
            focusLost = false;
        } else {
            current->deactivate();
        }
    }
    for (LVTool *t : qAsConst(tools)) {
        if (t->pageIndex == index) {
            if (mainWindow)
                mainWindow->setProgramMode(t->id());
            t->reset();
            current = t;
            break;
        }
    }
}
