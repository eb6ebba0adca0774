#pragma once

#include "groupobjectcommand.h"

#include <QList>
#include <QUndoCommand>

class ObjectItem;
class PageItem;

// Dissolves a group into its members; while done, the command owns the empty group.
class UnGroupObjectCommand : public QUndoCommand
{
public:
    UnGroupObjectCommand(PageItem *page, ObjectItem *group);
    ~UnGroupObjectCommand() override;
    void redo() override;
    void undo() override;

private:
    PageItem *page;
    ObjectItem *group;
    QList<ObjectItem *> members;
    QVector<GroupObjectCommand::Placement> inGroup;
    bool ownsGroup = false;
};
