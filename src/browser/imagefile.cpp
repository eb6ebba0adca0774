#include "imagefile.h"

#include "exifdata.h"

#include <QBuffer>
#include <QFile>
#include <QImageReader>
#include <QTransform>
#include <QtEndian>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr qint64 memoryBudget = qint64(1) << 30;
// Real encoders pack at most about 8,000 pixels into a byte (deflate with one-bit pixels);
// a large picture claimed by fewer bytes than that allows is mostly background that the
// decoder would fill in, at the cost of the whole picture's memory and time.
constexpr qint64 maxPixelsPerByte = 16384;
constexpr qint64 densityCheckedPixels = qint64(16) << 20;

bool mirrors(int orientation)
{
    return orientation == 2 || orientation == 4 || orientation == 5 || orientation == 7;
}

// Clockwise quarter turns after the mirroring.
int quarterTurns(int orientation)
{
    static const int turns[] = { 0, 0, 0, 2, 2, 3, 1, 1, 3 };
    return orientation >= 1 && orientation <= 8 ? turns[orientation] : 0;
}

// Opens only regular files, and without blocking: a pipe or a device that waits for a
// writer or never ends would hold the thread, and with it the window, forever.
std::unique_ptr<QFile> openRegularFile(const QString &path)
{
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return nullptr;
    auto file = std::make_unique<QFile>();
    struct stat status;
    if (::fstat(fd, &status) != 0 || !S_ISREG(status.st_mode)
        || !file->open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        return nullptr;
    }
    return file;
}

} // namespace

int imageOrientation(QIODevice *device)
{
    return ExifData::read(device).orientation;
}

int imageOrientation(const QByteArray &data)
{
    return ExifData::read(data).orientation;
}

void orientImage(QImage &image, int orientation)
{
    if (image.isNull())
        return;
    const int turns = quarterTurns(orientation);
    // Mirroring and half turns happen in place; only a quarter turn needs a second picture.
    if (turns % 2 == 0) {
        const bool horizontally = mirrors(orientation) != (turns == 2);
        if (horizontally || turns == 2)
            image = std::move(image).mirrored(horizontally, turns == 2);
        return;
    }
    if (mirrors(orientation))
        image = std::move(image).mirrored(true, false);
    image = image.transformed(QTransform().rotate(turns * 90), Qt::FastTransformation);
}

QSize orientedSize(const QSize &size, int orientation)
{
    return quarterTurns(orientation) % 2 ? size.transposed() : size;
}

bool imageTooLarge(const QSize &size, QImage::Format format, int orientation)
{
    const int bits = format == QImage::Format_Invalid
            ? 32
            : int(QImage::toPixelFormat(format).bitsPerPixel());
    qint64 bytesPerPixel = qMax(4, (bits + 7) / 8);
    // Standing a picture on its side makes a second one beside it.
    if (quarterTurns(orientation) % 2)
        bytesPerPixel *= 2;
    const qint64 pixels = qint64(qMax(0, size.width())) * qint64(qMax(0, size.height()));
    return pixels > memoryBudget / bytesPerPixel;
}

ImageFile::ImageFile(const QString &path)
{
    std::unique_ptr<QFile> file = openRegularFile(path);
    if (!file)
        return;
    const bool tooLarge = file->size() > maxFileSize;
    device = std::move(file);
    if (!tooLarge)
        prepare();
}

ImageFile::ImageFile(const QByteArray &data)
{
    auto buffer = std::make_unique<QBuffer>();
    buffer->setData(data);
    buffer->open(QIODevice::ReadOnly);
    device = std::move(buffer);
    if (data.size() <= maxFileSize)
        prepare();
}

ImageFile::~ImageFile() = default;

void ImageFile::prepare()
{
    const ExifData exif = ExifData::read(device.get());
    exifOrientation = exif.orientation;
    previewOffset = exif.previewOffset;
    previewLength = exif.previewLength;
    // The format is recognised by content, whatever the name says.
    reader = std::make_unique<QImageReader>(device.get());
    reader->setAutoTransform(false);
    if (!reader->canRead())
        return;
    // Decoding allocates what the header declares, so the size must be known and fit
    // before anything is decoded; a format that learns it only while decoding is refused.
    const QSize size = reader->size().expandedTo(iconPictureSize()).expandedTo(gifScreenSize());
    const QImage::Format format = reader->supportsOption(QImageIOHandler::ImageFormat)
            ? reader->imageFormat()
            : QImage::Format_Invalid;
    if (size.isEmpty() || imageTooLarge(size, format, exifOrientation))
        return;
    const qint64 pixels = qint64(size.width()) * size.height();
    if (pixels > densityCheckedPixels && pixels / maxPixelsPerByte > device->size())
        return;
    declaredSize = size;
}

// Icons and cursors report the size their directory records, at most 256 x 256, but a PNG
// in the first entry, the one decoded, is decoded at the size of its own header. Invalid
// for any other file.
QSize ImageFile::iconPictureSize() const
{
    const QByteArray directory = bytesAt(0, 22);
    if (!(directory.startsWith(QByteArrayLiteral("\0\0\1\0"))
          || directory.startsWith(QByteArrayLiteral("\0\0\2\0")))
        || qFromLittleEndian<quint16>(directory.constData() + 4) == 0)
        return QSize();
    const QByteArray png = bytesAt(qFromLittleEndian<quint32>(directory.constData() + 18), 24);
    if (!png.startsWith(QByteArrayLiteral("\x89PNG\r\n\x1a\n")))
        return QSize();
    return QSize(int(qMin(qFromBigEndian<quint32>(png.constData() + 16), 1u << 30)),
                 int(qMin(qFromBigEndian<quint32>(png.constData() + 20), 1u << 30)));
}

// GIFs report the size of their first frame but are decoded at the size of their logical
// screen, which their header records. Invalid for any other file.
QSize ImageFile::gifScreenSize() const
{
    const QByteArray header = bytesAt(0, 10);
    if (!header.startsWith(QByteArrayLiteral("GIF87a"))
        && !header.startsWith(QByteArrayLiteral("GIF89a")))
        return QSize();
    return QSize(qFromLittleEndian<quint16>(header.constData() + 6),
                 qFromLittleEndian<quint16>(header.constData() + 8));
}

// Exactly length bytes at offset, or none; the reader's position stays where it was.
QByteArray ImageFile::bytesAt(qint64 offset, qint64 length) const
{
    const qint64 pos = device->pos();
    QByteArray bytes;
    if (device->seek(offset))
        bytes = device->read(length);
    device->seek(pos);
    return bytes.size() == length ? bytes : QByteArray();
}

bool ImageFile::canScale() const
{
    return declaredSize.isValid() && reader->supportsOption(QImageIOHandler::ScaledSize);
}

QImage ImageFile::read(const QSize &scaledSize)
{
    if (!declaredSize.isValid())
        return QImage();
    if (scaledSize.isValid())
        reader->setScaledSize(scaledSize);
    QImage image = reader->read();
    orientImage(image, exifOrientation);
    return image;
}

QByteArray ImageFile::embeddedPreview()
{
    if (!device || previewOffset < 0 || previewLength <= 0)
        return QByteArray();
    // A preview is a JPEG of its own, and the data must hold all of it.
    const QByteArray bytes = bytesAt(previewOffset, previewLength);
    return bytes.startsWith(QByteArrayLiteral("\xFF\xD8")) ? bytes : QByteArray();
}

QImage ImageFile::load(const QString &path)
{
    return ImageFile(path).read();
}
