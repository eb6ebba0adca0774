#include "moveobjectcommand.h"

#include "objectitem.h"
#include "pageitem.h"

MoveObjectCommand::MoveObjectCommand(PageItem *page, ObjectItem *object)
    : newPos(object->pos()), oldPos(object->rememberedPos), page(page), object(object)
{}

void MoveObjectCommand::redo()
{
    object->setPos(newPos);
    object->setSelected(true);
    page->update();
}

void MoveObjectCommand::undo()
{
    object->setPos(oldPos);
    page->update();
}
