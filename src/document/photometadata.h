#pragma once

#include <QByteArray>
#include <QImage>
#include <QString>

// What a camera photo carries besides its pixels (Exif, IPTC, XMP, colour profile), carried
// from the JPEG a document came from into the JPEG it is saved as, so that an edit keeps the
// camera, date taken, place and copyright. The saved pixels already stand upright, so the
// copy says so; sizes and the embedded preview follow the new pixels.
class PhotoMetadata
{
public:
    // Puts the metadata of the JPEG file sourcePath into jpeg, the encoded bytes of image.
    // Returns true when it did; false, with jpeg as it was, when the source is no regular
    // JPEG file, carries nothing, or the metadata cannot be read or written (one debug line).
    // Never throws, never blocks on a pipe, never touches the source.
    static bool carryOver(const QString &sourcePath, QByteArray &jpeg, const QImage &image);
};
