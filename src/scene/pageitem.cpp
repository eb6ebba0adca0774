#include "pageitem.h"

#include "addobjectcommand.h"
#include "framework/lvscene.h"
#include "imageitem.h"
#include "modifyimagecommand.h"
#include "moveimagecommand.h"
#include "objectstream.h"
#include "pagesettingscommand.h"
#include "textitem.h"
#include "vrimageitem.h"

#include <QApplication>
#include <QClipboard>
#include <QDataStream>
#include <QDebug>
#include <QGraphicsScene>
#include <QMimeData>
#include <QPainter>
#include <QPageLayout>
#include <QPageSize>
#include <QUndoStack>
#include <QUrl>
#include <algorithm>
#include <cmath>

namespace {
const QString objectDataFormat = QStringLiteral("objectData");
}

PageItem::PageItem(QGraphicsItem *parent) : QGraphicsItem(parent), pen(Qt::black)
{
    setFlag(QGraphicsItem::ItemClipsChildrenToShape);
    setAcceptHoverEvents(true);
    updatePageRect();
}

LVScene *PageItem::lvScene() const
{
    return dynamic_cast<LVScene *>(scene());
}

void PageItem::setPageRect(const QRect &r)
{
    prepareGeometryChange();
    rect = r;
}

bool PageItem::printing() const
{
    LVScene *s = lvScene();
    return s && s->printing;
}

void PageItem::updatePageRect()
{
    prepareGeometryChange();
    // The paper at a high-resolution printer's 1200 dpi, brought to 96 units per inch;
    // read from the page size table rather than a printer, which may query the system.
    constexpr int printerDpi = 1200;
    constexpr double factor = printerDpi / 96.0;
    QSize paper = QPageSize(QPageSize::PageSizeId(paperSize)).sizePixels(printerDpi);
    if (orientation == QPageLayout::Landscape)
        paper.transpose();
    rect = QRect(0, 0, int(paper.width() / factor), int(paper.height() / factor));
}

QRectF PageItem::boundingRect() const
{
    const double h = pen.widthF() * 0.5 - 0.00001;
    const int grow = int(h);
    const int grow2 = int(2 * h);
    return QRectF(rect).adjusted(-grow, -grow, grow2, grow2);
}

void PageItem::paint(QPainter *painter, const QStyleOptionGraphicsItem *, QWidget *)
{
    if (printing())
        return;
    LVScene *s = lvScene();
    QPen framePen = pen;
    framePen.setColor(s && s->currentPage() == this ? Qt::black : Qt::gray);
    painter->setPen(Qt::NoPen);
    painter->setBrush(Qt::lightGray);
    painter->drawRect(QRectF(QPointF(rect.left() + 4, rect.top() + 4),
                             QPointF(rect.right() + 5, rect.bottom() + 5)));
    painter->setPen(framePen);
    painter->setBrush(Qt::white);
    painter->drawRect(QRectF(QPointF(rect.left() - 1, rect.top() - 1),
                             QPointF(rect.right() + 1, rect.bottom() + 1)));
}

void PageItem::updateCursor()
{
    LVScene *s = lvScene();
    switch (s ? s->mode() : 0) {
    case 1:
        setCursor(QCursor(QPixmap(QStringLiteral(":/images/cursorPen.png")), 5, 25));
        break;
    case 3:
        setCursor(QCursor(QPixmap(QStringLiteral(":/images/cursorRectangle.png")), 7, 7));
        break;
    case 4:
        setCursor(QCursor(QPixmap(QStringLiteral(":/images/cursorLine.png")), 7, 7));
        break;
    case 5:
        setCursor(QCursor(QPixmap(QStringLiteral(":/images/cursorCheckMark.png")), 1, 1));
        break;
    default:
        setCursor(Qt::ArrowCursor);
        break;
    }
}

void PageItem::hoverEnterEvent(QGraphicsSceneHoverEvent *)
{
    if (LVScene *s = lvScene(); s && s->currentPage() != this)
        s->setActivePage(this);
    updateCursor();
}

void PageItem::hoverMoveEvent(QGraphicsSceneHoverEvent *event)
{
    hoverEnterEvent(event);
}

void PageItem::hoverLeaveEvent(QGraphicsSceneHoverEvent *)
{
    setCursor(Qt::ArrowCursor);
}

void PageItem::attachObject(ObjectItem *item)
{
    item->setParentItem(this);
    item->setZValue(nextZ);
    nextZ += 1.0;
}

void PageItem::detachObject(ObjectItem *item)
{
    item->setParentItem(nullptr);
    if (QGraphicsScene *s = item->scene())
        s->removeItem(item);
}

void PageItem::addObject(ObjectItem *item, bool direct)
{
    LVScene *s = lvScene();
    if (direct || !s)
        attachObject(item);
    else
        s->undoStack()->push(new AddObjectCommand(this, item));
}

QList<QGraphicsItem *> PageItem::selectedObjects() const
{
    QGraphicsScene *s = scene();
    return s ? s->selectedItems() : QList<QGraphicsItem *>();
}

void PageItem::selectObjects(const QList<QGraphicsItem *> &items)
{
    if (QGraphicsScene *s = scene())
        s->clearSelection();
    for (QGraphicsItem *item : items) {
        item->setSelected(true);
        item->setFocus();
    }
}

