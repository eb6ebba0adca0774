#pragma once

#include "imageitem.h"

// The image object of an image document: measured and painted in pixels, always on
// whole pixel positions.
class VRImageItem : public ImageItem
{
public:
    explicit VRImageItem(const QImage &image = QImage(), QGraphicsItem *parent = nullptr);

    void updateGeometry() override;
    void paint(QPainter *painter, const QStyleOptionGraphicsItem *option,
               QWidget *widget = nullptr) override;

protected:
    void mouseMoveEvent(QGraphicsSceneMouseEvent *event) override;

private:
    QImage reducedCopy;
    qint64 reducedKey = 0;
};
