#include "checkmarkitem.h"

#include <QDataStream>
#include <QPainter>

CheckMarkItem::CheckMarkItem(QGraphicsItem *parent) : ObjectItem(parent)
{
    setRect(QRectF(0, 0, 16, 16));
}

void CheckMarkItem::paint(QPainter *painter, const QStyleOptionGraphicsItem *option,
                          QWidget *widget)
{
    painter->save();
    painter->setRenderHint(QPainter::Antialiasing);
    painter->setPen(pen);
    painter->setBrush(Qt::NoBrush);
    painter->drawRect(rect);
    if (checked) {
        const double w = rect.width();
        const double h = rect.height();
        const QPointF tick[] = { rect.topLeft() + QPointF(0.2 * w, 0.5 * h),
                                 rect.topLeft() + QPointF(0.4 * w, 0.75 * h),
                                 rect.topLeft() + QPointF(0.8 * w, 0.25 * h) };
        painter->drawPolyline(tick, 3);
    }
    painter->restore();
    ObjectItem::paint(painter, option, widget);
}

bool CheckMarkItem::read(QDataStream &in, int version)
{
    if (!ObjectItem::read(in, version))
        return false;
    bool state = false;
    in >> state;
    if (in.status() != QDataStream::Ok)
        return false;
    checked = state;
    update();
    return true;
}

void CheckMarkItem::writeFields(QDataStream &out) const
{
    out << checked;
}
