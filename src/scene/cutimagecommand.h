#pragma once

#include "imagecommand.h"

#include <QRectF>

// Fills a region of an image object with white: what a cut leaves behind.
class CutImageCommand : public ImageCommand
{
public:
    explicit CutImageCommand(const QRectF &rect) : rect(rect) {}
    void apply(ImageItem *item) override;

    // In page coordinates.
    QRectF rect;
};
