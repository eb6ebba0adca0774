#pragma once

#include "objectitem.h"

// A straight line of a form document, from the item's origin to its end point.
class LineItem : public ObjectItem
{
public:
    explicit LineItem(QGraphicsItem *parent = nullptr);

    int type() const override { return LineType; }
    void paint(QPainter *painter, const QStyleOptionGraphicsItem *option,
               QWidget *widget = nullptr) override;
    bool read(QDataStream &in, int version) override;
    void writeFields(QDataStream &out) const override;

    // Sets the end point and recomputes the rectangle from the line, normalised.
    void setEndPoint(const QPointF &point);

    QPointF endPoint;
};
