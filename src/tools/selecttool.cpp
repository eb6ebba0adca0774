#include "selecttool.h"

#include <QWidget>

SelectTool::SelectTool(QObject *parent) : LVTool(parent)
{
    usesRect = true;
}

QWidget *SelectTool::widget()
{
    return new QWidget;
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

void SelectTool::reset()
{
    resetRect();
}
