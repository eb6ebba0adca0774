#pragma once

#include "objectitem.h"

// A rectangle of a form document.
class RectItem : public ObjectItem
{
public:
    explicit RectItem(QGraphicsItem *parent = nullptr);

    int type() const override { return RectType; }
    void paint(QPainter *painter, const QStyleOptionGraphicsItem *option,
               QWidget *widget = nullptr) override;
};
