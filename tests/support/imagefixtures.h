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
    // Writes pattern(size) to path in the format its suffix names; false on failure.
    static bool writeImage(const QString &path, const QSize &size);
    // A JPEG whose Exif block records the given orientation (1 to 8).
    static QByteArray jpegWithOrientation(const QSize &size, int orientation,
                                          bool bigEndian = true);
    // Writes bytes to a file as they are; false on failure.
    static bool writeFile(const QString &path, const QByteArray &bytes);
    // Bytes that claim to be an RGBA PNG of the given size and bits per channel but hold no
    // pixel data.
    static QByteArray pngHeaderClaiming(quint32 width, quint32 height, quint8 bitDepth = 8);
};
