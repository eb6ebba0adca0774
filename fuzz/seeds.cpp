// Writes the seed inputs of every fuzz target into <folder>/<target>/: object lists and a
// document from real scene objects, images from the toolkit's encoders, Exif blocks from
// Exiv2, and cache entries from the cache itself. Small inputs keep the fuzzer fast.
#include "fuzzing.h"

#include "framework/lvscene.h"
#include "scene/checkmarkitem.h"
#include "scene/lineitem.h"
#include "scene/objectstream.h"
#include "scene/pageitem.h"
#include "scene/rectitem.h"
#include "scene/textitem.h"
#include "scene/vrimageitem.h"

#include <QBuffer>
#include <QDataStream>
#include <QDir>
#include <QFile>
#include <QImageWriter>
#include <QPainter>
#include <QTemporaryDir>
#include <QtEndian>

#include <exiv2/exiv2.hpp>

#include <cstdio>
#include <fcntl.h>
#include <memory>
#include <sys/stat.h>

namespace {

QDir output;
bool failed = false;

void save(const QString &target, const QString &name, const QByteArray &bytes)
{
    QFile file(output.filePath(target + QLatin1Char('/') + name));
    if (bytes.isEmpty() || !file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size()) {
        std::fprintf(stderr, "cannot write seed %s/%s\n", qPrintable(target), qPrintable(name));
        failed = true;
    }
}

QImage picture(const QSize &size, QImage::Format format = QImage::Format_RGB32)
{
    QImage image(size, format);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.fillRect(0, 0, size.width() / 2, size.height(), QColor(200, 30, 40, 220));
    painter.fillRect(size.width() / 2, 0, size.width(), size.height() / 2, Qt::blue);
    return image;
}

QByteArray encode(const QImage &image, const char *format, int quality = -1, int compression = -1,
                  bool progressive = false)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, format);
    writer.setQuality(quality);
    if (compression >= 0)
        writer.setCompression(compression);
    writer.setProgressiveScanWrite(progressive);
    return writer.write(image) ? bytes : QByteArray();
}

// A JPEG whose Exif block, in the given byte order, records the orientation and a preview.
QByteArray exifJpeg(int orientation, Exiv2::ByteOrder order, bool withPreview)
{
    const QByteArray jpeg = encode(picture(QSize(16, 12)), "jpeg", 50);
    const QByteArray preview = encode(picture(QSize(8, 6)), "jpeg", 30);
    try {
        auto image = Exiv2::ImageFactory::open(
                reinterpret_cast<const Exiv2::byte *>(jpeg.constData()), long(jpeg.size()));
        image->readMetadata();
        Exiv2::ExifData &exif = image->exifData();
        exif["Exif.Image.Orientation"] = uint16_t(orientation);
        if (withPreview)
            Exiv2::ExifThumb(exif).setJpegThumbnail(
                    reinterpret_cast<const Exiv2::byte *>(preview.constData()),
                    long(preview.size()));
        image->setByteOrder(order);
        image->writeMetadata();
        Exiv2::BasicIo &io = image->io();
        io.seek(0, Exiv2::BasicIo::beg);
        const Exiv2::DataBuf data = io.read(long(io.size()));
        return QByteArray(reinterpret_cast<const char *>(data.pData_), int(data.size_));
    } catch (const Exiv2::Error &error) {
        std::fprintf(stderr, "exiv2: %s\n", error.what());
        return QByteArray();
    }
}

// An icon whose one entry is a PNG, the way icon files hold large pictures.
QByteArray pngIcon()
{
    const QByteArray png = encode(picture(QSize(16, 16), QImage::Format_ARGB32), "png");
    QByteArray icon("\0\0\1\0\1\0", 6);
    QByteArray entry(16, '\0');
    entry[0] = 16;
    entry[1] = 16;
    qToLittleEndian<quint16>(1, entry.data() + 4);
    qToLittleEndian<quint16>(32, entry.data() + 6);
    qToLittleEndian<quint32>(quint32(png.size()), entry.data() + 8);
    qToLittleEndian<quint32>(22, entry.data() + 12);
    return icon + entry + png;
}

