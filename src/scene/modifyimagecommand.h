#pragma once

#include "imagecommand.h"

#include <QUndoCommand>

class ImageItem;
class PageItem;

// Carries one operation on an image object: redo applies it, undo rebuilds the image
// without it.
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
};
