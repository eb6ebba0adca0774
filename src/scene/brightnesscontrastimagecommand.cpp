#include "brightnesscontrastimagecommand.h"

#include "imageitem.h"
#include "tools/brightnesscontrast.h"

void BrightnessContrastImageCommand::apply(ImageItem *item)
{
    item->setImage(BrightnessContrast::adjusted(item->currentImage(), brightness, contrast));
}
