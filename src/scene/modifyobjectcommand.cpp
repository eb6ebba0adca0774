#include "modifyobjectcommand.h"

#include "objectitem.h"

#include <QGraphicsScene>

ModifyObjectCommand::ModifyObjectCommand(ObjectItem *object, const QVariant &oldState,
                                         const QVariant &newState, int propertyId)
    : object(object), oldState(oldState), newState(newState), propertyId(propertyId)
{}

void ModifyObjectCommand::redo()
{
    object->setProperty(propertyId, newState);
    if (QGraphicsScene *scene = object->scene())
        scene->update();
}

void ModifyObjectCommand::undo()
{
    object->setProperty(propertyId, oldState);
    if (QGraphicsScene *scene = object->scene())
        scene->update();
}
