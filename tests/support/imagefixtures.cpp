#include "imagefixtures.h"

#include <QBuffer>
#include <QDataStream>
#include <QFile>
#include <QtEndian>

#include <cmath>
#include <zlib.h>

namespace {

QByteArray pngChunk(const char *type, const QByteArray &data)
{
    char length[4], crc[4];
    qToBigEndian(quint32(data.size()), length);
    const QByteArray body = QByteArray(type, 4) + data;
    qToBigEndian(quint32(crc32(0, reinterpret_cast<const Bytef *>(body.constData()), body.size())),
                 crc);
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

QString ImageFixtures::corners(const QImage &image)
{
    if (image.width() < 3 || image.height() < 3)
        return QString();
    // Red grows to the right of the pattern, green downwards; one pixel in, away from edges.
    const int right = image.width() - 2;
    const int bottom = image.height() - 2;
    QString letters;
    for (const QPoint &point :
         { QPoint(1, 1), QPoint(right, 1), QPoint(1, bottom), QPoint(right, bottom) }) {
        const QColor colour = image.pixelColor(point);
        letters += QLatin1Char(
                char('a' + (colour.red() >= 128 ? 1 : 0) + (colour.green() >= 128 ? 2 : 0)));
    }
    return letters;
}

bool ImageFixtures::writeImage(const QString &path, const QSize &size)
{
    return pattern(size, QImage::Format_RGB32).save(path);
}

QByteArray ImageFixtures::jpegWithOrientation(const QSize &size, int orientation, bool bigEndian,
                                              const QByteArray &leading)
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

    const QByteArray segment = jpegSegment(0xE1, QByteArray("Exif\0\0", 6) + tiff);
    return jpeg.left(2) + leading + segment + jpeg.mid(2);
}

QByteArray ImageFixtures::jpegSegment(quint8 marker, const QByteArray &payload)
{
    const quint16 length = quint16(payload.size() + 2);
    return QByteArray(1, char(0xFF)) + char(marker) + char(length >> 8) + char(length & 0xff)
            + payload;
}

QByteArray ImageFixtures::iccProfileSegment()
{
    // An sRGB display profile with a sampled tone curve, as cameras and editors embed it:
    // a few kB holding many 0xFF bytes.
    const char *xyzTags[] = { "wtpt", "rXYZ", "gXYZ", "bXYZ" };
    const double xyz[][3] = { { 0.9642, 1.0, 0.8249 },
                              { 0.4361, 0.2225, 0.0139 },
                              { 0.3851, 0.7169, 0.0971 },
                              { 0.1431, 0.0606, 0.7141 } };
    const int tagData = 128 + 4 + 7 * 12;
    const int curve = tagData + 4 * 20;
    const int curveSize = 12 + 1024 * 2;
    QByteArray profile;
    QDataStream out(&profile, QIODevice::WriteOnly);
    out << quint32(curve + curveSize) << quint32(0) << quint32(0x02100000);
    out.writeRawData("mntrRGB XYZ ", 12);
    out << quint16(2024) << quint16(1) << quint16(1) << quint16(0) << quint16(0) << quint16(0);
    out.writeRawData("acsp", 4);
    out.writeRawData(QByteArray(28, '\0').constData(), 28);
    out << qint32(63190) << qint32(65536) << qint32(54061); // D50
    out.writeRawData(QByteArray(48, '\0').constData(), 48);
    // The tag table; the three channels share one curve.
    out << quint32(7);
    for (int i = 0; i < 4; ++i) {
        out.writeRawData(xyzTags[i], 4);
        out << quint32(tagData + i * 20) << quint32(20);
    }
    for (const char *tag : { "rTRC", "gTRC", "bTRC" }) {
        out.writeRawData(tag, 4);
        out << quint32(curve) << quint32(curveSize);
    }
    for (const auto &values : xyz) {
        out.writeRawData("XYZ \0\0\0\0", 8);
        for (double v : values)
            out << qint32(qRound(v * 65536));
    }
    out.writeRawData("curv\0\0\0\0", 8);
    out << quint32(1024);
    for (int i = 0; i < 1024; ++i) {
        const double v = i / 1023.0;
        out << quint16(
                qRound(65535 * (v <= 0.04045 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4))));
    }
    // Sequence number 1 of 1 chunks.
    return jpegSegment(0xE2, QByteArray("ICC_PROFILE\0\1\1", 14) + profile);
}

QByteArray ImageFixtures::pngHeaderClaiming(quint32 width, quint32 height, int bitDepth)
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

QByteArray ImageFixtures::icoHolding(const QByteArray &png)
{
    QByteArray ico;
    QDataStream out(&ico, QIODevice::WriteOnly);
    out.setByteOrder(QDataStream::LittleEndian);
    // Header: reserved, type 1 (icon), one entry; the entry: 256 x 256 (stored as 0), no
    // palette, one plane, 32 bits, the data's length and offset.
    out << quint16(0) << quint16(1) << quint16(1);
    out << quint8(0) << quint8(0) << quint8(0) << quint8(0) << quint16(1) << quint16(32)
        << quint32(png.size()) << quint32(22);
    return ico + png;
}

QByteArray ImageFixtures::jpegClaiming(const QSize &size, const QSize &claimed, int orientation)
{
    QByteArray jpeg = jpegWithOrientation(size, orientation);
    // Baseline frame header: marker, length, precision, height, width.
    const int frame = jpeg.indexOf("\xFF\xC0");
    if (frame < 0)
        return QByteArray();
    qToBigEndian(quint16(claimed.height()), jpeg.data() + frame + 5);
    qToBigEndian(quint16(claimed.width()), jpeg.data() + frame + 7);
    return jpeg;
}

bool ImageFixtures::writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}
