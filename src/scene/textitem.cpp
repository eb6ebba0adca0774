#include "textitem.h"

#include "objectstream.h"

#include <QDataStream>
#include <QFontMetricsF>
#include <QPainter>
#include <QtEndian>
#include <cmath>

namespace {

// The fewest bytes a fragment takes: its bool, a position in single precision and the
// length of its text.
constexpr qint64 minFragmentBytes = 1 + 2 * 4 + 4;
// Font sizes beyond any paper; larger ones in a stream are damage, not a form.
constexpr double maxFontSize = 4096;

bool readString(QDataStream &in, QString *text)
{
    if (!ObjectStream::lengthFits(in))
        return false;
    in >> *text;
    return in.status() == QDataStream::Ok;
}

bool readFont(QDataStream &in, QFont *font)
{
    if (!ObjectStream::lengthFits(in))
        return false;
    // From Qt 5.13 on a font ends with its list of families, and the stream reserves room
    // for the list's stated count before reading a single name. The font is read without
    // that list, and the list is read here against the bytes that are left.
    const int version = in.version();
    const bool withFamilies = version >= QDataStream::Qt_5_13;
    if (withFamilies)
        in.setVersion(QDataStream::Qt_5_12);
    in >> *font;
    in.setVersion(version);
    if (in.status() != QDataStream::Ok)
        return false;
    if (withFamilies) {
        quint32 count = 0;
        in >> count;
        if (in.status() != QDataStream::Ok)
            return false;
        if (count > ObjectStream::bytesLeft(in) / 4)
            return ObjectStream::fail(in, QDataStream::ReadPastEnd);
        QStringList families;
        for (quint32 i = 0; i < count; ++i) {
            QString family;
            if (!readString(in, &family))
                return false;
            families.append(family);
        }
        font->setFamilies(families);
    }
    // -1 means the other size is the one in use. Painting with any other size outside
    // these bounds crashes inside the toolkit.
    const double pointSize = font->pointSizeF();
    const int pixelSize = font->pixelSize();
    const bool pointOk = pointSize == -1
            || (std::isfinite(pointSize) && pointSize > 0 && pointSize <= maxFontSize);
    const bool pixelOk = pixelSize == -1 || (pixelSize >= 1 && pixelSize <= maxFontSize);
    if (!pointOk || !pixelOk)
        return ObjectStream::fail(in);
    return true;
}

} // namespace

TextItem::TextItem(QGraphicsItem *parent) : ObjectItem(parent)
{
    name = QStringLiteral("TextField");
    setRect(QRectF(0, 0, 200, 25));
}

void TextItem::paint(QPainter *painter, const QStyleOptionGraphicsItem *option, QWidget *widget)
{
    painter->save();
    painter->setClipRect(rect);
    painter->setFont(font);
    painter->setPen(pen);
    const double ascent = QFontMetricsF(font).ascent();
    for (const Fragment &fragment : qAsConst(fragments)) {
        const QPointF baseline = fragment.pos + QPointF(0, ascent);
        if (std::isfinite(baseline.x()) && std::isfinite(baseline.y()))
            painter->drawText(baseline, fragment.text);
    }
    painter->restore();
    ObjectItem::paint(painter, option, widget);
}

bool TextItem::read(QDataStream &in, int version)
{
    if (!ObjectItem::read(in, version))
        return false;
    QFont newFont;
    if (!readFont(in, &newFont))
        return false;
    double newLineHeight = 0.0;
    qint32 count = 0;
    in >> newLineHeight >> count;
    if (in.status() != QDataStream::Ok)
        return false;
    if (count < 0)
        return ObjectStream::fail(in);
    QList<Fragment> newFragments;
    for (qint32 i = 0; i < count; ++i) {
        // Each fragment takes bytes, so no count can run past the end of the data.
        if (ObjectStream::bytesLeft(in) < minFragmentBytes)
            return ObjectStream::fail(in, QDataStream::ReadPastEnd);
        Fragment fragment;
        in >> fragment.flag >> fragment.pos;
        if (in.status() != QDataStream::Ok || !readString(in, &fragment.text))
            return false;
        newFragments.append(fragment);
    }
    font = newFont;
    lineHeight = newLineHeight;
    fragments = newFragments;
    layoutText();
    return true;
}

void TextItem::writeFields(QDataStream &out) const
{
    out << font << lineHeight << qint32(fragments.size());
    for (const Fragment &fragment : qAsConst(fragments))
        out << fragment.flag << fragment.pos << fragment.text;
}

void TextItem::insertText(const QString &text)
{
    QString plain = text;
    plain.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    plain.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    const QStringList lines = plain.split(QLatin1Char('\n'));
    if (fragments.isEmpty())
        fragments.append(Fragment());
    fragments.last().text += lines.first();
    for (int i = 1; i < lines.size(); ++i) {
        Fragment fragment;
        fragment.text = lines.at(i);
        fragments.append(fragment);
    }
    layoutText();
}

void TextItem::layoutText()
{
    for (int i = 0; i < fragments.size(); ++i)
        fragments[i].pos = QPointF(rect.left(), rect.top() + i * lineHeight);
    update();
}
