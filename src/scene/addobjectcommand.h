#pragma once

#include <QList>
#include <QUndoCommand>

class ObjectItem;
class PageItem;
class QGraphicsItem;

// Attaches an object to a page; while undone, the command owns the object.
class AddObjectCommand : public QUndoCommand
{
public:
    AddObjectCommand(PageItem *page, ObjectItem *object);
    ~AddObjectCommand() override;
    void redo() override;
    void undo() override;

private:
    PageItem *page;
    ObjectItem *object;
    QList<QGraphicsItem *> previousSelection;
    bool ownsObject = true;
};
