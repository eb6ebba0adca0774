#include "selecttool.h"

#include "framework/lvmainwindow.h"
#include "framework/lvscene.h"
#include "scene/groupobjectcommand.h"
#include "scene/objectitem.h"
#include "scene/ungroupobjectcommand.h"

#include <QGridLayout>
#include <QPushButton>
#include <QUndoStack>
#include <QWidget>

SelectTool::SelectTool(QObject *parent) : LVTool(parent)
{
    usesRect = true;
}

QWidget *SelectTool::widget()
{
    auto *page = new QWidget;
    auto *layout = new QGridLayout(page);
    groupButton = new QPushButton(tr("Group"));
    ungroupButton = new QPushButton(tr("Ungroup"));
    layout->addWidget(groupButton, 0, 0);
    layout->addWidget(ungroupButton, 0, 1);
    layout->setRowStretch(1, 1);
    connect(groupButton, &QPushButton::clicked, this, &SelectTool::group);
    connect(ungroupButton, &QPushButton::clicked, this, &SelectTool::ungroup);
    return page;
}

QString SelectTool::title() const
{
    return tr("Select");
}

bool SelectTool::mousePressEvent(QGraphicsSceneMouseEvent *)
{
    return false;
}

void SelectTool::mouseMoveEvent(QGraphicsSceneMouseEvent *) {}

void SelectTool::mouseReleaseEvent(QGraphicsSceneMouseEvent *) {}

QList<ObjectItem *> SelectTool::selectedObjects() const
{
    LVScene *s = scene();
    return s ? s->selectedObjects() : QList<ObjectItem *>();
}

QRectF SelectTool::selectedRect() const
{
    QRectF bounds;
    for (ObjectItem *object : selectedObjects()) {
        const QRectF r = object->mapRectToParent(object->rect);
        if (bounds.width() == 0 && bounds.height() == 0)
            bounds = r;
        else
            bounds |= r;
    }
    return bounds;
}

void SelectTool::group()
{
    LVScene *s = scene();
    const QList<ObjectItem *> members = selectedObjects();
    if (!s || !s->activePage || members.size() < 2)
        return;
    s->undoStack()->push(new GroupObjectCommand(s->activePage, members));
    // The buttons change the selection without a scene event that would refresh the status bar.
    if (mainWindow)
        mainWindow->setSelectedRect();
}

void SelectTool::ungroup()
{
    LVScene *s = scene();
    QList<ObjectItem *> groups;
    for (ObjectItem *object : selectedObjects()) {
        if (object->isGroup)
            groups << object;
    }
    if (!s || !s->activePage || groups.isEmpty())
        return;
    QUndoStack *stack = s->undoStack();
    stack->beginMacro(QString());
    for (ObjectItem *group : qAsConst(groups))
        stack->push(new UnGroupObjectCommand(s->activePage, group));
    stack->endMacro();
    if (mainWindow)
        mainWindow->setSelectedRect();
}

void SelectTool::reset()
{
    resetRect();
}
