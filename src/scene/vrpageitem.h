#pragma once

#include "pageitem.h"

// The single page of an image document: the image's size, a plain white sheet.
class VRPageItem : public PageItem
{
public:
    explicit VRPageItem(QGraphicsItem *parent = nullptr);

    void paint(QPainter *painter, const QStyleOptionGraphicsItem *option,
               QWidget *widget = nullptr) override;
};
