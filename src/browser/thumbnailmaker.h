#pragma once

#include "thumbnaillistmodel.h"

#include <QImage>
#include <QSize>
#include <QString>

class ImageFile;

// Makes the thumbnails of image files: the picture turned by its orientation, fitted into
// the thumbnail box over a light grey backdrop. Takes it from the desktop's shared thumbnail
// cache where that holds a valid one, else from the preview a camera embedded in the file,
// else decodes no more pixels than the box needs; what it made goes into the cache.
// Uses nothing but its arguments and the files, so any thread may call it.
class ThumbnailMaker
{
public:
    enum class Decoding {
        // Let the reader scale while decoding where it can (JPEG).
        Scaled,
        // Always decode every pixel; the reference the scaled way is measured against.
        Whole
    };

    static ThumbnailInfo make(const QString &path);
    // Decodes the file itself, passing by the cache and any embedded preview.
    static ThumbnailInfo decode(const QString &path, Decoding decoding = Decoding::Scaled);

    // The size a picture of this size takes in the box: fitted, never enlarged.
    static QSize fittedSize(const QSize &size);
    // The image scaled to size (its fitted size by default) over the backdrop.
    static QImage compose(const QImage &image, const QSize &size);
    static QImage compose(const QImage &image) { return compose(image, fittedSize(image.size())); }

private:
    // The thumbnail of an opened file; picture receives the upright picture it was made
    // from (a preview or the decoded file), at least as large as the thumbnail.
    static ThumbnailInfo fromFile(ImageFile &file, const QString &path, Decoding decoding,
                                  bool usePreview, QImage *picture);
};