ObjectItem *makeObject(int type)
{
    switch (type) {
    case ObjectItem::TextType: {
        auto *text = new TextItem;
        text->font = QFont(QStringLiteral("Sans"), 11, QFont::Bold);
        text->insertText(QStringLiteral("first\nsecond"));
        return text;
    }
    case ObjectItem::ImageType:
        return new VRImageItem(picture(QSize(6, 4), QImage::Format_ARGB32));
    case ObjectItem::RectType: {
        auto *rect = new RectItem;
        rect->setRect(QRectF(0, 0, 30, 20));
        return rect;
    }
    case ObjectItem::LineType: {
        auto *line = new LineItem;
        line->setEndPoint(QPointF(-20, 35));
        return line;
    }
    case ObjectItem::CheckMarkType: {
        auto *check = new CheckMarkItem;
        check->checked = true;
        return check;
    }
    default: {
        auto *group = new ObjectItem;
        group->isGroup = true;
        group->setRect(QRectF(0, 0, 20, 10));
        for (int i = 0; i < 2; ++i) {
            auto *member = new VRImageItem(picture(QSize(3 + i, 2)));
            member->setPos(10 * i, 5);
            group->addToGroup(member);
            member->group = group;
        }
        return group;
    }
    }
}

QByteArray objectList(const QList<int> &types)
{
    PageItem page;
    QList<QGraphicsItem *> items;
    for (int type : types) {
        ObjectItem *item = makeObject(type);
        item->setPos(3 * items.size(), 2 * items.size());
        page.attachObject(item);
        items << item;
    }
    QByteArray bytes;
    QDataStream out(&bytes, QIODevice::WriteOnly);
    PageItem::writeObjects(out, items);
    return bytes;
}

QByteArray document()
{
    LVScene scene(nullptr, nullptr);
    for (int pageIndex = 0; pageIndex < 2; ++pageIndex) {
        auto *page = new PageItem;
        page->orientation = pageIndex;
        page->paperSize = 9;
        page->updatePageRect();
        page->attachObject(makeObject(ObjectItem::TextType + pageIndex));
        page->attachObject(makeObject(ObjectItem::RectType + pageIndex));
        scene.addPageCommand(page);
    }
    QByteArray bytes;
    QDataStream out(&bytes, QIODevice::WriteOnly);
    scene.write(out);
    return bytes;
}

void objectDataSeeds()
{
    const QString target = QStringLiteral("objectdata");
    const QList<int> types
            = { ObjectItem::TextType, ObjectItem::ImageType,     ObjectItem::RectType,
                ObjectItem::LineType, ObjectItem::CheckMarkType, ObjectItem::GroupType };
    for (int type : types)
        save(target, QStringLiteral("type-%1").arg(type - ObjectItem::UserType),
             objectList({ type }));
    save(target, QStringLiteral("all-types"), objectList(types));
    save(target, QStringLiteral("document"), document());
}

void exifSeeds()
{
    const QString target = QStringLiteral("exif");
    for (int orientation = 1; orientation <= 8; ++orientation) {
        save(target, QStringLiteral("intel-%1").arg(orientation),
             exifJpeg(orientation, Exiv2::littleEndian, orientation % 2 == 0));
        save(target, QStringLiteral("motorola-%1").arg(orientation),
             exifJpeg(orientation, Exiv2::bigEndian, orientation % 2 == 1));
    }
}

