#pragma once

#include <QList>
#include <QUndoCommand>

class ObjectItem;
class PageItem;

// Gathers objects into a new group; while undone, the command owns the empty group.
class GroupObjectCommand : public QUndoCommand
{
public:
    GroupObjectCommand(PageItem *page, const QList<ObjectItem *> &members);
    ~GroupObjectCommand() override;
    void redo() override;
    void undo() override;

    ObjectItem *groupItem() const { return group; }

    // Shared with ungrouping. objectRects: bounds from the members' object rectangles,
    // otherwise from their bounding rectangles.
    static void makeGroup(PageItem *page, ObjectItem *group, const QList<ObjectItem *> &members,
                          bool objectRects);
    static void dissolveGroup(PageItem *page, ObjectItem *group,
                              const QList<ObjectItem *> &members);

private:
    PageItem *page;
    ObjectItem *group;
    QList<ObjectItem *> members;
    bool ownsGroup = true;
};
