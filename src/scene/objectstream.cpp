#include "objectstream.h"

#include "framework/pngdata.h"

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
#include <algorithm>
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

// What the images of the running read may still take; null while no read runs.
thread_local qint64 *imageBytesLeft = nullptr;

// Gives a read its image budget, unless it is part of a larger read that has one.
class ImageBudget
{
public:
    ImageBudget() : owner(!imageBytesLeft)
    {
        if (owner)
            imageBytesLeft = &left;
    }
    ~ImageBudget()
    {
        if (owner)
            imageBytesLeft = nullptr;
    }
    ImageBudget(const ImageBudget &) = delete;
    ImageBudget &operator=(const ImageBudget &) = delete;

private:
    qint64 left = ObjectStream::maxImageBytes;
    bool owner;
};

// 16-bit channels decode to 64-bit pixels; everything else to at most 32 bits.
int decodedBytesPerPixel(QImage::Format format)
{
    switch (format) {
    case QImage::Format_RGBX64:
    case QImage::Format_RGBA64:
    case QImage::Format_RGBA64_Premultiplied:
    case QImage::Format_Grayscale16:
        return 8;
    default:
        return 4;
    }
}

QList<const ObjectItem *> objectChildren(const ObjectItem &item)
{
    QList<const ObjectItem *> children;
    const auto items = item.childItems();
    for (const QGraphicsItem *child : items) {
        if (auto *object = dynamic_cast<const ObjectItem *>(child))
            children.append(object);
    }
    return children;
}

bool holdsImagesOnly(const ObjectItem &group)
{
    const auto children = objectChildren(group);
    return std::all_of(children.begin(), children.end(), [](const ObjectItem *child) {
        return child->isGroup ? holdsImagesOnly(*child) : child->type() == ObjectItem::ImageType;
    });
}

// item placed in the coordinates of holder, one of its ancestors (null: the top).
ObjectStream::Placement placedIn(const ObjectItem &item, const QGraphicsItem *holder)
{
    if (item.parentItem() == holder)
        return { &item, item.pos(), item.rotation() };
    QPointF origin;
    double rotation = 0.0;
    for (const QGraphicsItem *step = &item; step && step != holder; step = step->parentItem()) {
        origin = step->mapToParent(origin);
        rotation += step->rotation();
    }
    return { &item, origin, rotation };
}

// The members of a group that cannot be written as one, in holder's coordinates.
void appendMembers(const ObjectItem &group, const QGraphicsItem *holder,
                   QList<ObjectStream::Placement> *placements)
{
    for (const ObjectItem *child : objectChildren(group)) {
        if (child->isGroup && !holdsImagesOnly(*child))
            appendMembers(*child, holder, placements);
        else
            placements->append(placedIn(*child, holder));
    }
}

// The images of a group at any depth, in the coordinates of the group holder; anything
// else is left out, as no reader takes it as a member.
void appendImages(const ObjectItem &group, const ObjectItem &holder,
                  QList<ObjectStream::Placement> *placements)
{
    for (const ObjectItem *child : objectChildren(group)) {
        if (child->isGroup)
            appendImages(*child, holder, placements);
        else if (child->type() == ObjectItem::ImageType)
            placements->append(placedIn(*child, &holder));
    }
}

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

// Whether the colour ahead names a colour model that QColor knows. Streams older than
// version 7 hold a colour as one RGB value, with no model to check.
bool ObjectStream::colourSpecFits(QDataStream &in)
{
    if (in.version() < QDataStream::Qt_4_0)
        return true;
    QIODevice *device = in.device();
    if (!device)
        return ObjectStream::fail(in, QDataStream::ReadPastEnd);
    const QByteArray model = device->peek(1);
    if (model.isEmpty())
        return ObjectStream::fail(in, QDataStream::ReadPastEnd);
    const qint8 value = qint8(model.at(0));
    return (value >= QColor::Invalid && value <= QColor::ExtendedRgb) || ObjectStream::fail(in);
}

