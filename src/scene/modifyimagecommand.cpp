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
    item->applyOperation(op);
    if (QGraphicsScene *scene = item->scene())
        scene->update();
}

void ModifyImageCommand::undo()
{
    item->undoLastOperation();
    if (QGraphicsScene *scene = item->scene())
        scene->update();
}
