#include "imagefile.h"

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

// Finds the Exif orientation by walking the JPEG segments by their lengths up to the start
// of scan. Every read goes through the device, which never hands out more than there is;
// reads inside the Exif block are further kept inside its segment.
class OrientationReader
{
public:
    explicit OrientationReader(QIODevice &device) : device(device) {}

    int orientation()
    {
        // Too short to hold a picture at all.
        if (device.size() < 100 || readAt(0, 2, device.size()) != QByteArrayLiteral("\xFF\xD8"))
            return 1;
        char c = 0;
        for (;;) {
            // Bytes between segments are skipped as decoders skip them; then fill bytes.
            do {
                if (!device.getChar(&c))
                    return 1;
            } while (quint8(c) != 0xFF);
            do {
                if (!device.getChar(&c))
                    return 1;
            } while (quint8(c) == 0xFF);
            const quint8 marker = quint8(c);
            if (marker == 0xDA || marker == 0xD9) // start of scan, end of image
                return 1;
            // A stuffed zero, and markers that stand alone without a length.
            if (marker == 0x00 || marker == 0x01 || (marker >= 0xD0 && marker <= 0xD8))
                continue;
            uchar length[2];
            if (device.read(reinterpret_cast<char *>(length), 2) != 2)
                return 1;
            const int payload = qFromBigEndian<quint16>(length) - 2;
            if (payload < 0)
                return 1;
            const qint64 start = device.pos();
            if (marker == 0xE1 && payload >= 6
                && device.peek(6) == QByteArray::fromRawData("Exif\0\0", 6))
                return exifOrientation(start + 6, start + payload);
            if (!device.seek(start + payload))
                return 1;
        }
    }

private:
    // The orientation entry of the first image directory of the TIFF block at tiff.
    int exifOrientation(qint64 tiff, qint64 end)
    {
        const QByteArray header = readAt(tiff, 8, end);
        if (header.startsWith(QByteArrayLiteral("II\x2A\x00")))
            littleEndian = true;
        else if (header.startsWith(QByteArrayLiteral("MM\x00\x2A")))
            littleEndian = false;
        else
            return 1;
        const qint64 directory = tiff + number32(header.constData() + 4);
        const QByteArray count = readAt(directory, 2, end);
        if (count.size() != 2)
            return 1;
        for (int i = 0; i < number16(count.constData()); ++i) {
            const QByteArray entry = readAt(directory + 2 + qint64(i) * 12, 12, end);
            if (entry.size() != 12)
                return 1;
            if (number16(entry.constData()) != 0x0112 || number16(entry.constData() + 2) != 3)
                continue;
            // A short sits at the start of its value field; some writers put it at the end.
            const quint32 field = number32(entry.constData() + 8);
            const quint32 value = field > 0xFFFF && (field & 0xFFFF) == 0 ? field >> 16 : field;
            return value >= 1 && value <= 8 ? int(value) : 1;
        }
        return 1;
    }

    // length bytes at pos, or fewer when they would reach past end or the data.
    QByteArray readAt(qint64 pos, int length, qint64 end)
    {
        if (pos < 0 || pos + length > end || !device.seek(pos))
            return QByteArray();
        return device.read(length);
    }

    quint16 number16(const char *p) const
    {
        return littleEndian ? qFromLittleEndian<quint16>(p) : qFromBigEndian<quint16>(p);
    }
    quint32 number32(const char *p) const
    {
        return littleEndian ? qFromLittleEndian<quint32>(p) : qFromBigEndian<quint32>(p);
    }

    QIODevice &device;
    bool littleEndian = true;
};

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
    if (!device || !device->isReadable() || device->isSequential())
        return 1;
    const qint64 pos = device->pos();
    const int orientation = OrientationReader(*device).orientation();
    device->seek(pos);
    return orientation;
}

int imageOrientation(const QByteArray &data)
{
    QBuffer buffer;
    buffer.setData(data);
    buffer.open(QIODevice::ReadOnly);
    return imageOrientation(&buffer);
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

ImageFile::~ImageFile() = default;

void ImageFile::prepare()
{
    exifOrientation = imageOrientation(device.get());
    // The format is recognised by content, whatever the name says.
    reader = std::make_unique<QImageReader>(device.get());
    reader->setAutoTransform(false);
    if (!reader->canRead())
        return;
    // Decoding allocates what the header declares, so the size must be known and fit
    // before anything is decoded; a format that learns it only while decoding is refused.
    const QSize size = reader->size().expandedTo(iconPictureSize());
    const QImage::Format format = reader->supportsOption(QImageIOHandler::ImageFormat)
            ? reader->imageFormat()
            : QImage::Format_Invalid;
    if (size.isEmpty() || imageTooLarge(size, format, exifOrientation))
        return;
    declaredSize = size;
}

// Icons and cursors report the size their directory records, at most 256 x 256, but a PNG
// in the first entry, the one decoded, is decoded at the size of its own header. Invalid
// for any other file.
QSize ImageFile::iconPictureSize() const
{
    const qint64 pos = device->pos();
    QSize size;
    if (device->seek(0)) {
        const QByteArray directory = device->read(22);
        if (directory.size() == 22
            && (directory.startsWith(QByteArrayLiteral("\0\0\1\0"))
                || directory.startsWith(QByteArrayLiteral("\0\0\2\0")))
            && qFromLittleEndian<quint16>(directory.constData() + 4) > 0) {
            const quint32 offset = qFromLittleEndian<quint32>(directory.constData() + 18);
            if (device->seek(offset)) {
                const QByteArray png = device->read(24);
                if (png.size() == 24 && png.startsWith(QByteArrayLiteral("\x89PNG\r\n\x1a\n")))
                    size = QSize(
                            int(qMin(qFromBigEndian<quint32>(png.constData() + 16), 1u << 30)),
                            int(qMin(qFromBigEndian<quint32>(png.constData() + 20), 1u << 30)));
            }
        }
    }
    device->seek(pos);
    return size;
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

QImage ImageFile::load(const QString &path)
{
    return ImageFile(path).read();
}
