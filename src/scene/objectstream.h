#pragma once

#include <QDataStream>
#include <QList>
#include <QPointF>
#include <memory>
#include <vector>

class LVScene;
class ObjectItem;
class PageItem;
class QGraphicsItem;
class QImage;
class QByteArray;

// The stream layout of scene objects, shared by the "objectData" clipboard format and
// the framework's document file. The reader takes bytes that any program may have put
// on the clipboard: it trusts no count or type, stops at the first damaged record and
// keeps the objects read before it.
class ObjectStream
{
public:
    static constexpr int currentVersion = 3;
    static constexpr quint32 documentMagic = 0xABCDABCD;
    // What the decoded images of one read may take together: a paste, or a document.
    static constexpr qint64 maxImageBytes = qint64(1) << 30;

    // A record to write: the object, with its position and rotation in the coordinates of
    // what holds the record, a page or a group. They are not the object's own when a group
    // between them is left out.
    struct Placement
    {
        const ObjectItem *object;
        QPointF pos;
        double rotation;
    };
    // The records that stand for item in an object list. Readers take only images as the
    // members of a group, so a group is written as a group only when it holds nothing but
    // images, the images of groups within it joining it; any other group is written as
    // its members, in the coordinates of its parent.
    static QList<Placement> placements(const ObjectItem &item);
    // A whole record after its type: the common part, a group's images, the type's fields.
    static void writeRecord(QDataStream &out, const Placement &placement);
    static bool readCommon(QDataStream &in, ObjectItem &item, int version);

    // An object list: the count of records, then type and record of each.
    static void writeList(QDataStream &out, const QList<QGraphicsItem *> &items);
    // Reads an object list into page (direct: attached at once; otherwise through undo
    // commands), moves each object by (offset, offset) and selects them when asked.
    static QList<ObjectItem *> readList(QDataStream &in, PageItem *page, bool direct, int version,
                                        int offset, bool select);
    // The two halves of readList. parseList reads the objects without adding them anywhere,
    // so that a caller can tell whether anything is there before it records a change; the
    // images of one parse may decode to maxImageBytes together.
    static std::vector<std::unique_ptr<ObjectItem>> parseList(QDataStream &in, int version);
    static QList<ObjectItem *> addToPage(std::vector<std::unique_ptr<ObjectItem>> objects,
                                         PageItem *page, bool direct, int offset, bool select);

    // PNG bytes of an image, and back; false when the bytes do not decode or would take
    // more than what is left of the running read's image budget.
    static QByteArray pngBytes(const QImage &image);
    static bool imageFromPng(const QByteArray &bytes, QImage *image);
    // Reads the PNG bytes field of an image record: false when the stream is damaged;
    // otherwise image holds the decoded picture, null when the bytes do not decode.
    static bool readPng(QDataStream &in, QImage *image);

    // Guards for reading untrusted bytes: what is left, marking the stream damaged, and
    // whether the length prefix of the string or byte array ahead fits in what is left.
    static qint64 bytesLeft(const QDataStream &in);
    static bool fail(QDataStream &in, QDataStream::Status status = QDataStream::ReadCorruptData);
    static bool lengthFits(QDataStream &in);
    static bool colourSpecFits(QDataStream &in);

    // The framework's document file: header, then each page with its objects.
    static void writeDocument(QDataStream &out, const LVScene &scene);
    static bool readDocument(QDataStream &in, LVScene &scene);
};
