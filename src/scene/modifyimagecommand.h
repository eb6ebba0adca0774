#pragma once

#include "imagecommand.h"

#include <QPointF>
#include <QTransform>
#include <QUndoCommand>

class ImageItem;
class PageItem;

// Carries one operation on an image object: redo applies it, undo rebuilds the image
// without it and puts the object back where it stood before the first redo.
class ModifyImageCommand : public QUndoCommand
{
public:
    ModifyImageCommand(PageItem *page, ImageItem *item, ImageOperation operation);
    void redo() override;
    void undo() override;

    ImageCommand *operation() const { return op.get(); }

private:
    PageItem *page;
    ImageItem *item;
    ImageOperation op;
    bool placeKept = false;
    QPointF placeBefore;
    QTransform transformBefore;
};
