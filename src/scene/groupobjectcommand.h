#pragma once

#include <QList>
#include <QPointF>
#include <QTransform>
#include <QUndoCommand>
#include <QVector>

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

    // Joining and leaving a group moves the translation of an object's transform into its
    // position. The picture is the same, but the position is what nudges and cuts work
    // from, so the reverse step puts back both exactly as they were.
    struct Placement
    {
        QPointF pos;
        QTransform transform;
    };
    static QVector<Placement> placements(const QList<ObjectItem *> &members);
    static void place(const QList<ObjectItem *> &members, const QVector<Placement> &placements);

private:
    PageItem *page;
    ObjectItem *group;
    QList<ObjectItem *> members;
    QVector<Placement> before;
    bool ownsGroup = true;
};
