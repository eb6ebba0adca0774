#pragma once

#include <QGraphicsItem>
#include <QList>
#include <QPen>

class LVScene;
class ObjectItem;
class QDataStream;
class QMimeData;

// One page of a document. Its child items are the document's objects; the page owns
// them while they are attached.
class PageItem : public QGraphicsItem
{
public:
    explicit PageItem(QGraphicsItem *parent = nullptr);

    QRectF boundingRect() const override;
    void paint(QPainter *painter, const QStyleOptionGraphicsItem *option,
               QWidget *widget = nullptr) override;
    // Form pages take their size from the paper size and orientation.
    virtual void updatePageRect();

    void attachObject(ObjectItem *item);
    void detachObject(ObjectItem *item);
    // direct: attach at once; otherwise through an undo command.
    void addObject(ObjectItem *item, bool direct);
    QList<QGraphicsItem *> selectedObjects() const;
    void selectObjects(const QList<QGraphicsItem *> &items);
    void selectAll();
    // Deletes every object at once, without a command.
    void removeAllObjects();
    QList<ObjectItem *> objects() const;

    void copy();
    void cut();
    void paste();
    // Writes the objects of items as an object list.
    static void writeObjects(QDataStream &out, const QList<QGraphicsItem *> &items);
    // Puts the objects on the clipboard: one image as a plain image, else as "objectData".
    static void copyObjects(const QList<QGraphicsItem *> &items);
    // Reads an object list into this page; returns the objects read. Stops at the first
    // damaged or unknown record, keeping what was read before it.
    QList<ObjectItem *> readObjects(QDataStream &in, bool direct, int version, int offset,
                                    bool select);

    // Changes the page area; callers lay the pages out again.
    void setPageRect(const QRect &r);
    LVScene *lvScene() const;
    void update() { QGraphicsItem::update(); }

    QRect rect;
    QPen pen;
    int pageKind = 1;
    int paperSize = 0;
    int orientation = 0;
    int newPaperSize = 0;
    int newOrientation = 0;
    int pasteOffset = 0;
    double nextZ = 0.0;

protected:
    void hoverEnterEvent(QGraphicsSceneHoverEvent *event) override;
    void hoverMoveEvent(QGraphicsSceneHoverEvent *event) override;
    void hoverLeaveEvent(QGraphicsSceneHoverEvent *event) override;
    bool printing() const;

private:
    void pasteImage(const QImage &image);
    void pasteObjectData(const QByteArray &data);
    void updateCursor();
};
