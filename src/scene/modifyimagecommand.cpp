#include "modifyimagecommand.h"

#include "imageitem.h"

#include <QGraphicsScene>

ModifyImageCommand::ModifyImageCommand(PageItem *page, ImageItem *item, ImageOperation operation)
    : page(page), item(item), op(std::move(operation))
{
    item->keepBaseImage();
}

void ModifyImageCommand::redo()
{
    // A later redo starts from exactly this state again, as undo restores it.
    if (!placeKept) {
        placeBefore = item->pos();
        transformBefore = item->transform();
        placeKept = true;
    }
    item->applyOperation(op);
    if (QGraphicsScene *scene = item->scene())
        scene->update();
}

void ModifyImageCommand::undo()
{
    item->undoLastOperation();
    item->setTransform(transformBefore);
    item->setPos(placeBefore);
    if (QGraphicsScene *scene = item->scene())
        scene->update();
}
