#include "ungroupobjectcommand.h"

#include "groupobjectcommand.h"
#include "objectitem.h"

UnGroupObjectCommand::UnGroupObjectCommand(PageItem *page, ObjectItem *group)
    : page(page), group(group)
{
    const auto children = group->childItems();
    for (QGraphicsItem *child : children) {
        if (auto *object = dynamic_cast<ObjectItem *>(child))
            members << object;
    }
}

UnGroupObjectCommand::~UnGroupObjectCommand()
{
    if (ownsGroup)
        delete group;
}

void UnGroupObjectCommand::redo()
{
    inGroup = GroupObjectCommand::placements(members);
    GroupObjectCommand::dissolveGroup(page, group, members);
    ownsGroup = true;
}

void UnGroupObjectCommand::undo()
{
    GroupObjectCommand::makeGroup(page, group, members, false);
    GroupObjectCommand::place(members, inGroup);
    ownsGroup = false;
}
