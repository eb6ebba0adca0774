#pragma once

#include <QByteArray>
#include <QImage>
#include <QString>

// Images made in code for tests: deterministic patterns, files, and JPEGs with an
// orientation recorded in their metadata.
class ImageFixtures
{
public:
    // A pattern in which every pixel differs from its neighbours, so turns and crops show.
    static QImage pattern(const QSize &size, QImage::Format format = QImage::Format_ARGB32);
    // Where pattern()'s corners show in an image of it, turned or mirrored: for its top-left,
    // top-right, bottom-left and bottom-right corners, the letter of the pattern's corner seen
    // there: a top-left, b top-right, c bottom-left, d bottom-right.
    static QString corners(const QImage &image);
    // Writes pattern(size) to path in the format its suffix names; false on failure.
    static bool writeImage(const QString &path, const QSize &size);
    // A JPEG whose Exif block records the given orientation (1 to 8), behind the leading
    // segments (right after the start-of-image marker when there are none).
    static QByteArray jpegWithOrientation(const QSize &size, int orientation, bool bigEndian = true,
                                          const QByteArray &leading = QByteArray());
    // A JPEG marker segment holding payload.
    static QByteArray jpegSegment(quint8 marker, const QByteArray &payload);
    // The APP2 segment of a colour profile, which many cameras write before their Exif block.
    static QByteArray iccProfileSegment();
    // Writes bytes to a file as they are; false on failure.
    static bool writeFile(const QString &path, const QByteArray &bytes);
    // Bytes that claim to be a PNG of the given size but hold no pixel data.
    static QByteArray pngHeaderClaiming(quint32 width, quint32 height, int bitDepth = 8);
    // A Windows icon file whose one entry holds these PNG bytes.
    static QByteArray icoHolding(const QByteArray &png);
    // A JPEG of the given size whose frame header then claims another one.
    static QByteArray jpegClaiming(const QSize &size, const QSize &claimed, int orientation);
};
