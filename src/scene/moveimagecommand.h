#pragma once

#include "imagecommand.h"

#include <QPointF>

// Puts an image object at a position.
class MoveImageCommand : public ImageCommand
{
public:
    explicit MoveImageCommand(const QPointF &pos) : pos(pos) {}
    void apply(ImageItem *item) override;

    QPointF pos;
};
