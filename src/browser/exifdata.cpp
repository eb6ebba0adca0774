#include "exifdata.h"

#include <QBuffer>
#include <QtEndian>

namespace {

constexpr quint16 orientationTag = 0x0112;
constexpr quint16 compressionTag = 0x0103;
constexpr quint16 previewOffsetTag = 0x0201;
constexpr quint16 previewLengthTag = 0x0202;
constexpr quint16 typeShort = 3;
constexpr quint16 typeLong = 4;
constexpr quint16 jpegCompression = 6;

// Walks the JPEG segments by their lengths up to the start of scan. Every read goes
// through the device, which never hands out more than there is; reads inside the Exif
// block are further kept inside its segment.
class ExifReader
{
public:
    explicit ExifReader(QIODevice &device) : device(device) {}

    ExifData read()
    {
        // Too short to hold a picture at all.
        if (device.size() < 100 || readAt(0, 2, device.size()) != QByteArrayLiteral("\xFF\xD8"))
            return ExifData();
        char c = 0;
        for (;;) {
            // Bytes between segments are skipped as decoders skip them; then fill bytes.
            do {
                if (!device.getChar(&c))
                    return ExifData();
            } while (quint8(c) != 0xFF);
            do {
                if (!device.getChar(&c))
                    return ExifData();
            } while (quint8(c) == 0xFF);
            const quint8 marker = quint8(c);
            if (marker == 0xDA || marker == 0xD9) // start of scan, end of image
                return ExifData();
            // A stuffed zero, and markers that stand alone without a length.
            if (marker == 0x00 || marker == 0x01 || (marker >= 0xD0 && marker <= 0xD8))
                continue;
            uchar length[2];
            if (device.read(reinterpret_cast<char *>(length), 2) != 2)
                return ExifData();
            const int payload = qFromBigEndian<quint16>(length) - 2;
            if (payload < 0)
                return ExifData();
            const qint64 start = device.pos();
            if (marker == 0xE1 && payload >= 6
                && device.peek(6) == QByteArray::fromRawData("Exif\0\0", 6))
                return exif(start + 6, qMin(start + payload, device.size()));
            if (!device.seek(start + payload))
                return ExifData();
        }
    }

private:
    // The TIFF block at tiff, which ends at end: orientation from the first image
    // directory, the preview from the second.
    ExifData exif(qint64 tiff, qint64 end)
    {
        ExifData data;
        const QByteArray header = readAt(tiff, 8, end);
        if (header.startsWith(QByteArrayLiteral("II\x2A\x00")))
            littleEndian = true;
        else if (header.startsWith(QByteArrayLiteral("MM\x00\x2A")))
            littleEndian = false;
        else
            return data;
        const qint64 first = tiff + number32(header.constData() + 4);
        qint64 next = -1;
        bool found = false;
        directory(
                first, end,
                [&](quint16 tag, quint16 type, quint32 value) {
                    if (found || tag != orientationTag || type != typeShort)
                        return;
                    found = true;
                    data.orientation = value >= 1 && value <= 8 ? int(value) : 1;
                },
                &next);
        if (next <= 0)
            return data;

        qint64 offset = -1;
        qint64 length = 0;
        bool jpeg = true;
        const bool whole
                = directory(tiff + next, end, [&](quint16 tag, quint16 type, quint32 value) {
                      if (type != typeShort && type != typeLong)
                          return;
                      if (tag == previewOffsetTag)
                          offset = value;
                      else if (tag == previewLengthTag)
                          length = value;
                      else if (tag == compressionTag)
                          jpeg = value == jpegCompression;
                  });
        // The preview must lie wholly inside the segment, after the TIFF header.
        // A damaged directory is not trusted for where to read.
        if (whole && jpeg && offset >= 8 && length > 0 && tiff + offset + length <= end) {
            data.previewOffset = tiff + offset;
            data.previewLength = length;
        }
        return data;
    }

    // Calls entry(tag, type, value) for every entry of the directory at pos that lies inside
    // the segment; true when all of them do. next, when given, receives the offset of the
    // next directory, or -1 when there is none or it cannot be read.
    template <typename Entry>
    bool directory(qint64 pos, qint64 end, Entry entry, qint64 *next = nullptr)
    {
        if (next)
            *next = -1;
        const QByteArray count = readAt(pos, 2, end);
        if (count.size() != 2)
            return false;
        const int entries = number16(count.constData());
        // Entries up to the end of the segment count; the link behind them only when all fit.
        const qint64 fitting = qBound<qint64>(0, (end - pos - 2) / 12, entries);
        const QByteArray table = readAt(pos + 2, fitting * 12, end);
        const int complete = table.size() / 12;
        for (int i = 0; i < complete; ++i) {
            const char *p = table.constData() + i * 12;
            const quint16 type = number16(p + 2);
            quint32 value = number32(p + 8);
            // A short sits at the start of its value field; some writers put it at the end.
            if (type == typeShort && value > 0xFFFF && (value & 0xFFFF) == 0)
                value >>= 16;
            entry(number16(p), type, value);
        }
        if (next && complete == entries) {
            const QByteArray link = readAt(pos + 2 + qint64(entries) * 12, 4, end);
            if (link.size() == 4)
                *next = number32(link.constData());
        }
        return complete == entries;
    }

    // length bytes at pos, or fewer when they would reach past end or the data.
    QByteArray readAt(qint64 pos, qint64 length, qint64 end)
    {
        if (pos < 0 || length < 0 || pos + length > end || !device.seek(pos))
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

} // namespace

ExifData ExifData::read(QIODevice *device)
{
    if (!device || !device->isReadable() || device->isSequential())
        return ExifData();
    const qint64 pos = device->pos();
    const ExifData data = ExifReader(*device).read();
    device->seek(pos);
    return data;
}

ExifData ExifData::read(const QByteArray &data)
{
    QBuffer buffer;
    buffer.setData(data);
    buffer.open(QIODevice::ReadOnly);
    return read(&buffer);
}
