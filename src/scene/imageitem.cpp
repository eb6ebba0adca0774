#include "imageitem.h"

#include "framework/lvscene.h"
#include "objectstream.h"

#include <QCursor>
#include <QDataStream>
#include <QDebug>
#include <QGraphicsSceneMouseEvent>
#include <QPainter>

ImageItem::ImageItem(const QImage &image, QGraphicsItem *parent)
    : ObjectItem(parent), image(image)
{
    name = QStringLiteral("Image");
    initialPos = pos();
    updateGeometry();
}

ImageItem::~ImageItem() = default;

void ImageItem::updateGeometry()
{
    // The image's physical size in units of 1/96 inch; images without a resolution
    // count as 96 dpi.
    const auto units = [](int pixels, int dotsPerMetre) {
        return dotsPerMetre > 0 ? pixels / (dotsPerMetre / 39.37007874015748 / 96) : double(pixels);
    };
    setRect(QRectF(0, 0, units(image.width(), image.dotsPerMeterX()),
                   units(image.height(), image.dotsPerMeterY())));
}

void ImageItem::setImage(const QImage &newImage)
{
    image = newImage;
    update();
}

void ImageItem::setPreview(const QImage &newPreview)
{
    preview = std::make_unique<QImage>(newPreview);
    update();
}

void ImageItem::clearPreview()
{
    preview.reset();
    update();
}

void ImageItem::ensurePreview()
{
    if (preview)
        return;
    keepBaseImage();
    preview = std::make_unique<QImage>(image);
}

void ImageItem::keepBaseImage()
{
    if (operations.isEmpty() && !baseImage)
        baseImage = std::make_unique<QImage>(image);
}

void ImageItem::setLocked(bool lock)
{
    locked = lock;
    setFlags(lock ? (ItemIsSelectable | ItemIsFocusable)
                  : (ItemIsMovable | ItemIsSelectable | ItemIsFocusable));
}

void ImageItem::applyOperation(const ImageOperation &operation)
{
    operations.append(operation);
    operation->apply(this);
    updateGeometry();
}

void ImageItem::undoLastOperation()
{
    if (operations.isEmpty())
        return;
    const ImageOperation last = operations.takeLast();
    if (last->reversible) {
        last->revert(this);
        updateGeometry();
        return;
    }
    // Only the pixels are rebuilt. Where the object stands is up to the undone step: turns,
    // groups and drags of groups move it without any operation, so replaying the moves
    // from the first place would put it somewhere it never was.
    const QPointF place = pos();
    if (baseImage)
        image = *baseImage;
    for (const ImageOperation &operation : qAsConst(operations))
        operation->apply(this);
    setPos(place);
    updateGeometry();
    update();
}

void ImageItem::paint(QPainter *painter, const QStyleOptionGraphicsItem *option, QWidget *widget)
{
    const bool printing = scenePrinting();
    auto *lv = dynamic_cast<LVScene *>(scene());
    // A form printed on preprinted paper leaves its images out.
    if (!(printing && lv && lv->formFlag))
        painter->drawImage(rect, preview ? *preview : image);
    if (printing)
        return;
    const int mode = programMode();
    if (mode == 0) {
        ObjectItem::paint(painter, option, widget);
    } else if (mode == 2) {
        if (isSelected()) {
            paintFrame(painter, rect);
            paintResizeHandles(painter);
        } else if (hovered) {
            paintFrame(painter, rect);
        }
    }
}

void ImageItem::setProperty(int id, const QVariant &value)
{
    if (id == LockedProperty)
        setLocked(value.toBool());
    else
        ObjectItem::setProperty(id, value);
}

QVariant ImageItem::property(int id) const
{
    return id == LockedProperty ? QVariant(locked) : ObjectItem::property(id);
}

bool ImageItem::read(QDataStream &in, int version)
{
    if (!ObjectItem::read(in, version))
        return false;
    bool lock = false;
    in >> lock;
    if (in.status() != QDataStream::Ok)
        return false;
    setLocked(lock);
    QImage decoded;
    if (!ObjectStream::readPng(in, &decoded))
        return false;
    if (decoded.isNull())
        qDebug() << "ImageItem::loading: error";
    image = decoded;
    updateGeometry();
    return true;
}

void ImageItem::writeFields(QDataStream &out) const
{
    out << locked << ObjectStream::pngBytes(image);
}

QVector<QPointF> ImageItem::handleCentres() const
{
    // In the order a press tests them; dragMode is 5 + index for the first, see handleMode.
    return {QPointF(rect.right(), rect.center().y()), QPointF(rect.left(), rect.center().y()),
            QPointF(rect.center().x(), rect.top()), QPointF(rect.center().x(), rect.bottom()),
            rect.topLeft(), rect.bottomRight(), rect.topRight(), rect.bottomLeft()};
}

int ImageItem::handleAt(const QPointF &point) const
{
    static const int modes[] = {5, 6, 3, 4, 7, 8, 9, 10};
    const double r = handleSize / viewScale();
    const QVector<QPointF> centres = handleCentres();
    for (int i = 0; i < centres.size(); ++i) {
        if (QRectF(centres.at(i) - QPointF(r, r), QSizeF(2 * r, 2 * r)).contains(point))
            return modes[i];
    }
    return 2;
}

void ImageItem::paintResizeHandles(QPainter *painter)
{
    const double s = viewScale();
    const double r = handleSize / s;
    painter->setPen(QPen(Qt::blue, 1 / s, Qt::SolidLine, Qt::SquareCap, Qt::BevelJoin));
    painter->setBrush(Qt::magenta);
    for (const QPointF &centre : handleCentres())
        painter->drawRect(QRectF(centre - QPointF(r, r), QSizeF(2 * r, 2 * r)));
}

void ImageItem::hoverMoveEvent(QGraphicsSceneHoverEvent *event)
{
    if (programMode() == 2) {
        switch (handleAt(event->pos())) {
        case 3:
        case 4:
            setCursor(Qt::SizeVerCursor);
            break;
        case 5:
        case 6:
            setCursor(Qt::SizeHorCursor);
            break;
        case 7:
        case 8:
            setCursor(Qt::SizeFDiagCursor);
            break;
        case 9:
        case 10:
            setCursor(Qt::SizeBDiagCursor);
            break;
        default:
            setCursor(QCursor(QPixmap(QStringLiteral(":/images/cursor-sizeall.png")), 13, 13));
            break;
        }
    }
    ObjectItem::hoverMoveEvent(event);
}

void ImageItem::mousePressEvent(QGraphicsSceneMouseEvent *event)
{
    if (programMode() != 6)
        dragMode = handleAt(event->pos());
    ObjectItem::mousePressEvent(event);
}

void ImageItem::mouseReleaseEvent(QGraphicsSceneMouseEvent *event)
{
    if (programMode() != 6) {
        dragMode = 0;
        if (QGraphicsItem *parent = parentItem())
            parent->update();
    }
    ObjectItem::mouseReleaseEvent(event);
}
