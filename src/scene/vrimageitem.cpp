#include "vrimageitem.h"

#include <QGraphicsSceneMouseEvent>
#include <QPainter>
#include <cmath>

VRImageItem::VRImageItem(const QImage &image, QGraphicsItem *parent) : ImageItem(image, parent)
{
    updateGeometry();
}

void VRImageItem::updateGeometry()
{
    setRect(QRectF(0, 0, image.width(), image.height()));
}

void VRImageItem::paint(QPainter *painter, const QStyleOptionGraphicsItem *, QWidget *)
{
    const QImage &picture = preview ? *preview : image;
    if (picture.isNull())
        return;
    painter->setRenderHint(QPainter::Antialiasing);
    const QRectF target(0, 0, picture.width(), picture.height());
    const double s = viewScale();
    // The printer gets every pixel; it prints far finer than the screen shows.
    if (s >= 2 || scenePrinting()) {
        painter->drawImage(target, picture);
    } else {
        // Below 200 % a smoothly reduced copy looks better than sampled pixels.
        const QSize reduced(qMax(1, qRound(picture.width() * s)),
                            qMax(1, qRound(picture.height() * s)));
        // Reducing a large picture takes long; repaints at the same scale reuse it.
        if (reducedKey != picture.cacheKey() || reducedCopy.size() != reduced) {
            reducedCopy = picture.scaled(reduced, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
            reducedKey = picture.cacheKey();
        }
        painter->drawImage(target, reducedCopy);
    }
    if (!scenePrinting() && programMode() != 8 && isSelected())
        paintSelection(painter, target);
}

void VRImageItem::mouseMoveEvent(QGraphicsSceneMouseEvent *event)
{
    ImageItem::mouseMoveEvent(event);
    // Images sit on whole pixels.
    if (event->buttons() & Qt::LeftButton)
        setPos(std::floor(x() + 0.5), std::floor(y() + 0.5));
}
