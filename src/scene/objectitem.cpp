#include "objectitem.h"

#include "framework/lvmainwindow.h"
#include "framework/lvscene.h"
#include "objectstream.h"
#include "pageitem.h"

#include <QGraphicsView>
#include <QPainter>

ObjectItem::ObjectItem(QGraphicsItem *parent) : QGraphicsItemGroup(parent)
{
    setFlags(ItemIsMovable | ItemIsSelectable | ItemIsFocusable);
    setAcceptHoverEvents(true);
}

int ObjectItem::type() const
{
    return isGroup ? int(GroupType) : 0;
}

double ObjectItem::viewScale() const
{
    if (QGraphicsScene *s = scene()) {
        const auto views = s->views();
        if (!views.isEmpty()) {
            const double m11 = views.first()->transform().m11();
            if (m11 > 0)
                return m11;
        }
    }
    return 1.0;
}

QRectF ObjectItem::boundingRect() const
{
    // Twice the corner circles' radius, so they stay inside at every zoom.
    const double m = handleSize / (viewScale() * 0.5) + 0.5;
    return rect.adjusted(-m, -m, m, m);
}

bool ObjectItem::scenePrinting() const
{
    auto *s = dynamic_cast<LVScene *>(scene());
    return s && s->printing;
}

int ObjectItem::programMode() const
{
    auto *s = dynamic_cast<LVScene *>(scene());
    return s ? s->mode() : 0;
}

void ObjectItem::paintFrame(QPainter *painter, const QRectF &frame)
{
    QPen framePen(Qt::gray, 0, Qt::DashLine, Qt::SquareCap, Qt::MiterJoin);
    framePen.setCosmetic(true);
    painter->setPen(framePen);
    painter->setBrush(Qt::NoBrush);
    painter->drawRect(frame);
}

void ObjectItem::paintSelection(QPainter *painter, const QRectF &frame)
{
    paintFrame(painter, frame);
    const double s = viewScale();
    const double r = handleSize / s;
    painter->setPen(QPen(Qt::blue, 1 / s, Qt::SolidLine, Qt::SquareCap, Qt::BevelJoin));
    painter->setBrush(Qt::magenta);
    for (const QPointF &corner :
         {frame.topLeft(), frame.topRight(), frame.bottomLeft(), frame.bottomRight()})
        painter->drawEllipse(corner, r, r);
}

void ObjectItem::paint(QPainter *painter, const QStyleOptionGraphicsItem *, QWidget *)
{
    if (scenePrinting())
        return;
    painter->setRenderHint(QPainter::Antialiasing);
    if (isSelected())
        paintSelection(painter, rect);
    else if (hovered || highlighted)
        paintFrame(painter, rect);
}

void ObjectItem::setProperty(int id, const QVariant &value)
{
    switch (id) {
    case NameProperty:
        name = value.toString();
        break;
    case XProperty:
        setX(value.toDouble());
        break;
    case YProperty:
        setY(value.toDouble());
        break;
    case Value13Property:
        value13 = value.toDouble();
        break;
    case Value14Property:
        value14 = qint8(value.toInt());
        break;
    case RotationProperty:
        setRotation(value.toDouble());
        break;
    case WidthProperty:
        setRect(QRectF(rect.topLeft(), QSizeF(value.toDouble(), rect.height())));
        break;
    case HeightProperty:
        setRect(QRectF(rect.topLeft(), QSizeF(rect.width(), value.toDouble())));
        break;
    case ZProperty:
        setZValue(value.toDouble());
        break;
    default:
        break;
    }
}

QVariant ObjectItem::property(int id) const
{
    switch (id) {
    case NameProperty:
        return name;
    case XProperty:
        return x();
    case YProperty:
        return y();
    case Value13Property:
        return value13;
    case Value14Property:
        return int(value14);
    case RotationProperty:
        return rotation();
    case WidthProperty:
        return rect.width();
    case HeightProperty:
        return rect.height();
    case ZProperty:
        return zValue();
    default:
        return QVariant();
    }
}

bool ObjectItem::read(QDataStream &in, int version)
{
    return ObjectStream::readCommon(in, *this, version);
}

void ObjectItem::write(QDataStream &out) const
{
    ObjectStream::writeRecord(out, { this, pos(), rotation() });
}

void ObjectItem::writeFields(QDataStream &) const {}

void ObjectItem::flipMirroredMark()
{
    mirrored = !mirrored;
    if (!isGroup)
        return;
    const auto children = childItems();
    for (QGraphicsItem *child : children) {
        if (auto *object = dynamic_cast<ObjectItem *>(child))
            object->flipMirroredMark();
    }
}

void ObjectItem::flipQuarterTurnMark()
{
    quarterTurned = !quarterTurned;
    if (!isGroup)
        return;
    const auto children = childItems();
    for (QGraphicsItem *child : children) {
        if (auto *object = dynamic_cast<ObjectItem *>(child))
            object->flipQuarterTurnMark();
    }
}

void ObjectItem::setRect(const QRectF &r)
{
    prepareGeometryChange();
    rect = r;
}

QRectF ObjectItem::mapRectFromPage(const QRectF &r) const
{
    for (QGraphicsItem *ancestor = parentItem(); ancestor; ancestor = ancestor->parentItem()) {
        if (dynamic_cast<PageItem *>(ancestor))
            return mapRectFromItem(ancestor, r);
    }
    return mapRectFromParent(r);
}

ObjectItem *ObjectItem::outermostObject()
{
    ObjectItem *object = this;
    while (auto *holder = dynamic_cast<ObjectItem *>(object->parentItem())) {
        if (!holder->isGroup)
            break;
        object = holder;
    }
    return object;
}

QVariant ObjectItem::itemChange(GraphicsItemChange change, const QVariant &value)
{
    // Qt hands the selection of a member to its group only for the type of
    // QGraphicsItemGroup, which objects replace: a rubber band or a selection of every
    // image would pick members one by one, and their group would then lose them.
    if (change == ItemSelectedChange && value.toBool()) {
        ObjectItem *outer = outermostObject();
        if (outer != this) {
            outer->setSelected(true);
            return false;
        }
    }
    return QGraphicsItemGroup::itemChange(change, value);
}

void ObjectItem::hoverEnterEvent(QGraphicsSceneHoverEvent *event)
{
    hovered = true;
    update();
    QGraphicsItemGroup::hoverEnterEvent(event);
}

void ObjectItem::hoverLeaveEvent(QGraphicsSceneHoverEvent *event)
{
    hovered = false;
    update();
    QGraphicsItemGroup::hoverLeaveEvent(event);
}
