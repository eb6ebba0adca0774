#include "thumbnailmaker.h"

#include "imagefile.h"
#include "thumbnailcache.h"

#include <QBuffer>
#include <QDebug>
#include <QImageReader>
#include <QMimeDatabase>
#include <QPainter>

namespace {

// How far the aspect ratio of an embedded preview may differ from the picture's before we
// take it for letterboxed or cropped.
constexpr double previewAspectTolerance = 0.02;

ThumbnailInfo undecodable(const QString &path)
{
    qDebug() << "----------- error  " << path;
    ThumbnailInfo info;
    info.imageSize = QSize(0, 0);
    return info;
}

bool covers(const QSize &size, const QSize &wanted)
{
    // One pixel less is rounding, not a smaller picture.
    return size.width() >= wanted.width() - 1 && size.height() >= wanted.height() - 1;
}

// Whether a thumbnail of this size shows a picture of imageSize undistorted.
bool sameShape(const QSize &thumbnail, const QSize &imageSize)
{
    const QSize fitted = imageSize.scaled(thumbnail, Qt::KeepAspectRatio);
    return qAbs(fitted.width() - thumbnail.width()) <= 1 + thumbnail.width() / 50
            && qAbs(fitted.height() - thumbnail.height()) <= 1 + thumbnail.height() / 50;
}

// The thumbnail from a cache entry; null when the entry is too small or not of the
// picture's shape, or the picture's size cannot be learned without decoding it.
ThumbnailInfo fromEntry(const ThumbnailCache::Entry &entry, const QString &path)
{
    QSize imageSize = entry.imageSize;
    if (imageSize.isEmpty()) {
        const ImageFile file(path);
        imageSize = orientedSize(file.size(), file.orientation());
    }
    const QSize fitted = ThumbnailMaker::fittedSize(imageSize);
    ThumbnailInfo info;
    if (imageSize.isEmpty() || !covers(entry.image.size(), fitted)
        || !sameShape(entry.image.size(), imageSize))
        return info;
    info.imageSize = imageSize;
    info.image = ThumbnailMaker::compose(entry.image, fitted);
    return info;
}

// The embedded preview, upright, when it shows the whole picture at least as large as the
// thumbnail; a null image otherwise.
QImage embeddedPreview(ImageFile &file)
{
    const QByteArray bytes = file.embeddedPreview();
    const QSize stored = file.size();
    if (bytes.isEmpty() || stored.isEmpty())
        return QImage();
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, "jpeg");
    reader.setAutoTransform(false);
    const QSize size = reader.size();
    const double aspect = double(stored.width()) / stored.height();
    const int orientation = file.orientation();
    if (size.isEmpty() || size.width() > stored.width() || size.height() > stored.height()
        || qAbs(double(size.width()) / size.height() - aspect) > previewAspectTolerance * aspect
        || !covers(orientedSize(size, orientation),
                   ThumbnailMaker::fittedSize(orientedSize(stored, orientation))))
        return QImage();
    QImage image = reader.read();
    if (image.size() != size)
        return QImage();
    orientImage(image, orientation);
    return image;
}

QString mimeType(const QString &path)
{
    return QMimeDatabase().mimeTypeForFile(path).name();
}

} // namespace

ThumbnailInfo ThumbnailMaker::make(const QString &path)
{
    const ThumbnailCache cache;
    const ThumbnailCache::Source source = cache.source(path);
    if (source.isValid()) {
        const ThumbnailCache::Entry entry = cache.find(source);
        if (entry.isValid()) {
            const ThumbnailInfo info = fromEntry(entry, path);
            if (!info.image.isNull())
                return info;
        }
        if (cache.hasFailed(source))
            return undecodable(path);
    }

    ImageFile file(path);
    if (!file.isOpen())
        return ThumbnailInfo();
    QImage picture;
    ThumbnailInfo info = fromFile(file, path, Decoding::Scaled, true, &picture);
    if (info.image.isNull()) {
        if (info.imageSize == QSize(0, 0))
            cache.storeFailure(source);
        return info;
    }
    const QSize box(ThumbnailCache::normalSize, ThumbnailCache::normalSize);
    const QSize normalSize = info.imageSize.scaled(box, Qt::KeepAspectRatio);
    // A picture no larger than an entry is its own thumbnail: decoding it costs no more
    // than reading one. The others are shown as the entry will show them next time.
    if (!covers(box, info.imageSize) && covers(picture.size(), normalSize)) {
        const QImage normal
                = picture.scaled(normalSize, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
        info.image = compose(normal, fittedSize(info.imageSize));
        // A cache that cannot be written costs the attempt and nothing else.
        cache.store(source, normal, info.imageSize, mimeType(path));
    }
    return info;
}

ThumbnailInfo ThumbnailMaker::decode(const QString &path, Decoding decoding)
{
    ImageFile file(path);
    if (!file.isOpen())
        return ThumbnailInfo();
    QImage picture;
    return fromFile(file, path, decoding, false, &picture);
}

ThumbnailInfo ThumbnailMaker::fromFile(ImageFile &file, const QString &path, Decoding decoding,
                                       bool usePreview, QImage *picture)
{
    const QSize storedSize = file.size();
    if (!storedSize.isValid())
        return undecodable(path);
    const QSize fullSize = orientedSize(storedSize, file.orientation());
    ThumbnailInfo info;

    if (usePreview) {
        *picture = embeddedPreview(file);
        if (!picture->isNull()) {
            info.imageSize = fullSize;
            info.image = compose(*picture, fittedSize(fullSize));
            return info;
        }
    }

    QSize decodeSize;
    if (decoding == Decoding::Scaled && file.canScale()) {
        // Twice the thumbnail leaves room for a smooth final scaling, and, for a picture
        // stood upright afterwards, for a box of the other orientation.
        const QSize size = storedSize.scaled(fittedSize(storedSize) * 2, Qt::KeepAspectRatio)
                                   .expandedTo(QSize(1, 1));
        if (size.width() < storedSize.width() && size.height() < storedSize.height())
            decodeSize = size;
    }
    *picture = file.read(decodeSize);
    if (picture->isNull())
        return undecodable(path);

    // A scaled picture knows its full size only from the header.
    info.imageSize = decodeSize.isValid() ? fullSize : picture->size();
    // Both ways of decoding end at the size the whole picture fits to.
    info.image = compose(*picture, fittedSize(info.imageSize));
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
