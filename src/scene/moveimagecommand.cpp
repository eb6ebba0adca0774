#include "moveimagecommand.h"

#include "imageitem.h"

void MoveImageCommand::apply(ImageItem *item)
{
    item->setPos(pos);
}
