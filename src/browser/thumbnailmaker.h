#pragma once

#include "thumbnaillistmodel.h"

#include <QImage>
#include <QSize>
#include <QString>

// Makes the thumbnails of image files: the picture turned by its orientation, fitted into
// the thumbnail box over a light grey backdrop, decoding no more pixels than that needs.
// Uses nothing but its arguments, so any thread may call it.
class ThumbnailMaker
{
public:
    enum class Decoding {
        // Let the reader scale while decoding where it can (JPEG).
        Scaled,
        // Always decode every pixel; the reference the scaled way is measured against.
        Whole
    };

    static ThumbnailInfo make(const QString &path, Decoding decoding = Decoding::Scaled);

    // The size a picture of this size takes in the box: fitted, never enlarged.
    static QSize fittedSize(const QSize &size);
    // The image scaled to size (its fitted size by default) over the backdrop.
    static QImage compose(const QImage &image, const QSize &size);
    static QImage compose(const QImage &image) { return compose(image, fittedSize(image.size())); }
};
