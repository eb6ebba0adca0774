#define QT_STATICPLUGIN
#include "blindimageformat.h"

#include <QAtomicInt>
#include <QImage>
#include <QImageIOPlugin>
#include <QtEndian>

namespace {

QAtomicInt decodeCount;

class BlindImageHandler : public QImageIOHandler
{
public:
    bool canRead() const override { return device()->peek(5) == "BLIND"; }

    bool read(QImage *image) override
    {
        const QByteArray header = device()->read(13);
        if (header.size() != 13)
            return false;
        decodeCount.ref();
        const auto width = qFromBigEndian<quint32>(header.constData() + 5);
        const auto height = qFromBigEndian<quint32>(header.constData() + 9);
        *image = QImage(int(qMin(width, 1u << 30)), int(qMin(height, 1u << 30)),
                        QImage::Format_RGB32);
        image->fill(Qt::gray);
        return !image->isNull();
    }
};

} // namespace

class BlindImagePlugin : public QImageIOPlugin
{
    Q_OBJECT
    Q_PLUGIN_METADATA(IID QImageIOHandlerFactoryInterface_iid FILE "blindimageformat.json")

public:
    Capabilities capabilities(QIODevice *device, const QByteArray &format) const override
    {
        if (format == "blind" || (format.isEmpty() && device && device->peek(5) == "BLIND"))
            return CanRead;
        return {};
    }

    QImageIOHandler *create(QIODevice *device, const QByteArray &format) const override
    {
        auto *handler = new BlindImageHandler;
        handler->setDevice(device);
        handler->setFormat(format);
        return handler;
    }
};

QByteArray BlindImageFormat::file(quint32 width, quint32 height)
{
    QByteArray bytes("BLIND");
    bytes.resize(13);
    qToBigEndian(width, bytes.data() + 5);
    qToBigEndian(height, bytes.data() + 9);
    return bytes;
}

int BlindImageFormat::decodes()
{
    return decodeCount.loadAcquire();
}

#include "blindimageformat.moc"