QList<ObjectStream::Placement> ObjectStream::placements(const ObjectItem &item)
{
    QList<Placement> result;
    if (!item.isGroup || holdsImagesOnly(item))
        result.append({ &item, item.pos(), item.rotation() });
    else
        appendMembers(item, item.parentItem(), &result);
    return result;
}

void ObjectStream::writeRecord(QDataStream &out, const Placement &placement)
{
    const ObjectItem &item = *placement.object;
    QList<Placement> members;
    if (item.isGroup)
        appendImages(item, item, &members);
    out << placement.pos << item.rect << item.color << item.value14 << item.value13
        << placement.rotation << qint32(members.size());
    for (const Placement &member : qAsConst(members)) {
        out << qint32(member.object->type());
        writeRecord(out, member);
    }
    item.writeFields(out);
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

    // The stream takes any colour model byte into the colour, where a value outside the
    // enumeration is undefined behaviour: the byte is checked before.
    if (!colourSpecFits(in))
        return false;
    QColor color;
    qint8 value14 = 0;
    double value13 = 0.0;
    double rotation = 0.0;
    in >> color >> value14 >> value13 >> rotation;
    if (in.status() != QDataStream::Ok)
        return false;
    if (!std::isfinite(rotation))
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
    // Counted once the records are known, so that the count always matches.
    QList<Placement> records;
    for (const QGraphicsItem *item : items) {
        if (auto *object = dynamic_cast<const ObjectItem *>(item))
            records.append(placements(*object));
    }
    out << qint32(records.size());
    for (const Placement &record : qAsConst(records)) {
        out << qint32(record.object->type());
        writeRecord(out, record);
    }
}

QList<ObjectItem *> ObjectStream::readList(QDataStream &in, PageItem *page, bool direct,
                                           int version, int offset, bool select)
{
    if (!page)
        return {};
    return addToPage(parseList(in, version), page, direct, offset, select);
}

std::vector<std::unique_ptr<ObjectItem>> ObjectStream::parseList(QDataStream &in, int version)
{
    std::vector<std::unique_ptr<ObjectItem>> objects;
    if (in.status() != QDataStream::Ok)
        return objects;
    const ImageBudget budget;
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
        std::unique_ptr<ObjectItem> object(createObject(type));
        if (!object) {
            ObjectStream::fail(in);
            break;
        }
        // A group is read whole before it joins a page: addToGroup gives its members the
        // same transform either way, and a pushed command could not be withdrawn.
        if (!object->read(in, version) || in.status() != QDataStream::Ok) {
            ObjectStream::fail(in);
            break;
        }
        objects.push_back(std::move(object));
    }
    return objects;
}

QList<ObjectItem *> ObjectStream::addToPage(std::vector<std::unique_ptr<ObjectItem>> objects,
                                            PageItem *page, bool direct, int offset, bool select)
{
    QList<ObjectItem *> added;
    for (auto &owned : objects) {
        ObjectItem *object = owned.release();
        page->addObject(object, direct);
        object->setPos(object->pos() + QPointF(offset, offset));
        object->initialPos = object->pos();
        added.append(object);
    }
    if (select) {
        QList<QGraphicsItem *> items;
        items.reserve(added.size());
        for (ObjectItem *object : qAsConst(added))
            items.append(object);
        page->selectObjects(items);
    }
    return added;
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
    if (!PngData::chunksFit(bytes))
        return false;
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, "PNG");
    // The header states the size; a huge one would be allocated before any pixel is read.
    // What a decode may allocate counts against the read's budget whether or not the
    // pixels turn out whole.
    const QSize size = reader.size();
    if (!size.isValid())
        return false;
    const qint64 decodedBytes
            = qint64(size.width()) * size.height() * decodedBytesPerPixel(reader.imageFormat());
    if (decodedBytes > (imageBytesLeft ? *imageBytesLeft : maxImageBytes))
        return false;
    if (imageBytesLeft)
        *imageBytesLeft -= decodedBytes;
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
    const ImageBudget budget;

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
