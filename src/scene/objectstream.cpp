#include "objectstream.h"

#include "checkmarkitem.h"
#include "framework/lvscene.h"
#include "lineitem.h"
#include "objectitem.h"
#include "pageitem.h"
#include "rectitem.h"
#include "textitem.h"
#include "vrimageitem.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QDataStream>
#include <QGraphicsView>
#include <QImage>
#include <QImageReader>
#include <QMessageBox>
#include <QPageLayout>
#include <QPageSize>
#include <QtEndian>
#include <cmath>

namespace {

// The stream version of everything after a document's format version.
constexpr int documentStreamVersion = QDataStream::Qt_5_1;

// The fewest bytes an entry of an object list can take: the type, then a position and a
// rectangle even in single precision. Counts are checked against it so that no count
// can make the reader loop or allocate beyond the bytes it has.
constexpr qint64 minEntryBytes = 4 + 2 * 4 + 4 * 4;
// A page of a document: two qint8 values and the count of its object list.
constexpr qint64 minPageBytes = 1 + 1 + 4;

// Images whose pixels would take more than this at 32 bits each are not decoded.
constexpr qint64 maxImageBytes = qint64(1) << 30;

bool isFinite(const QPointF &point)
{
    return std::isfinite(point.x()) && std::isfinite(point.y());
}

bool isFinite(const QRectF &rect)
{
    return isFinite(rect.topLeft()) && std::isfinite(rect.width()) && std::isfinite(rect.height());
}

ObjectItem *createObject(int type)
{
    switch (type) {
    case ObjectItem::TextType:
        return new TextItem;
    case ObjectItem::ImageType:
        return new VRImageItem;
    case ObjectItem::RectType:
        return new RectItem;
    case ObjectItem::LineType:
        return new LineItem;
    case ObjectItem::CheckMarkType:
        return new CheckMarkItem;
    case ObjectItem::GroupType: {
        auto *group = new ObjectItem;
        group->isGroup = true;
        return group;
    }
    default:
        return nullptr;
    }
}

} // namespace

qint64 ObjectStream::bytesLeft(const QDataStream &in)
{
    const QIODevice *device = in.device();
    return device ? device->bytesAvailable() : 0;
}

bool ObjectStream::fail(QDataStream &in, QDataStream::Status status)
{
    // setStatus keeps an earlier error, so the first cause is the one reported.
    in.setStatus(status);
    return false;
}

// Whether the 4-byte length prefix of the QString or QByteArray ahead fits in the bytes
// that are left, looked at before the value is read.
bool ObjectStream::lengthFits(QDataStream &in)
{
    QIODevice *device = in.device();
    if (!device)
        return ObjectStream::fail(in, QDataStream::ReadPastEnd);
    const QByteArray prefix = device->peek(4);
    if (prefix.size() < 4)
        return ObjectStream::fail(in, QDataStream::ReadPastEnd);
    const quint32 length = in.byteOrder() == QDataStream::BigEndian
            ? qFromBigEndian<quint32>(prefix.constData())
            : qFromLittleEndian<quint32>(prefix.constData());
    if (length == 0xffffffff) // the null value
        return true;
    return qint64(length) <= device->bytesAvailable() - 4
            || ObjectStream::fail(in, QDataStream::ReadPastEnd);
}

void ObjectStream::writeCommon(QDataStream &out, const ObjectItem &item)
{
    QList<const ObjectItem *> children;
    if (item.isGroup) {
        const auto items = item.childItems();
        for (const QGraphicsItem *child : items) {
            if (auto *object = dynamic_cast<const ObjectItem *>(child))
                children.append(object);
        }
    }
    out << item.pos() << item.rect << item.color << item.value14 << item.value13 << item.rotation()
        << qint32(children.size());
    for (const ObjectItem *child : qAsConst(children)) {
        out << qint32(child->type());
        child->write(out);
    }
}

