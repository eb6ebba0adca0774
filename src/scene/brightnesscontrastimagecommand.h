#pragma once

#include "imagecommand.h"

// Adjusts an image object's brightness and contrast; kept in the object's operation list
// so that undo can rebuild the pixels from the starting copy without it.
class BrightnessContrastImageCommand : public ImageCommand
{
public:
    BrightnessContrastImageCommand(int brightness, int contrast)
        : brightness(brightness), contrast(contrast)
    {}
    void apply(ImageItem *item) override;

    int brightness;
    int contrast;
};
