#include "vrpageitem.h"

#include <QPainter>

VRPageItem::VRPageItem(QGraphicsItem *parent) : PageItem(parent)
{
    prepareGeometryChange();
    rect = QRect();
}

void VRPageItem::paint(QPainter *painter, const QStyleOptionGraphicsItem *, QWidget *)
{
    if (printing()) {
        painter->fillRect(rect, Qt::white);
        return;
    }
    QPen framePen(Qt::gray, 0);
    painter->setPen(framePen);
    painter->setBrush(Qt::white);
    painter->drawRect(rect);
}
