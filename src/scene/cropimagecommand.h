#pragma once

#include "imagecommand.h"

#include <QPointF>
#include <QRect>
#include <optional>

// Cuts an image object down to a rectangle of the page.
class CropImageCommand : public ImageCommand
{
public:
    explicit CropImageCommand(const QRect &cropRect) : cropRect(cropRect) {}
    void apply(ImageItem *item) override;

    // How far the crop reached beyond the image's top-left corner; written by apply.
    QPointF offset;
    // In page coordinates.
    QRect cropRect;

private:
    // The rectangle in the image's own coordinates, measured at the first apply. Rebuilding
    // the image later replays the same cut, whatever turned or moved the object since.
    std::optional<QRectF> itemRect;
};
