#include "addobjectcommand.h"

#include "objectitem.h"
#include "pageitem.h"

#include <QGraphicsScene>

AddObjectCommand::AddObjectCommand(PageItem *page, ObjectItem *object)
    : page(page), object(object), previousSelection(page->selectedObjects())
{}

AddObjectCommand::~AddObjectCommand()
{
    if (ownsObject)
        delete object;
}

void AddObjectCommand::redo()
{
    if (QGraphicsScene *scene = page->scene())
        scene->clearSelection();
    page->attachObject(object);
    ownsObject = false;
    object->setSelected(true);
    object->setFocus();
    page->update();
}

void AddObjectCommand::undo()
{
    page->detachObject(object);
    ownsObject = true;
    page->selectObjects(previousSelection);
    page->update();
}