bool ObjectStream::readCommon(QDataStream &in, ObjectItem &item, int version)
{
    QPointF pos;
    QRectF rect;
    in >> pos >> rect;
    if (in.status() != QDataStream::Ok)
        return false;
    if (!isFinite(pos) || !isFinite(rect))
        return ObjectStream::fail(in);
    item.setPos(pos);
    item.setRect(rect);
    if (version < 2)
        return true;

    QColor color;
    qint8 value14 = 0;
    double value13 = 0.0;
    double rotation = 0.0;
    in >> color >> value14 >> value13 >> rotation;
    if (in.status() != QDataStream::Ok)
        return false;
    // The stream accepts any colour model byte; later conversions do not.
    if (color.spec() < QColor::Invalid || color.spec() > QColor::ExtendedRgb
        || !std::isfinite(rotation))
        return ObjectStream::fail(in);
    item.color = color;
    item.value14 = value14;
    item.value13 = value13;
    item.setRotation(rotation);
    if (version < 3)
        return true;

    qint32 childCount = 0;
    in >> childCount;
    if (in.status() != QDataStream::Ok)
        return false;
    // Only groups have members, and members are images, which cannot have members of
    // their own: nesting ends here.
    if (childCount < 0 || (childCount > 0 && !item.isGroup))
        return ObjectStream::fail(in);
    for (qint32 i = 0; i < childCount; ++i) {
        if (ObjectStream::bytesLeft(in) < minEntryBytes)
            return ObjectStream::fail(in, QDataStream::ReadPastEnd);
        qint32 type = 0;
        in >> type;
        if (in.status() != QDataStream::Ok)
            return false;
        // Other member types have records this reader cannot skip.
        if (type != ObjectItem::ImageType)
            return ObjectStream::fail(in);
        auto *child = new VRImageItem;
        item.addToGroup(child);
        child->group = &item;
        if (!child->read(in, version) || in.status() != QDataStream::Ok) {
            delete child;
            return ObjectStream::fail(in);
        }
    }
    return true;
}

void ObjectStream::writeList(QDataStream &out, const QList<QGraphicsItem *> &items)
{
    // Only objects have records, so only they are counted: the count always matches.
    QList<const ObjectItem *> objects;
    for (const QGraphicsItem *item : items) {
        if (auto *object = dynamic_cast<const ObjectItem *>(item))
            objects.append(object);
    }
    out << qint32(objects.size());
    for (const ObjectItem *object : qAsConst(objects)) {
        out << qint32(object->type());
        object->write(out);
    }
}

QList<ObjectItem *> ObjectStream::readList(QDataStream &in, PageItem *page, bool direct,
                                           int version, int offset, bool select)
{
    QList<ObjectItem *> objects;
    if (!page || in.status() != QDataStream::Ok)
        return objects;
    qint32 count = 0;
    in >> count;
    if (in.status() == QDataStream::Ok && count < 0)
        ObjectStream::fail(in);

    for (qint32 i = 0; i < count && in.status() == QDataStream::Ok; ++i) {
        // Every entry takes bytes, so this ends the loop however large count is.
        if (ObjectStream::bytesLeft(in) < minEntryBytes) {
            ObjectStream::fail(in, QDataStream::ReadPastEnd);
            break;
        }
        qint32 type = 0;
        in >> type;
        if (in.status() != QDataStream::Ok)
            break;
        // An unknown type has a record of unknown length: nothing after it can be trusted.
        ObjectItem *object = createObject(type);
        if (!object) {
            ObjectStream::fail(in);
            break;
        }
        // A group joins the page before its members are read. Through the undo stack it
        // joins only once whole, because a pushed command cannot be withdrawn inside the
        // paste macro; addToGroup gives the members the same transform either way.
        const bool addedFirst = object->isGroup && direct;
        if (addedFirst)
            page->addObject(object, true);
        if (!object->read(in, version) || in.status() != QDataStream::Ok) {
            ObjectStream::fail(in);
            if (addedFirst)
                page->detachObject(object);
            delete object;
            break;
        }
        if (!addedFirst)
            page->addObject(object, direct);
        object->setPos(object->pos() + QPointF(offset, offset));
        object->initialPos = object->pos();
        objects.append(object);
    }

    if (select) {
        QList<QGraphicsItem *> items;
        items.reserve(objects.size());
        for (ObjectItem *object : qAsConst(objects))
            items.append(object);
        page->selectObjects(items);
    }
    return objects;
}

