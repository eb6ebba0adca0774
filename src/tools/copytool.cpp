#include "copytool.h"

#include "framework/lvscene.h"
#include "scene/cutimagecommand.h"
#include "scene/imageitem.h"
#include "scene/modifyimagecommand.h"
#include "scene/pageitem.h"

#include <QApplication>
#include <QClipboard>
#include <QGraphicsView>
#include <QGridLayout>
#include <QMimeData>
#include <QPainter>
#include <QPushButton>
#include <QUndoStack>
#include <cmath>

namespace {

int roundHalfUp(double v)
{
    return int(std::floor(v + 0.5));
}

} // namespace

CopyTool::CopyTool(QObject *parent) : LVTool(parent)
{
    usesRect = true;
}

QWidget *CopyTool::widget()
{
    auto *page = new QWidget;
    auto *layout = new QGridLayout(page);
    copyButton = new QPushButton(tr("Copy"));
    cutButton = new QPushButton(tr("Cut"));
    auto *resetButton = new QPushButton(tr("Reset"));
    layout->addWidget(copyButton, 0, 0);
    layout->addWidget(cutButton, 0, 1);
    layout->addWidget(resetButton, 0, 2);
    layout->setRowStretch(1, 1);
    connect(copyButton, &QPushButton::clicked, this, &CopyTool::copyImage);
    connect(cutButton, &QPushButton::clicked, this, &CopyTool::cutImage);
    connect(resetButton, &QPushButton::clicked, this, &CopyTool::reset);
    return page;
}

QString CopyTool::title() const
{
    return tr("Copy and Cut");
}

bool CopyTool::mousePressEvent(QGraphicsSceneMouseEvent *event)
{
    LVTool::mousePressEvent(event);
    // While marking a region the scene neither selects nor moves objects.
    return true;
}

void CopyTool::drawForeground(QPainter *painter, const QRectF &)
{
    paintRect(painter);
}

bool CopyTool::cutRegion()
{
    cutImage();
    return true;
}

bool CopyTool::copyRegion()
{
    copyImage();
    return true;
}

bool CopyTool::hasRegion() const
{
    return rectState == 2 && selectionRect.width() > 0 && selectionRect.height() > 0 && scene();
}

void CopyTool::copyImage()
{
    if (!hasRegion())
        return;
    LVScene *s = scene();
    const QRectF page = s->activePage ? QRectF(s->activePage->rect) : QRectF();
    copyRect = selectionRect.intersected(page);
    // Neither the page's screen frame nor the tool's own rectangle belong in the copy.
    s->printing = true;
    reset();
    const int width = roundHalfUp(copyRect.width());
    const int height = roundHalfUp(copyRect.height());
    if (width > 0 && height > 0) {
        QImage image(width, height, QImage::Format_ARGB32);
        image.fill(Qt::transparent);
        QPainter painter(&image);
        // At scale 1 the images paint their own pixels rather than a copy reduced for the
        // screen, so the copy holds document pixels at any zoom.
        QGraphicsView *view = s->views().value(0);
        const QTransform viewTransform = view ? view->transform() : QTransform();
        if (view)
            view->resetTransform();
        s->render(&painter, QRectF(0, 0, width, height), copyRect, Qt::KeepAspectRatio);
        if (view)
            view->setTransform(viewTransform);
        painter.end();
        auto *data = new QMimeData;
        data->setImageData(image);
        QApplication::clipboard()->setMimeData(data, QClipboard::Clipboard);
    }
    s->printing = false;
}

void CopyTool::cutImage()
{
    if (!hasRegion())
        return;
    LVScene *s = scene();
    copyImage();
    PageItem *page = s->activePage;
    QUndoStack *stack = s->undoStack();
    // One step even when there is no image to cut.
    stack->beginMacro(QString());
    const auto items = s->items(Qt::DescendingOrder);
    for (QGraphicsItem *graphicsItem : items) {
        if (auto *item = dynamic_cast<ImageItem *>(graphicsItem))
            stack->push(new ModifyImageCommand(page, item,
                                               std::make_shared<CutImageCommand>(copyRect)));
    }
    stack->endMacro();
}

void CopyTool::reset()
{
    resetRect();
}
