#pragma once

#include "imagecommand.h"

#include <QRect>
#include <QRectF>
#include <optional>

// Fills a region of an image object with white: what a cut leaves behind.
class CutImageCommand : public ImageCommand
{
public:
    explicit CutImageCommand(const QRectF &rect) : rect(rect) {}
    void apply(ImageItem *item) override;

    // In page coordinates.
    QRectF rect;

private:
    // The region in the image's pixels, measured at the first apply, so that rebuilding
    // the image later whitens the same pixels wherever the object stands by then.
    std::optional<QRect> pixels;
};
