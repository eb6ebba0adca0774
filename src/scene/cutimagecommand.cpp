#include "cutimagecommand.h"

#include "imageitem.h"

#include <QPainter>
#include <cmath>

void CutImageCommand::apply(ImageItem *item)
{
    if (!pixels) {
        const QRectF moved = rect.translated(-item->pos());
        const auto round = [](double v) { return int(std::floor(v + 0.5)); };
        pixels = QRect(round(moved.left()), round(moved.top()), round(moved.width()),
                       round(moved.height()));
    }
    QImage image = item->currentImage();
    if (image.isNull())
        return;
    QPainter painter(&image);
    painter.fillRect(*pixels, Qt::white);
    painter.end();
    item->setImage(image);
}
