#include "imagefixtures.h"

#include <QBuffer>
#include <QDataStream>
#include <QFile>
#include <QtEndian>

namespace {

// PNG chunk checksum (CRC-32, polynomial 0xEDB88320).
quint32 crc32Of(const QByteArray &data)
{
    quint32 crc = 0xffffffffu;
    for (char c : data) {
        crc ^= quint8(c);
        for (int k = 0; k < 8; ++k)
            crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
    }
    return crc ^ 0xffffffffu;
}

QByteArray pngChunk(const char *type, const QByteArray &data)
{
    char length[4];
    qToBigEndian(quint32(data.size()), length);
    const QByteArray body = QByteArray(type, 4) + data;
    char crc[4];
    qToBigEndian(crc32Of(body), crc);
    return QByteArray(length, 4) + body + QByteArray(crc, 4);
}

} // namespace

QImage ImageFixtures::pattern(const QSize &size, QImage::Format format)
{
    QImage image(size, QImage::Format_ARGB32);
    for (int y = 0; y < size.height(); ++y) {
        auto *line = reinterpret_cast<QRgb *>(image.scanLine(y));
        for (int x = 0; x < size.width(); ++x)
            line[x] = qRgb((x * 255) / qMax(1, size.width() - 1),
                           (y * 255) / qMax(1, size.height() - 1), ((x + y) * 37) & 0xff);
    }
    return format == QImage::Format_ARGB32 ? image : image.convertToFormat(format);
}

bool ImageFixtures::writeImage(const QString &path, const QSize &size)
{
    return pattern(size, QImage::Format_RGB32).save(path);
}

QByteArray ImageFixtures::jpegWithOrientation(const QSize &size, int orientation, bool bigEndian)
{
    QByteArray jpeg;
    QBuffer buffer(&jpeg);
    buffer.open(QIODevice::WriteOnly);
    pattern(size, QImage::Format_RGB32).save(&buffer, "JPG", 95);

    // TIFF block: header, one IFD with the orientation tag (0x0112, SHORT, count 1).
    QByteArray tiff;
    QDataStream out(&tiff, QIODevice::WriteOnly);
    out.setByteOrder(bigEndian ? QDataStream::BigEndian : QDataStream::LittleEndian);
    out.writeRawData(bigEndian ? "MM" : "II", 2);
    out << quint16(42) << quint32(8);
    out << quint16(1);
    out << quint16(0x0112) << quint16(3) << quint32(1) << quint16(orientation) << quint16(0);
    out << quint32(0);

    QByteArray app1 = QByteArray("Exif\0\0", 6) + tiff;
    QByteArray segment("\xFF\xE1", 2);
    const quint16 length = quint16(app1.size() + 2);
    segment.append(char(length >> 8)).append(char(length & 0xff)).append(app1);
    // Right after the start-of-image marker, where readers look for it.
    return jpeg.left(2) + segment + jpeg.mid(2);
}

QByteArray ImageFixtures::pngHeaderClaiming(quint32 width, quint32 height, quint8 bitDepth)
{
    QByteArray fields(13, '\0');
    qToBigEndian(width, fields.data());
    qToBigEndian(height, fields.data() + 4);
    fields[8] = char(bitDepth);
    fields[9] = 6; // RGBA
    // Readers stop reading the header at the first data chunk; a few bytes of it follow.
    return QByteArray("\x89PNG\r\n\x1a\n", 8) + pngChunk("IHDR", fields)
            + pngChunk("IDAT", QByteArray("\x78\x9c\x00\x00", 4)) + pngChunk("IEND", {});
}

bool ImageFixtures::writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}
