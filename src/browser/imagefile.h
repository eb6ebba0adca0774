#pragma once

#include <QByteArray>
#include <QImage>
#include <QSize>
#include <QString>

#include <memory>

class QIODevice;
class QImageReader;

// The Exif orientation (1 to 8) of JPEG data: how the stored picture must be mirrored and
// turned to stand upright. 1 when there is none or the data is damaged. Never reads outside
// the data; a device is left where it was.
int imageOrientation(QIODevice *device);
int imageOrientation(const QByteArray &data);
// Stands a picture stored with the given Exif orientation upright: mirrored first where the
// orientation says so, then turned.
void orientImage(QImage &image, int orientation);
// The size of a picture of the stored size once it stands upright.
QSize orientedSize(const QSize &size, int orientation);
// True when a picture of this size, decoded to format (counted as at least 32-bit pixels)
// and stood upright from the given orientation, would need more than 1 GiB.
bool imageTooLarge(const QSize &size, QImage::Format format = QImage::Format_ARGB32,
                   int orientation = 1);

// An image file read the one safe way the loader, the thumbnails and Copy Image share: only
// regular files, opened without blocking, no larger than maxFileSize, read as far as the
// decoder needs; decoded only when its size is known before decoding and the picture, stood
// upright, fits the memory budget, and a large picture is held by enough bytes to be real.
// A small hostile file thus never makes us allocate gigabytes, and a pipe never holds a
// thread.
class ImageFile
{
public:
    static constexpr qint64 maxFileSize = qint64(1) << 30;

    explicit ImageFile(const QString &path);
    // Bytes held in memory, read the same way: what a file of these bytes would give.
    explicit ImageFile(const QByteArray &data);
    ~ImageFile();

    // False when the file is missing, unreadable or not a regular file.
    bool isOpen() const { return device != nullptr; }
    int orientation() const { return exifOrientation; }
    // The size of the stored picture, before it is stood upright; invalid when it is no
    // picture we can read, its size cannot be learned before decoding, or it is too large.
    QSize size() const { return declaredSize; }
    // True when the decoder can deliver fewer pixels than the picture has.
    bool canScale() const;
    // The picture, decoded at scaledSize (in stored orientation) when that is valid, stood
    // upright; null when refused or undecodable. Reads once.
    QImage read(const QSize &scaledSize = QSize());

    // The JPEG preview a camera embedded in the file's Exif block, as stored (not upright);
    // empty when there is none or it is damaged.
    QByteArray embeddedPreview();

    // The upright picture of a file, or a null image.
    static QImage load(const QString &path);

private:
    void prepare();
    QSize iconPictureSize() const;
    QSize gifScreenSize() const;
    QByteArray bytesAt(qint64 offset, qint64 length) const;

    std::unique_ptr<QIODevice> device;
    std::unique_ptr<QImageReader> reader;
    int exifOrientation = 1;
    qint64 previewOffset = -1;
    qint64 previewLength = 0;
    QSize declaredSize;
};
