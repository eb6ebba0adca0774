#include "pageitem.h"

#include <QPainter>

PageItem::PageItem(QGraphicsItem *parent) : QGraphicsItem(parent), pen(Qt::black)
{
    setFlag(QGraphicsItem::ItemClipsChildrenToShape);
}

QRectF PageItem::boundingRect() const
{
    return QRectF(rect);
}

void PageItem::paint(QPainter *painter, const QStyleOptionGraphicsItem *, QWidget *)
{
    painter->fillRect(rect, Qt::white);
    painter->setPen(pen);
    painter->drawRect(rect);
}
