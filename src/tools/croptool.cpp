#include "croptool.h"

#include "framework/lvscene.h"
#include "scene/cropimagecommand.h"
#include "scene/imageitem.h"
#include "scene/modifyimagecommand.h"
#include "scene/moveimagecommand.h"
#include "scene/pageitem.h"
#include "scene/pagesettingscommand.h"

#include <QGridLayout>
#include <QPushButton>
#include <QUndoStack>
#include <cmath>

namespace {

int roundHalfUp(double v)
{
    return int(std::floor(v + 0.5));
}

} // namespace

CropTool::CropTool(QObject *parent) : LVTool(parent)
{
    usesRect = true;
}

QWidget *CropTool::widget()
{
    auto *page = new QWidget;
    auto *layout = new QGridLayout(page);
    cropButton = new QPushButton(tr("Crop"));
    auto *resetButton = new QPushButton(tr("Reset"));
    layout->addWidget(cropButton, 0, 0, 1, 2);
    layout->addWidget(resetButton, 0, 2, 1, 2);
    layout->setRowStretch(1, 1);
    connect(cropButton, &QPushButton::clicked, this, &CropTool::cropImage);
    connect(resetButton, &QPushButton::clicked, this, &CropTool::reset);
    return page;
}

QString CropTool::title() const
{
    return tr("Crop");
}

bool CropTool::mousePressEvent(QGraphicsSceneMouseEvent *event)
{
    LVTool::mousePressEvent(event);
    // While cropping the scene neither selects nor moves objects.
    return true;
}

void CropTool::drawForeground(QPainter *painter, const QRectF &)
{
    paintRect(painter);
}

void CropTool::deactivate()
{
    cropImage();
    reset();
}

void CropTool::cropImage()
{
    LVScene *s = scene();
    if (rectState != 2 || selectionRect.width() <= 0 || selectionRect.height() <= 0 || !s)
        return;
    PageItem *page = s->activePage;
    const QRectF &r = selectionRect;
    const QRect cropRect(roundHalfUp(r.x()), roundHalfUp(r.y()), roundHalfUp(r.width()),
                         roundHalfUp(r.height()));
    QUndoStack *stack = s->undoStack();
    stack->beginMacro(QString());
    const auto items = s->items(Qt::DescendingOrder);
    for (QGraphicsItem *graphicsItem : items) {
        auto *item = dynamic_cast<ImageItem *>(graphicsItem);
        if (item && page)
            cropItem(stack, page, item, cropRect);
    }
    if (page) {
        auto *resize = new PageSettingsCommand(page);
        resize->newWidth = cropRect.width();
        resize->newHeight = cropRect.height();
        stack->push(resize);
    }
    stack->endMacro();
    reset();
}

void CropTool::cropItem(QUndoStack *stack, PageItem *page, ImageItem *item, const QRect &cropRect)
{
    // Only the part of the image inside the rectangle is kept: a copy of the whole rectangle
    // would fill the rest with black in images without alpha.
    const QRectF local = item->mapRectFromItem(page, QRectF(cropRect))
                                 .intersected(QRectF(item->currentImage().rect()));
    // The kept part stays where it lay relative to the rectangle, whatever turns and flips
    // the item carries, so the whole content moves by the rectangle's corner.
    QGraphicsItem *parent = item->parentItem();
    const auto fromPage
            = [&](const QPointF &p) { return parent ? parent->mapFromItem(page, p) : p; };
    const QPointF shift = fromPage(-QPointF(cropRect.topLeft())) - fromPage(QPointF());
    QPointF pos = item->pos() + shift;
    if (!local.isEmpty()) {
        pos += item->mapToParent(local.topLeft()) - item->mapToParent(QPointF());
        const QRectF kept = item->mapRectToParent(local);
        auto crop = std::make_shared<CropImageCommand>(QRect(
                qRound(kept.x()), qRound(kept.y()), qRound(kept.width()), qRound(kept.height())));
        crop->offset = item->pos();
        stack->push(new ModifyImageCommand(page, item, crop));
    }
    // Outside the rectangle an image keeps its pixels and ends off the page, which hides it.
    stack->push(new ModifyImageCommand(page, item, std::make_shared<MoveImageCommand>(pos)));
}

void CropTool::reset()
{
    resetRect();
}
