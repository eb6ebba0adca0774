#pragma once

#include <QList>
#include <QUndoCommand>

class ObjectItem;
class PageItem;
class QGraphicsItem;

// Detaches an object from its page; while done, the command owns the object.
class RemoveObjectCommand : public QUndoCommand
{
public:
    RemoveObjectCommand(PageItem *page, ObjectItem *object);
    ~RemoveObjectCommand() override;
    void redo() override;
    void undo() override;

private:
    PageItem *page;
    ObjectItem *object;
    QList<QGraphicsItem *> previousSelection;
    bool ownsObject = false;
};
