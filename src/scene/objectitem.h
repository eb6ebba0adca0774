#pragma once

#include <QColor>
#include <QGraphicsItemGroup>
#include <QPen>
#include <QVariant>

class QDataStream;

// Base of every object of a document: the object rectangle, the selection drawing, the
// position remembered for move commands, grouping, and the stream record.
class ObjectItem : public QGraphicsItemGroup
{
public:
    enum {
        TextType = UserType + 1,
        ImageType = UserType + 2,
        RectType = UserType + 3,
        LineType = UserType + 4,
        CheckMarkType = UserType + 5,
        GroupType = UserType + 6
    };
    // Property ids understood by setProperty.
    enum Property {
        NameProperty = 0,
        XProperty = 1,
        YProperty = 2,
        LockedProperty = 11,
        Value13Property = 13,
        Value14Property = 14,
        RotationProperty = 15,
        WidthProperty = 16,
        HeightProperty = 17,
        ZProperty = 19
    };

    explicit ObjectItem(QGraphicsItem *parent = nullptr);

    int type() const override;
    QRectF boundingRect() const override;
    void paint(QPainter *painter, const QStyleOptionGraphicsItem *option,
               QWidget *widget = nullptr) override;

    // Applies one value of a property record.
    virtual void setProperty(int id, const QVariant &value);
    // The current value of a property, as setProperty takes it.
    virtual QVariant property(int id) const;
    // The record after the type: the common part, then the type's own fields.
    virtual bool read(QDataStream &in, int version);
    void write(QDataStream &out) const;
    // The fields that the object's type adds after the common part.
    virtual void writeFields(QDataStream &out) const;
    virtual void paintFrame(QPainter *painter, const QRectF &frame);

    void rememberPosition() { rememberedPos = pos(); }
    // What a click on this object selects and moves: the outermost group holding it, or
    // the object itself.
    ObjectItem *outermostObject();
    void flipMirroredMark();
    void flipQuarterTurnMark();
    void setRect(const QRectF &r);
    // A rectangle of the page the object lies on, in the object's coordinates; also for
    // a member of a group. Without a page, from the parent's coordinates.
    QRectF mapRectFromPage(const QRectF &r) const;
    // The horizontal scale of the scene's first view; 1 without a view.
    double viewScale() const;
    // The selection frame and the corner circles around frame.
    void paintSelection(QPainter *painter, const QRectF &frame);

    bool isGroup = false;
    ObjectItem *group = nullptr;
    bool mirrored = false;
    bool quarterTurned = false;
    QRectF rect;
    QPen pen;
    double handleSize = 2.7;
    QPointF rememberedPos;
    bool hovered = false;
    bool highlighted = false;
    QString name;
    QColor color;
    qint8 value14 = 0;
    double value13 = 0.0;
    int dragMode = 0;
    QPointF initialPos;

protected:
    QVariant itemChange(GraphicsItemChange change, const QVariant &value) override;
    void hoverEnterEvent(QGraphicsSceneHoverEvent *event) override;
    void hoverLeaveEvent(QGraphicsSceneHoverEvent *event) override;
    // True while the scene renders for printing or saving: no screen decorations.
    bool scenePrinting() const;
    // The main window's program mode, 0 without one.
    int programMode() const;
};
