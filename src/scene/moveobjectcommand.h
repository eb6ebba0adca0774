#pragma once

#include <QPointF>
#include <QUndoCommand>

class ObjectItem;
class PageItem;

// An object moved by the mouse: from the position remembered at the press to where it is.
class MoveObjectCommand : public QUndoCommand
{
public:
    MoveObjectCommand(PageItem *page, ObjectItem *object);
    void redo() override;
    void undo() override;

    QPointF newPos;
    QPointF oldPos;

private:
    PageItem *page;
    ObjectItem *object;
};
