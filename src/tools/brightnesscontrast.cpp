#include "brightnesscontrast.h"

#include <QColorSpace>
#include <QThread>
#include <QtGlobal>
#include <cstring>

namespace {

// Brightness and contrast act on these formats byte by byte (or on the palette).
bool adjustable(QImage::Format format)
{
    switch (format) {
    case QImage::Format_RGB32:
    case QImage::Format_ARGB32:
    case QImage::Format_RGB888:
    case QImage::Format_BGR888:
    case QImage::Format_Grayscale8:
    case QImage::Format_Indexed8:
    case QImage::Format_Mono:
    case QImage::Format_MonoLSB:
        return true;
    default:
        return false;
    }
}

bool indexed(QImage::Format format)
{
    return format == QImage::Format_Indexed8 || format == QImage::Format_Mono
            || format == QImage::Format_MonoLSB;
}

} // namespace

BrightnessContrast::Table BrightnessContrast::table(int brightness, int contrast)
{
    Table t;
    for (int i = 0; i < 256; ++i)
        t[i] = uchar(qBound(0, i + brightness, 255));
    const int q = contrast;
    if (q < 0) {
        // Pulled toward 159, not 128: the centre of the tones photographs mostly have.
        for (uchar &entry : t) {
            const int v = entry;
            if (v < 159)
                entry = uchar(qBound(0, qMin(159, v - (159 - v) * q / 128), 255));
            else
                entry = uchar(qBound(0, qMax(159, v + (v - 159) * q / 128), 255));
        }
    } else if (q > 0) {
        const int low = q * 159 / 128;
        const int high = q * 128 / 159;
        int k = 0;
        while (k < 256 && t[k] < low)
            t[k++] = 0;
        int j = 255;
        while (j >= 0 && t[j] + high >= 256)
            t[j--] = 255;
        const int n = 256 - (low + high);
        if (j >= k && n > 0) {
            const double scale = 256.0 / n;
            for (int i = k; i <= j; ++i) {
                const int v = t[i];
                if (v < low && v >= 256 - high)
                    continue;
                t[i] = uchar(qMin(255, int((v - low) * scale + 0.5)));
            }
        }
    }
    return t;
}

QImage BrightnessContrast::prepared(const QImage &image)
{
    const QImage::Format format = image.format();
    if (image.isNull() || adjustable(format))
        return image;
    if (format == QImage::Format_Grayscale16)
        return image.convertToFormat(QImage::Format_Grayscale8);
    return image.convertToFormat(image.hasAlphaChannel() ? QImage::Format_ARGB32
                                                         : QImage::Format_RGB32);
}

QImage BrightnessContrast::blankResult(const QImage &prepared, const Table &table)
{
    QImage result(prepared.size(), prepared.format());
    result.setDotsPerMeterX(prepared.dotsPerMeterX());
    result.setDotsPerMeterY(prepared.dotsPerMeterY());
    result.setOffset(prepared.offset());
    result.setColorSpace(prepared.colorSpace());
    const QStringList keys = prepared.textKeys();
    for (const QString &key : keys)
        result.setText(key, prepared.text(key));
    if (indexed(prepared.format())) {
        // The indices stay; their colours change, alpha kept.
        QVector<QRgb> colours = prepared.colorTable();
        for (QRgb &c : colours)
            c = qRgba(table[qRed(c)], table[qGreen(c)], table[qBlue(c)], qAlpha(c));
        result.setColorTable(colours);
    }
    return result;
}

void BrightnessContrast::apply(const QImage &source, QImage &result, const Table &table,
                               int firstRow, int rowCount)
{
    const int lastRow = qMin(firstRow + rowCount, source.height());
    const QImage::Format format = source.format();
    // constScanLine: the result may be shared with the caller's records; writing through
    // it must not detach a private copy on this thread.
    const auto target = [&result](int y) { return const_cast<uchar *>(result.constScanLine(y)); };
    if (indexed(format)) {
        const size_t bytes = size_t(qMin(source.bytesPerLine(), result.bytesPerLine()));
        for (int y = firstRow; y < lastRow; ++y)
            std::memcpy(target(y), source.constScanLine(y), bytes);
        return;
    }
    if (format == QImage::Format_RGB32 || format == QImage::Format_ARGB32) {
        // One look-up per colour channel into tables already shifted into place; alpha
        // passes through untouched.
        quint32 red[256], green[256], blue[256];
        for (int i = 0; i < 256; ++i) {
            red[i] = quint32(table[i]) << 16;
            green[i] = quint32(table[i]) << 8;
            blue[i] = table[i];
        }
        const int width = source.width();
        for (int y = firstRow; y < lastRow; ++y) {
            const auto *in = reinterpret_cast<const quint32 *>(source.constScanLine(y));
            auto *out = reinterpret_cast<quint32 *>(target(y));
            for (int x = 0; x < width; ++x) {
                const quint32 p = in[x];
                out[x] = (p & 0xff000000u) | red[(p >> 16) & 0xff] | green[(p >> 8) & 0xff]
                        | blue[p & 0xff];
            }
        }
        return;
    }
    // One byte per channel, no alpha: every byte of the pixels is a colour.
    const int bytes = source.width() * source.depth() / 8;
    for (int y = firstRow; y < lastRow; ++y) {
        const uchar *in = source.constScanLine(y);
        uchar *out = target(y);
        for (int x = 0; x < bytes; ++x)
            out[x] = table[in[x]];
    }
}

int BrightnessContrast::stripeRows(int height)
{
    // Enough stripes to keep every pool thread busy on one image, few enough that starting
    // them costs nothing next to the pixels.
    const int stripes = qMax(1, QThread::idealThreadCount()) * 2;
    return qMax(64, (height + stripes - 1) / stripes);
}

QImage BrightnessContrast::adjusted(const QImage &image, int brightness, int contrast)
{
    const QImage source = prepared(image);
    if (source.isNull())
        return source;
    const Table t = table(brightness, contrast);
    QImage result = blankResult(source, t);
    apply(source, result, t, 0, source.height());
    return result;
}

BrightnessContrast::Values BrightnessContrast::autoValues(const QImage &image)
{
    // Read as 32-bit pixels whatever the stored format; alpha plays no part.
    const QImage pixels = image.convertToFormat(QImage::Format_ARGB32);
    int darkest = 765, minimum = 255, brightest = 0, maximum = 0;
    for (int y = 0; y < pixels.height(); ++y) {
        const auto *line = reinterpret_cast<const QRgb *>(pixels.constScanLine(y));
        for (int x = 0; x < pixels.width(); ++x) {
            const int c[3] = { qRed(line[x]), qGreen(line[x]), qBlue(line[x]) };
            const int s = c[0] + c[1] + c[2];
            if (s < darkest && s != 0) {
                for (int v : c) {
                    if (v < minimum && v != 0)
                        minimum = v;
                }
                darkest = s;
            }
            if (s > brightest && s <= 764) {
                for (int v : c) {
                    if (v > maximum && v <= 254)
                        maximum = v;
                }
                brightest = s;
            }
        }
    }
    const int lo = minimum == 255 ? 0 : minimum;
    const int hi = maximum == 0 ? 255 : maximum;
    return { 127 - (hi + lo) / 2, (lo - hi + 256) / 2 };
}
