#include "rectitem.h"

#include <QPainter>

RectItem::RectItem(QGraphicsItem *parent) : ObjectItem(parent) {}

void RectItem::paint(QPainter *painter, const QStyleOptionGraphicsItem *option, QWidget *widget)
{
    painter->save();
    painter->setPen(pen);
    painter->setBrush(Qt::NoBrush);
    painter->drawRect(rect);
    painter->restore();
    ObjectItem::paint(painter, option, widget);
}
