#include "photometadata.h"

#include <QBuffer>
#include <QDebug>
#include <QFile>
#include <QImageWriter>

#include <cerrno>
#include <cstring>
#include <exception>
#include <memory>
#include <stdexcept>
#include <string>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

// Exiv2 0.27 hands its images out in std::auto_ptr, deprecated in C++17.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
#include <exiv2/exiv2.hpp>

namespace {

// The embedded preview, at the size cameras use for theirs; it must fit the 64 KiB Exif segment.
constexpr int previewSide = 160;
constexpr int previewQuality = 75;

class Descriptor
{
public:
    explicit Descriptor(int fd) : fd(fd) {}
    ~Descriptor()
    {
        if (fd >= 0)
            ::close(fd);
    }
    Descriptor(const Descriptor &) = delete;
    Descriptor &operator=(const Descriptor &) = delete;
    const int fd;
};

// Exiv2 opens files by name, and opening a pipe by name waits for a writer. The file is
// opened here without blocking and checked to be a regular file; Exiv2 then opens that very
// file through its descriptor's name, whatever happens to the path meanwhile.
std::unique_ptr<Exiv2::Image> openJpegFile(const Descriptor &file)
{
    struct stat status;
    if (file.fd < 0 || ::fstat(file.fd, &status) != 0 || !S_ISREG(status.st_mode))
        return nullptr;
    const std::string name = "/proc/self/fd/" + std::to_string(file.fd);
    if (Exiv2::ImageFactory::getType(name) != Exiv2::ImageType::jpeg)
        return nullptr;
    return std::unique_ptr<Exiv2::Image>(Exiv2::ImageFactory::open(name, false).release());
}

void setIfPresent(Exiv2::ExifData &exif, const char *key, int value)
{
    const auto it = exif.findKey(Exiv2::ExifKey(key));
    if (it != exif.end())
        *it = static_cast<uint32_t>(value);
}

void setIfPresent(Exiv2::XmpData &xmp, const char *key, int value)
{
    const auto it = xmp.findKey(Exiv2::XmpKey(key));
    if (it != xmp.end())
        *it = std::to_string(value);
}

QByteArray previewOf(const QImage &image)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "jpeg");
    writer.setQuality(previewQuality);
    QImage preview = image;
    if (preview.width() > previewSide || preview.height() > previewSide)
        preview = preview.scaled(previewSide, previewSide, Qt::KeepAspectRatio,
                                 Qt::SmoothTransformation);
    return writer.write(preview.convertToFormat(QImage::Format_RGB32)) ? bytes : QByteArray();
}

// Makes the metadata describe the new pixels: upright, of their size, with their preview.
void describe(Exiv2::ExifData &exif, Exiv2::XmpData &xmp, const QImage &image)
{
    const auto orientation = exif.findKey(Exiv2::ExifKey("Exif.Image.Orientation"));
    if (orientation != exif.end())
        orientation->setValue("1");
    setIfPresent(exif, "Exif.Photo.PixelXDimension", image.width());
    setIfPresent(exif, "Exif.Photo.PixelYDimension", image.height());
    setIfPresent(exif, "Exif.Image.ImageWidth", image.width());
    setIfPresent(exif, "Exif.Image.ImageLength", image.height());

    Exiv2::ExifThumb thumb(exif);
    const bool hadPreview = *thumb.mimeType() != '\0';
    thumb.erase();
    if (hadPreview) {
        const QByteArray preview = previewOf(image);
        if (!preview.isEmpty())
            thumb.setJpegThumbnail(reinterpret_cast<const Exiv2::byte *>(preview.constData()),
                                   preview.size());
    }

    setIfPresent(xmp, "Xmp.tiff.Orientation", 1);
    setIfPresent(xmp, "Xmp.exif.PixelXDimension", image.width());
    setIfPresent(xmp, "Xmp.exif.PixelYDimension", image.height());
    setIfPresent(xmp, "Xmp.tiff.ImageWidth", image.width());
    setIfPresent(xmp, "Xmp.tiff.ImageLength", image.height());
}

} // namespace

bool PhotoMetadata::carryOver(const QString &sourcePath, QByteArray &jpeg, const QImage &image)
{
    // Damaged metadata is reported once below, not by Exiv2 on the console.
    Exiv2::LogMsg::setLevel(Exiv2::LogMsg::mute);
    try {
        const Descriptor file(::open(QFile::encodeName(sourcePath).constData(),
                                     O_RDONLY | O_NONBLOCK | O_CLOEXEC));
        if (file.fd < 0)
            throw std::runtime_error(std::strerror(errno));
        const std::unique_ptr<Exiv2::Image> source = openJpegFile(file);
        if (!source)
            return false;
        source->readMetadata();
        if (source->exifData().empty() && source->iptcData().empty() && source->xmpData().empty()
            && !source->iccProfileDefined())
            return false;

        Exiv2::ExifData exif = source->exifData();
        Exiv2::XmpData xmp = source->xmpData();
        describe(exif, xmp, image);
        const std::unique_ptr<Exiv2::Image> target(
                Exiv2::ImageFactory::open(reinterpret_cast<const Exiv2::byte *>(jpeg.constData()),
                                          jpeg.size())
                        .release());
        target->setExifData(exif);
        target->setIptcData(source->iptcData());
        target->setXmpData(xmp);
        if (source->iccProfileDefined())
            target->setIccProfile(*source->iccProfile());
        target->writeMetadata();

        Exiv2::BasicIo &io = target->io();
        if (io.open() != 0)
            throw std::runtime_error("cannot read the written image back");
        const long size = io.size();
        Exiv2::DataBuf bytes = io.read(size);
        io.close();
        if (bytes.size_ != size)
            throw std::runtime_error("cannot read the written image back");
        jpeg = QByteArray(reinterpret_cast<const char *>(bytes.pData_), int(bytes.size_));
        return true;
    } catch (const std::exception &error) {
        qDebug() << "PhotoMetadata::carryOver:" << sourcePath << error.what();
    } catch (...) {
        qDebug() << "PhotoMetadata::carryOver:" << sourcePath << "unknown error";
    }
    return false;
}

#pragma GCC diagnostic pop
