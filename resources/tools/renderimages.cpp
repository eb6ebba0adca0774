// Build-time helper: renders one SVG from resources/svg into a PNG, JPEG or ICO file.
// Usage: renderimages <in.svg> <out-file> <width> <height> [extra ico sizes, "N" or "WxH"...]

#include <QBuffer>
#include <QByteArray>
#include <QColor>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImage>
#include <QImageWriter>
#include <QPainter>
#include <QSaveFile>
#include <QSize>
#include <QStringList>
#include <QSvgRenderer>
#include <QVector>
#include <QtEndian>

#include <cstdio>

namespace {

int svgWarnings = 0;
QtMessageHandler previousHandler = nullptr;

// QSvgRenderer drops what it cannot resolve (a missing gradient, a dangling
// link) with only a warning; count those so a broken icon fails the build.
void messageHandler(QtMsgType type, const QMessageLogContext &context, const QString &message)
{
    if (context.category && qstrcmp(context.category, "qt.svg") == 0 && type != QtDebugMsg)
        ++svgWarnings;
    // Build machines often lack XDG_RUNTIME_DIR; the notice is noise in build logs.
    if (message.startsWith(QLatin1String("QStandardPaths:")))
        return;
    if (previousHandler)
        previousHandler(type, context, message);
}

int fail(const QString &message)
{
    std::fprintf(stderr, "renderimages: %s\n", qPrintable(message));
    return 1;
}

bool parseSize(const QString &text, QSize *size)
{
    const QStringList parts = text.split(QLatin1Char('x'));
    bool okW = false;
    bool okH = false;
    const int w = parts.value(0).toInt(&okW);
    const int h = parts.size() == 1 ? w : parts.value(1).toInt(&okH);
    if (parts.size() == 1)
        okH = okW;
    if (parts.size() > 2 || !okW || !okH || w < 1 || h < 1 || w > 4096 || h > 4096)
        return false;
    *size = QSize(w, h);
    return true;
}

QImage render(QSvgRenderer &renderer, const QSize &size, bool opaque)
{
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    image.fill(opaque ? QColor(Qt::white) : QColor(Qt::transparent));
    QPainter painter(&image);
    painter.setRenderHints(QPainter::Antialiasing | QPainter::SmoothPixmapTransform
                           | QPainter::TextAntialiasing);
    renderer.render(&painter, QRectF(QPointF(0, 0), QSizeF(size)));
    painter.end();
    return opaque ? image.convertToFormat(QImage::Format_RGB32)
                  : image.convertToFormat(QImage::Format_ARGB32);
}

// Qt's ICO writer stores one image per file, so each size is written on its
// own and the directory entries are merged into one multi-size icon.
bool encodeIco(const QVector<QImage> &images, QByteArray *out, QString *error)
{
    QVector<QByteArray> entries;
    QVector<QByteArray> payloads;
    for (const QImage &image : images) {
        QByteArray single;
        QBuffer buffer(&single);
        buffer.open(QIODevice::WriteOnly);
        QImageWriter writer(&buffer, "ico");
        if (!writer.write(image)) {
            *error = QStringLiteral("ICO encoding failed: %1").arg(writer.errorString());
            return false;
        }
        // Header (6 bytes), one directory entry (16 bytes), then the image data.
        if (single.size() < 22 || qFromLittleEndian<quint16>(single.constData() + 4) != 1) {
            *error = QStringLiteral("unexpected ICO layout from Qt's writer");
            return false;
        }
        const quint32 offset = qFromLittleEndian<quint32>(single.constData() + 6 + 12);
        const quint32 length = qFromLittleEndian<quint32>(single.constData() + 6 + 8);
        if (offset + quint64(length) > quint64(single.size())) {
            *error = QStringLiteral("unexpected ICO layout from Qt's writer");
            return false;
        }
        entries.append(single.mid(6, 16));
        payloads.append(single.mid(int(offset), int(length)));
    }

    const int count = images.size();
    QByteArray header(6, '\0');
    qToLittleEndian<quint16>(0, header.data());
    qToLittleEndian<quint16>(1, header.data() + 2);
    qToLittleEndian<quint16>(quint16(count), header.data() + 4);
    *out = header;
    quint32 offset = quint32(6 + 16 * count);
    for (int i = 0; i < count; ++i) {
        QByteArray entry = entries.at(i);
        qToLittleEndian<quint32>(offset, entry.data() + 12);
        out->append(entry);
        offset += quint32(payloads.at(i).size());
    }
    for (const QByteArray &payload : payloads)
        out->append(payload);
    return true;
}

} // namespace