void decodeSeeds()
{
    // Every seed must decode, or it seeds nothing but the error paths.
    const auto save = [](const QString &target, const QString &name, const QByteArray &bytes) {
        if (QImage::fromData(bytes).isNull()) {
            std::fprintf(stderr, "seed %s does not decode\n", qPrintable(name));
            failed = true;
        }
        ::save(target, name, bytes);
    };
    const QString target = QStringLiteral("decode");
    const QImage rgb = picture(QSize(12, 9));
    const QImage alpha = picture(QSize(9, 12), QImage::Format_ARGB32);
    save(target, QStringLiteral("rgb.png"), encode(rgb, "png"));
    save(target, QStringLiteral("alpha.png"), encode(alpha, "png"));
    save(target, QStringLiteral("grey.png"),
         encode(rgb.convertToFormat(QImage::Format_Grayscale8), "png"));
    save(target, QStringLiteral("indexed.png"),
         encode(rgb.convertToFormat(QImage::Format_Indexed8), "png"));
    save(target, QStringLiteral("mono.png"),
         encode(rgb.convertToFormat(QImage::Format_Mono), "png"));
    save(target, QStringLiteral("baseline.jpg"), encode(rgb, "jpeg", 40));
    save(target, QStringLiteral("progressive.jpg"), encode(rgb, "jpeg", 40, -1, true));
    save(target, QStringLiteral("upright-6.jpg"), exifJpeg(6, Exiv2::littleEndian, true));
    save(target, QStringLiteral("rgb.bmp"), encode(rgb, "bmp"));
    save(target, QStringLiteral("indexed.bmp"),
         encode(rgb.convertToFormat(QImage::Format_Indexed8), "bmp"));
    save(target, QStringLiteral("lossy.webp"), encode(alpha, "webp", 30));
    save(target, QStringLiteral("lossless.webp"), encode(alpha, "webp", 100));
    save(target, QStringLiteral("plain.tiff"), encode(rgb, "tiff"));
    save(target, QStringLiteral("lzw.tiff"), encode(alpha, "tiff", -1, 1));
    save(target, QStringLiteral("png.ico"), pngIcon());
    save(target, QStringLiteral("bitmap.ico"), encode(alpha.scaled(16, 16), "ico"));
    // The toolkit writes no GIF: 4 x 2 pixels in two colours, as ImageMagick wrote them.
    save(target, QStringLiteral("two.gif"),
         QByteArray::fromHex("47494638396104000200f00000ff00000000ff21f90400000000002c000000"
                             "0004000200000203448059003b"));
}

void cacheSeeds()
{
    const QString target = QStringLiteral("thumbnailcache");
    QTemporaryDir root;
    const ThumbnailCache cache(root.path());
    // The cache keeps an entry only while its file is as the source describes it.
    ThumbnailCache::Source source = Fuzzing::cacheSource();
    source.path = root.filePath(QStringLiteral("photo.jpg"));
    QFile photo(source.path);
    const bool made = photo.open(QIODevice::WriteOnly) && photo.resize(source.size);
    photo.close();
    const struct timespec times[2] = { { source.modified, 0 }, { source.modified, 0 } };
    if (!made || ::utimensat(AT_FDCWD, QFile::encodeName(source.path).constData(), times, 0) != 0) {
        std::fprintf(stderr, "cannot make the cached file\n");
        failed = true;
    }
    const auto read = [](const QString &path) {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    };
    cache.store(source, picture(QSize(16, 12)), QSize(4000, 3000), QStringLiteral("image/jpeg"));
    save(target, QStringLiteral("normal"), read(cache.normalPath(source)));
    cache.store(source, picture(QSize(9, 16), QImage::Format_ARGB32), QSize(900, 1600), QString());
    save(target, QStringLiteral("normal-alpha"), read(cache.normalPath(source)));
    cache.storeFailure(source);
    save(target, QStringLiteral("failure"), read(cache.failPath(source)));
}

} // namespace

int main(int argc, char **argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <seed folder>\n", argv[0]);
        return 2;
    }
    Fuzzing::startApplication(&argc, &argv);
    output = QDir(QFile::decodeName(argv[1]));
    for (const char *target : { "objectdata", "exif", "decode", "thumbnailcache" }) {
        const QString folder = QString::fromLatin1(target);
        output.mkpath(folder);
        QDir(output.filePath(folder)).removeRecursively();
        output.mkpath(folder);
    }
    objectDataSeeds();
    exifSeeds();
    decodeSeeds();
    cacheSeeds();
    return failed ? 1 : 0;
}
