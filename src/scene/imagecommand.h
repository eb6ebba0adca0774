#pragma once

#include <memory>

class ImageItem;

// One operation on an image object, kept with its parameters in the object's operation
// list so that the image can be rebuilt from its starting copy. Shared between the undo
// command that carries it and the operation lists that hold it: it lives as long as
// either refers to it.
class ImageCommand
{
public:
    virtual ~ImageCommand() = default;

    virtual void revert(ImageItem *item);
    virtual void apply(ImageItem *item) = 0;

    bool reversible = false;
};

using ImageOperation = std::shared_ptr<ImageCommand>;