int main(int argc, char **argv)
{
    // Build machines have no display; text in SVGs still needs the font database.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    previousHandler = qInstallMessageHandler(messageHandler);
    QGuiApplication app(argc, argv);

    const QStringList args = app.arguments();
    if (args.size() < 5)
        return fail(QStringLiteral(
                "usage: renderimages <in.svg> <out-file> <width> <height> [extra sizes...]"));

    const QString input = args.at(1);
    const QString output = args.at(2);
    QSize size;
    if (!parseSize(args.at(3) + QLatin1Char('x') + args.at(4), &size))
        return fail(QStringLiteral("invalid size %1x%2").arg(args.at(3), args.at(4)));
    QVector<QSize> sizes { size };
    for (int i = 5; i < args.size(); ++i) {
        QSize extra;
        if (!parseSize(args.at(i), &extra))
            return fail(QStringLiteral("invalid extra size '%1'").arg(args.at(i)));
        sizes.append(extra);
    }

    const QString suffix = QFileInfo(output).suffix().toLower();
    const bool isIco = suffix == QLatin1String("ico");
    const bool isJpeg = suffix == QLatin1String("jpg") || suffix == QLatin1String("jpeg");
    if (!isIco && !isJpeg && suffix != QLatin1String("png"))
        return fail(QStringLiteral("unsupported output type '%1' (png, jpg or ico)").arg(suffix));
    if (sizes.size() > 1 && !isIco)
        return fail(QStringLiteral("extra sizes only make sense for .ico output"));

    QFile svgFile(input);
    if (!svgFile.open(QIODevice::ReadOnly))
        return fail(QStringLiteral("cannot read %1: %2").arg(input, svgFile.errorString()));
    QSvgRenderer renderer;
    if (!renderer.load(svgFile.readAll()) || !renderer.isValid())
        return fail(QStringLiteral("cannot parse SVG %1").arg(input));
    if (svgWarnings > 0)
        return fail(QStringLiteral("%1 uses SVG features Qt cannot render (see warnings above)")
                            .arg(input));

    QByteArray data;
    if (isIco) {
        QVector<QImage> images;
        for (const QSize &s : sizes)
            images.append(render(renderer, s, false));
        QString error;
        if (!encodeIco(images, &data, &error))
            return fail(error);
    } else {
        const QImage image = render(renderer, size, isJpeg);
        QBuffer buffer(&data);
        buffer.open(QIODevice::WriteOnly);
        QImageWriter writer(&buffer, isJpeg ? "jpeg" : "png");
        if (isJpeg)
            writer.setQuality(92);
        if (!writer.write(image))
            return fail(QStringLiteral("cannot encode %1: %2").arg(output, writer.errorString()));
    }
    if (svgWarnings > 0)
        return fail(QStringLiteral("%1 uses SVG features Qt cannot render (see warnings above)")
                            .arg(input));

    // Written atomically so an interrupted build never leaves a truncated image
    // that make would consider up to date.
    QDir().mkpath(QFileInfo(output).absolutePath());
    QSaveFile file(output);
    if (!file.open(QIODevice::WriteOnly) || file.write(data) != data.size() || !file.commit())
        return fail(QStringLiteral("cannot write %1: %2").arg(output, file.errorString()));
    return 0;
}
