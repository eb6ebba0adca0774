#pragma once

#include <QByteArray>
#include <QtGlobal>

class QIODevice;

// What the Exif block of JPEG data says about its picture: the orientation, and where the
// small JPEG preview that cameras embed (the second image directory) lies in the data.
// Reading never leaves the data nor the Exif segment; damaged or missing parts give the
// defaults: orientation 1, no preview.
struct ExifData
{
    // 1 to 8: how the stored picture must be mirrored and turned to stand upright.
    int orientation = 1;
    // Position and length of the embedded JPEG preview in the data; -1 and 0 when none.
    qint64 previewOffset = -1;
    qint64 previewLength = 0;

    bool hasPreview() const { return previewOffset >= 0 && previewLength > 0; }

    // Reads a seekable device, which is left where it was.
    static ExifData read(QIODevice *device);
    static ExifData read(const QByteArray &data);
};
