#include "imagefile.h"

#include <QBuffer>
#include <QImageReader>
#include <QTransform>

namespace {

// Reads the orientation tag's answer; every read is checked against the data.
class OrientationReader
{
public:
    explicit OrientationReader(const QByteArray &data) : data(data) {}

    int degrees()
    {
        const int size = data.size();
        if (size < 2 || quint8(data[0]) != 0xFF || quint8(data[1]) != 0xD8)
            return 0;
        int pos = 2;
        int app1 = -1;
        for (int markers = 0; markers < 5; ++markers) {
            while (pos < size - 100 && quint8(data[pos]) != 0xFF)
                ++pos;
            if (pos >= size - 100)
                return 0;
            if (quint8(data[pos + 1]) == 0xE1) {
                app1 = pos;
                break;
            }
            pos += 2;
        }
        if (app1 < 0)
            return 0;
        const qint64 tiff = qint64(app1) + 10;
        quint32 byteOrder = 0;
        if (!read32(tiff, true, &byteOrder))
            return 0;
        if (byteOrder == 0x002A4949)
            littleEndian = true;
        else if (byteOrder == 0x2A004D4D)
            littleEndian = false;
        else
            return 0;
        quint32 directory = 0;
        quint16 count = 0;
        if (!read32(tiff + 4, littleEndian, &directory)
            || !read16(tiff + directory, &count) || count < 1)
            return 0;
        for (quint32 i = 0; i < count; ++i) {
            const qint64 entry = tiff + directory + 2 + qint64(i) * 12;
            quint16 tag = 0;
            quint16 type = 0;
            quint32 value = 0;
            if (!read16(entry, &tag) || !read16(entry + 2, &type) || !read32(entry + 8, littleEndian, &value))
                return 0;
            if (tag == 0x0112 && type == 3) {
                switch (value) {
                case 3:
                case 0x30000:
                    return 180;
                case 6:
                case 0x60000:
                    return 90;
                case 8:
                case 0x80000:
                    return 270;
                default:
                    return 0;
                }
            }
        }
        return 0;
    }

private:
    bool inside(qint64 pos, int length) const
    {
        return pos >= 0 && pos + length <= data.size();
    }

    bool read16(qint64 pos, quint16 *value) const
    {
        if (!inside(pos, 2))
            return false;
        const auto *p = reinterpret_cast<const uchar *>(data.constData() + pos);
        *value = littleEndian ? quint16(p[0] | p[1] << 8) : quint16(p[0] << 8 | p[1]);
        return true;
    }

    bool read32(qint64 pos, bool little, quint32 *value) const
    {
        if (!inside(pos, 4))
            return false;
        const auto *p = reinterpret_cast<const uchar *>(data.constData() + pos);
        *value = little ? quint32(p[0]) | quint32(p[1]) << 8 | quint32(p[2]) << 16
                                  | quint32(p[3]) << 24
                        : quint32(p[0]) << 24 | quint32(p[1]) << 16 | quint32(p[2]) << 8
                                  | quint32(p[3]);
        return true;
    }

    const QByteArray &data;
    bool littleEndian = true;
};

} // namespace

int imageOrientation(const QByteArray &data)
{
    return OrientationReader(data).degrees();
}

void rotateImage(QImage &image, int degrees)
{
    const int quarters = degrees / 90;
    if (quarters == 0 || image.isNull())
        return;
    image = image.transformed(QTransform().rotate(quarters * 90), Qt::FastTransformation);
}

bool imageTooLarge(const QSize &size)
{
    constexpr qint64 limit = qint64(1) << 30;
    return qint64(size.width()) * qint64(size.height()) * 4 > limit;
}

QImage decodeImage(const QByteArray &data)
{
    QBuffer buffer;
    buffer.setData(data);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    // Decoding allocates what the header declares; ask first.
    if (!reader.canRead() || imageTooLarge(reader.size()))
        return QImage();
    return reader.read();
}