QByteArray ObjectStream::pngBytes(const QImage &image)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes;
}

bool ObjectStream::imageFromPng(const QByteArray &bytes, QImage *image)
{
    if (!image)
        return false;
    *image = QImage();
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, "PNG");
    // The header states the size; a huge one would be allocated before any pixel is read.
    const QSize size = reader.size();
    if (!size.isValid() || qint64(size.width()) * size.height() * 4 > maxImageBytes)
        return false;
    QImage decoded;
    if (!reader.read(&decoded))
        return false;
    *image = decoded;
    return true;
}

bool ObjectStream::readPng(QDataStream &in, QImage *image)
{
    if (image)
        *image = QImage();
    if (!ObjectStream::lengthFits(in))
        return false;
    QByteArray bytes;
    in >> bytes;
    if (in.status() != QDataStream::Ok)
        return false;
    QImage decoded;
    imageFromPng(bytes, &decoded);
    if (image)
        *image = decoded;
    return true;
}

void ObjectStream::writeDocument(QDataStream &out, const LVScene &scene)
{
    out << documentMagic << qint32(currentVersion);
    out.setVersion(documentStreamVersion);
    out << scene.name << scene.formFlag << scene.formPoint << qint32(scene.pages.size());
    for (const PageItem *page : scene.pages) {
        out << qint8(page->orientation) << qint8(page->paperSize);
        writeList(out, page->childItems());
    }
}

bool ObjectStream::readDocument(QDataStream &in, LVScene &scene)
{
    quint32 magic = 0;
    in >> magic;
    if (in.status() != QDataStream::Ok || magic != documentMagic)
        return false;
    qint32 version = 0;
    in >> version;
    if (in.status() != QDataStream::Ok || version <= 0)
        return false;
    if (version > currentVersion) {
        QMessageBox::warning(
                scene.views().value(0), QCoreApplication::translate("LVScene", "Tarvex"),
                QCoreApplication::translate("LVScene", "Could not open a new file format."));
        return false;
    }
    // Every writer of this format, this one included, writes what follows the version in
    // this stream version, so it is read that way whatever the caller's default.
    in.setVersion(documentStreamVersion);

    QString name;
    bool formFlag = false;
    QPointF formPoint;
    qint32 pageCount = 0;
    if (!ObjectStream::lengthFits(in))
        return false;
    in >> name >> formFlag >> formPoint >> pageCount;
    if (in.status() != QDataStream::Ok)
        return false;
    if (!isFinite(formPoint) || pageCount < 0)
        return ObjectStream::fail(in);
    scene.name = name;
    scene.formFlag = formFlag;
    scene.formPoint = formPoint;

    for (qint32 i = 0; i < pageCount; ++i) {
        if (ObjectStream::bytesLeft(in) < minPageBytes)
            return ObjectStream::fail(in, QDataStream::ReadPastEnd);
        qint8 orientation = 0;
        qint8 paperSize = 0;
        in >> orientation >> paperSize;
        if (in.status() != QDataStream::Ok)
            return false;
        if (orientation < QPageLayout::Portrait || orientation > QPageLayout::Landscape
            || paperSize < 0 || paperSize > QPageSize::LastPageSize)
            return ObjectStream::fail(in);
        auto *page = new PageItem;
        page->orientation = orientation;
        page->paperSize = paperSize;
        page->updatePageRect();
        readList(in, page, true, version, 0, false);
        // The objects read whole before any damage stay on their page.
        scene.addPageCommand(page);
        if (in.status() != QDataStream::Ok)
            return false;
    }
    return true;
}
