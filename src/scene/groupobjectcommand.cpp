#include "groupobjectcommand.h"

#include "objectitem.h"
#include "pageitem.h"

#include <QGraphicsScene>

GroupObjectCommand::GroupObjectCommand(PageItem *page, const QList<ObjectItem *> &members)
    : page(page), group(new ObjectItem), members(members)
{}

GroupObjectCommand::~GroupObjectCommand()
{
    if (ownsGroup)
        delete group;
}

void GroupObjectCommand::redo()
{
    before = placements(members);
    makeGroup(page, group, members, true);
    ownsGroup = false;
}

void GroupObjectCommand::undo()
{
    dissolveGroup(page, group, members);
    place(members, before);
    ownsGroup = true;
}

QVector<GroupObjectCommand::Placement>
GroupObjectCommand::placements(const QList<ObjectItem *> &members)
{
    QVector<Placement> result;
    result.reserve(members.size());
    for (ObjectItem *member : members)
        result.append({ member->pos(), member->transform() });
    return result;
}

void GroupObjectCommand::place(const QList<ObjectItem *> &members,
                               const QVector<Placement> &placements)
{
    for (int i = 0; i < members.size() && i < placements.size(); ++i) {
        members.at(i)->setTransform(placements.at(i).transform);
        members.at(i)->setPos(placements.at(i).pos);
    }
}

void GroupObjectCommand::makeGroup(PageItem *page, ObjectItem *group,
                                   const QList<ObjectItem *> &members, bool objectRects)
{
    page->attachObject(group);
    group->isGroup = true;
    QRectF bounds;
    for (int i = 0; i < members.size(); ++i) {
        ObjectItem *member = members.at(i);
        const QRectF local = objectRects ? member->rect : member->boundingRect();
        const QRectF mapped = member->mapRectToParent(local);
        bounds = i == 0 ? mapped : bounds.united(mapped);
    }
    for (ObjectItem *member : members) {
        group->addToGroup(member);
        member->group = group;
    }
    group->setRect(bounds);
    group->setFlags(QGraphicsItem::ItemIsMovable | QGraphicsItem::ItemIsSelectable
                    | QGraphicsItem::ItemIsFocusable);
    group->setSelected(true);
    for (ObjectItem *member : members)
        member->setSelected(false);
}

void GroupObjectCommand::dissolveGroup(PageItem *page, ObjectItem *group,
                                       const QList<ObjectItem *> &members)
{
    for (ObjectItem *member : members) {
        group->removeFromGroup(member);
        // removeFromGroup hands the member to the group's parent: the page.
        member->group = nullptr;
        member->setSelected(false);
    }
    page->detachObject(group);
    group->isGroup = false;
}
