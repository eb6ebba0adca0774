#include "removeobjectcommand.h"

#include "objectitem.h"
#include "pageitem.h"

RemoveObjectCommand::RemoveObjectCommand(PageItem *page, ObjectItem *object)
    : page(page), object(object), previousSelection(page->selectedObjects())
{}

RemoveObjectCommand::~RemoveObjectCommand()
{
    if (ownsObject)
        delete object;
}

void RemoveObjectCommand::redo()
{
    page->detachObject(object);
    ownsObject = true;
    page->update();
}

void RemoveObjectCommand::undo()
{
    // Back on top of every other object of the page.
    page->attachObject(object);
    ownsObject = false;
    page->selectObjects(previousSelection);
    page->update();
}
