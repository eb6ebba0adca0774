#pragma once

#include "objectitem.h"

// A check box of a form document.
class CheckMarkItem : public ObjectItem
{
public:
    explicit CheckMarkItem(QGraphicsItem *parent = nullptr);

    int type() const override { return CheckMarkType; }
    void paint(QPainter *painter, const QStyleOptionGraphicsItem *option,
               QWidget *widget = nullptr) override;
    bool read(QDataStream &in, int version) override;
    void writeFields(QDataStream &out) const override;

    bool checked = false;
};
