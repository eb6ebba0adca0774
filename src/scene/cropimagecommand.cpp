#include "cropimagecommand.h"

#include "imageitem.h"

#include <cmath>

namespace {

int roundHalfUp(double v)
{
    return int(std::floor(v + 0.5));
}

} // namespace

void CropImageCommand::apply(ImageItem *item)
{
    if (!itemRect)
        itemRect = item->mapRectFromPage(QRectF(cropRect));
    const QRectF r = *itemRect;
    const QImage image = item->currentImage();
    const QRectF i = r.intersected(QRectF(image.rect()));
    offset = r.topLeft() - i.topLeft();
    item->setImage(image.copy(QRect(roundHalfUp(r.left()), roundHalfUp(r.top()),
                                    roundHalfUp(r.width()), roundHalfUp(r.height()))));
}
