#pragma once

#include <QGraphicsItem>
#include <QPen>

// One page of a document; the document's objects are its children.
class PageItem : public QGraphicsItem
{
public:
    explicit PageItem(QGraphicsItem *parent = nullptr);

    QRectF boundingRect() const override;
    void paint(QPainter *painter, const QStyleOptionGraphicsItem *option,
               QWidget *widget = nullptr) override;

    // The page area in item coordinates.
    QRect rect;
    QPen pen;
};
