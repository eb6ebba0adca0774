#include "transformobjectcommand.h"

#include "objectitem.h"

TransformObjectCommand::TransformObjectCommand(PageItem *page, ObjectItem *object)
    : page(page), object(object)
{}

void TransformObjectCommand::redo()
{
    set(newTransform);
}

void TransformObjectCommand::undo()
{
    set(oldTransform);
}

void TransformObjectCommand::set(const QTransform &transform)
{
    object->setTransform(transform);
    if (toggleMirrored)
        object->flipMirroredMark();
    else if (toggleQuarterTurn)
        object->flipQuarterTurnMark();
}
