#include "lineitem.h"

#include <QDataStream>
#include <QPainter>
#include <cmath>

LineItem::LineItem(QGraphicsItem *parent) : ObjectItem(parent) {}

void LineItem::paint(QPainter *painter, const QStyleOptionGraphicsItem *option, QWidget *widget)
{
    painter->save();
    painter->setRenderHint(QPainter::Antialiasing);
    painter->setPen(pen);
    painter->drawLine(QPointF(0, 0), endPoint);
    painter->restore();
    ObjectItem::paint(painter, option, widget);
}

bool LineItem::read(QDataStream &in, int version)
{
    if (!ObjectItem::read(in, version))
        return false;
    QPointF point;
    in >> point;
    if (in.status() != QDataStream::Ok)
        return false;
    if (!std::isfinite(point.x()) || !std::isfinite(point.y())) {
        in.setStatus(QDataStream::ReadCorruptData);
        return false;
    }
    setEndPoint(point);
    return true;
}

void LineItem::writeFields(QDataStream &out) const
{
    out << endPoint;
}

void LineItem::setEndPoint(const QPointF &point)
{
    endPoint = point;
    setRect(QRectF(QPointF(0, 0), point).normalized());
}
