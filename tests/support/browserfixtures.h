#pragma once

#include <QAbstractItemModel>
#include <QBuffer>
#include <QFile>
#include <QImage>
#include <QStringList>

// Small helpers shared by the tests of the folder browser.
namespace BrowserFixtures {

// The image encoded in the given format, as a file of it would hold.
inline QByteArray encoded(const QImage &image, const char *format = "JPG", int quality = 95)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, format, quality);
    return bytes;
}

inline QImage solid(const QSize &size, const QColor &colour = Qt::blue)
{
    QImage image(size, QImage::Format_RGB32);
    image.fill(colour);
    return image;
}

// A file of the given size; sparse, so that large sizes cost no disk space.
inline bool touch(const QString &path, qint64 size = 10)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.resize(size);
}

// The names the model shows, in its order.
inline QStringList rowNames(const QAbstractItemModel *model)
{
    QStringList names;
    for (int row = 0; row < model->rowCount(); ++row)
        names << model->index(row, 0).data().toString();
    return names;
}

} // namespace BrowserFixtures
