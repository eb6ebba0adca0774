#include "cutimagecommand.h"

#include "imageitem.h"

#include <QPainter>
#include <cmath>

void CutImageCommand::apply(ImageItem *item)
{
    if (!pixels) {
        // Through the object's place, turns and groups, so that the whitened pixels are
        // those shown inside the rectangle.
        const QRectF mapped = item->mapRectFromPage(rect);
        const auto round = [](double v) { return int(std::floor(v + 0.5)); };
        pixels = QRect(round(mapped.left()), round(mapped.top()), round(mapped.width()),
                       round(mapped.height()));
    }
    QImage image = item->currentImage();
    if (image.isNull())
        return;
    // A painter cannot draw on palette or one-bit images and would leave them unchanged.
    const QImage::Format format = image.format();
    if (format == QImage::Format_Indexed8 || format == QImage::Format_Mono
        || format == QImage::Format_MonoLSB)
        image = image.convertToFormat(QImage::Format_ARGB32);
    QPainter painter(&image);
    painter.fillRect(*pixels, Qt::white);
    painter.end();
    item->setImage(image);
}
