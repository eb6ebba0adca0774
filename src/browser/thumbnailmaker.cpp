#include "thumbnailmaker.h"

#include "imagefile.h"

#include <QBuffer>
#include <QDebug>
#include <QFile>
#include <QImageReader>
#include <QPainter>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// No picture we could show comes in a file this large; reading it whole would only
// exhaust memory.
constexpr qint64 maxFileSize = qint64(1) << 30;

// Opens only regular files, and without blocking: a pipe or a device that waits for a
// writer or never ends would hold the batch, and with it the window, forever.
bool openRegularFile(QFile &file, const QString &path)
{
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return false;
    struct stat status;
    if (::fstat(fd, &status) != 0 || !S_ISREG(status.st_mode)
        || !file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        return false;
    }
    return true;
}

ThumbnailInfo undecodable(const QString &path)
{
    qDebug() << "----------- error  " << path;
    ThumbnailInfo info;
    info.imageSize = QSize(0, 0);
    return info;
}

} // namespace

ThumbnailInfo ThumbnailMaker::make(const QString &path, Decoding decoding)
{
    QFile file;
    if (!openRegularFile(file, path))
        return ThumbnailInfo();
    const qint64 fileSize = file.size();
    if (fileSize > maxFileSize)
        return undecodable(path);
    // Only what was there when we looked: a file still being written cannot grow the read.
    const QByteArray data = file.read(fileSize);
    file.close();

    QBuffer buffer;
    buffer.setData(data);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    // The turn comes from our own reading of the metadata, as in the image loader.
    reader.setAutoTransform(false);

    QSize fullSize;
    bool scaledWhileDecoding = false;
    QImage image;
    if (reader.supportsOption(QImageIOHandler::Size)) {
        fullSize = reader.size();
        // Decoding allocates what the header declares; a small hostile file must not
        // make us allocate gigabytes.
        if (imageTooLarge(fullSize))
            return undecodable(path);
        if (decoding == Decoding::Scaled && fullSize.isValid()
            && reader.supportsOption(QImageIOHandler::ScaledSize)) {
            // Twice the thumbnail leaves room for a smooth final scaling, and, for a
            // picture turned upright afterwards, for a box of the other orientation.
            const QSize decodeSize = fullSize.scaled(fittedSize(fullSize) * 2, Qt::KeepAspectRatio)
                                             .expandedTo(QSize(1, 1));
            if (decodeSize.width() < fullSize.width() && decodeSize.height() < fullSize.height()) {
                reader.setScaledSize(decodeSize);
                scaledWhileDecoding = true;
            }
        }
        image = reader.read();
    } else {
        // Without a size in advance the reader delivers the box itself.
        reader.setScaledSize(QSize(ThumbnailListModel::maxWidth, ThumbnailListModel::maxHeight));
        image = reader.read();
    }
    if (image.isNull())
        return undecodable(path);

    const int degrees = imageOrientation(data);
    if (degrees > 0)
        rotateImage(image, degrees);
    if (!fullSize.isValid() || !scaledWhileDecoding)
        fullSize = image.size();
    else if ((degrees / 90) % 2 == 1)
        fullSize.transpose();

    ThumbnailInfo info;
    info.imageSize = fullSize;
    // Both ways of decoding end at the size the whole picture fits to.
    info.image = compose(image, fittedSize(fullSize));
    return info;
}

QSize ThumbnailMaker::fittedSize(const QSize &size)
{
    const QSize box(ThumbnailListModel::maxWidth, ThumbnailListModel::maxHeight);
    if (size.width() <= box.width() && size.height() <= box.height())
        return size;
    return size.scaled(box, Qt::KeepAspectRatio).expandedTo(QSize(1, 1));
}

QImage ThumbnailMaker::compose(const QImage &image, const QSize &size)
{
    if (image.isNull() || size.isEmpty())
        return QImage();
    const QImage scaled = image.size() == size
            ? image
            : image.scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    // Transparent parts show the backdrop.
    QImage result(size, QImage::Format_RGB32);
    result.fill(QColor(Qt::lightGray));
    QPainter painter(&result);
    painter.drawImage(0, 0, scaled);
    return result;
}
