#pragma once

#include <QDataStream>
#include <QList>

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

    // The common part of every object record.
    static void writeCommon(QDataStream &out, const ObjectItem &item);
    static bool readCommon(QDataStream &in, ObjectItem &item, int version);

    // An object list: the count of items, then type and record of each ObjectItem.
    static void writeList(QDataStream &out, const QList<QGraphicsItem *> &items);
    // Reads an object list into page (direct: attached at once; otherwise through undo
    // commands), moves each object by (offset, offset) and selects them when asked.
    static QList<ObjectItem *> readList(QDataStream &in, PageItem *page, bool direct, int version,
                                        int offset, bool select);

    // PNG bytes of an image, and back; false when the bytes do not decode.
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

    // The framework's document file: header, then each page with its objects.
    static void writeDocument(QDataStream &out, const LVScene &scene);
    static bool readDocument(QDataStream &in, LVScene &scene);
};
