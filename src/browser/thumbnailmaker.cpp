#include "thumbnailmaker.h"

#include "imagefile.h"

#include <QDebug>
#include <QPainter>

namespace {

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
    ImageFile file(path);
    if (!file.isOpen())
        return ThumbnailInfo();
    const QSize storedSize = file.size();
    if (!storedSize.isValid())
        return undecodable(path);

    QSize decodeSize;
    if (decoding == Decoding::Scaled && file.canScale()) {
        // Twice the thumbnail leaves room for a smooth final scaling, and, for a picture
        // stood upright afterwards, for a box of the other orientation.
        const QSize size = storedSize.scaled(fittedSize(storedSize) * 2, Qt::KeepAspectRatio)
                                   .expandedTo(QSize(1, 1));
        if (size.width() < storedSize.width() && size.height() < storedSize.height())
            decodeSize = size;
    }
    const QImage image = file.read(decodeSize);
    if (image.isNull())
        return undecodable(path);

    // A scaled picture knows its full size only from the header.
    const QSize fullSize
            = decodeSize.isValid() ? orientedSize(storedSize, file.orientation()) : image.size();
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