void PageItem::selectAll()
{
    const auto children = childItems();
    for (QGraphicsItem *child : children)
        child->setSelected(true);
}

void PageItem::removeAllObjects()
{
    qDeleteAll(childItems());
}

QList<ObjectItem *> PageItem::objects() const
{
    QList<ObjectItem *> result;
    const auto children = childItems();
    for (QGraphicsItem *child : children) {
        if (auto *object = dynamic_cast<ObjectItem *>(child))
            result << object;
    }
    return result;
}

void PageItem::copy()
{
    const QList<QGraphicsItem *> selected = selectedObjects();
    if (selected.isEmpty())
        return;
    pasteOffset = 5;
    copyObjects(selected);
}

void PageItem::cut()
{
    const QList<QGraphicsItem *> selected = selectedObjects();
    if (selected.isEmpty())
        return;
    pasteOffset = 0;
    copyObjects(selected);
    if (LVScene *s = lvScene())
        s->deleteObjects();
}

void PageItem::writeObjects(QDataStream &out, const QList<QGraphicsItem *> &items)
{
    ObjectStream::writeList(out, items);
}

void PageItem::copyObjects(const QList<QGraphicsItem *> &items)
{
    auto *mime = new QMimeData;
    if (items.size() == 1 && items.first()->type() == ObjectItem::ImageType) {
        mime->setImageData(static_cast<ImageItem *>(items.first())->currentImage());
    } else {
        QByteArray data;
        QDataStream out(&data, QIODevice::WriteOnly);
        writeObjects(out, items);
        mime->setData(objectDataFormat, data);
    }
    QApplication::clipboard()->setMimeData(mime);
}

QList<ObjectItem *> PageItem::readObjects(QDataStream &in, bool direct, int version, int offset,
                                          bool select)
{
    return ObjectStream::readList(in, this, direct, version, offset, select);
}

void PageItem::paste()
{
    const QMimeData *mime = QApplication::clipboard()->mimeData();
    if (!mime)
        return;
    qDebug() << "paste: formats: " << mime->formats();
    LVScene *s = lvScene();
    if (!s)
        return;

    if (mime->hasUrls()) {
        const QList<QUrl> urls = mime->urls();
        qDebug() << "paste: urls:" << urls;
        for (const QUrl &url : urls) {
            if (!url.isLocalFile())
                continue;
            qDebug() << url.toString() << mime->text();
            addObject(new VRImageItem(QImage(url.toLocalFile())), false);
        }
        return;
    }
    if (mime->hasImage()) {
        pasteImage(qvariant_cast<QImage>(mime->imageData()));
        return;
    }
    if (mime->hasFormat(objectDataFormat)) {
        pasteObjectData(mime->data(objectDataFormat));
        return;
    }
    const int mode = s->mode();
    if ((mode == 1 || mode == 6) && mime->hasText()) {
        const QList<QGraphicsItem *> selected = selectedObjects();
        if (!selected.isEmpty() && selected.first()->isSelected()
            && selected.first()->type() == ObjectItem::TextType)
            static_cast<TextItem *>(selected.first())->insertText(mime->text());
    }
}

void PageItem::pasteImage(const QImage &image)
{
    LVScene *s = lvScene();
    auto *item = new VRImageItem(image);
    s->undoStack()->beginMacro(QString());
    s->undoStack()->push(new AddObjectCommand(this, item));
    s->undoStack()->push(new ModifyImageCommand(
            this, item, std::make_shared<MoveImageCommand>(QPointF(pasteOffset, pasteOffset))));
    s->undoStack()->endMacro();
    pasteOffset += 5;
}

void PageItem::pasteObjectData(const QByteArray &data)
{
    LVScene *s = lvScene();
    qint64 largest = 0;
    const auto items = s->items();
    for (QGraphicsItem *item : items) {
        if (item->type() == ObjectItem::ImageType)
            largest = qMax(largest, static_cast<ImageItem *>(item)->currentImage().sizeInBytes());
    }
    QDataStream in(data);
    auto objects = ObjectStream::parseList(in, ObjectStream::currentVersion);
    // Damaged or empty data changes nothing, so it records no step.
    if (objects.empty())
        return;
    s->undoStack()->beginMacro(QString());
    ObjectStream::addToPage(std::move(objects), this, false, pasteOffset, true);
    pasteOffset += 5;

    // A pasted image larger than any before it becomes the page.
    ImageItem *biggest = nullptr;
    const auto selected = selectedObjects();
    for (QGraphicsItem *item : selected) {
        if (item->type() != ObjectItem::ImageType)
            continue;
        auto *image = static_cast<ImageItem *>(item);
        const qint64 bytes = image->currentImage().sizeInBytes();
        if (bytes > largest && (!biggest || bytes > biggest->currentImage().sizeInBytes()))
            biggest = image;
    }
    if (biggest) {
        s->undoStack()->push(new ModifyImageCommand(this, biggest,
                                                    std::make_shared<MoveImageCommand>(QPointF())));
        auto *settings = new PageSettingsCommand(this);
        settings->newWidth = biggest->currentImage().width();
        settings->newHeight = biggest->currentImage().height();
        s->undoStack()->push(settings);
        s->layoutPages();
    }
    s->undoStack()->endMacro();
}
