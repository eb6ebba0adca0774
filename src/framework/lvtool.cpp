#include "lvtool.h"

#include "lvmainwindow.h"
#include "lvmdichild.h"
#include "lvscene.h"
#include "scene/pageitem.h"

#include <QGraphicsSceneMouseEvent>
#include <QGraphicsView>
#include <QKeyEvent>
#include <QPainter>
#include <QPainterPath>
#include <QRegion>
#include <cmath>

namespace {

// Rounding to the nearest integer with halves upward, also for negative values.
int roundHalfUp(double v)
{
    return int(std::floor(v + 0.5));
}

// One step along the 10-pixel grid: a value on the grid moves by 10, one off it snaps to
// the neighbouring multiple in the key's direction.
double gridStep(double v, bool forward)
{
    return forward ? std::floor((v + 10) / 10) * 10 : std::floor((v - 1) / 10) * 10;
}

} // namespace

LVTool::LVTool(QObject *parent) : QObject(parent), mainWindow(qobject_cast<LVMainWindow *>(parent))
{}

QWidget *LVTool::widget()
{
    return nullptr;
}

void LVTool::clearPreview() {}

void LVTool::stop() {}

bool LVTool::mousePressEvent(QGraphicsSceneMouseEvent *event)
{
    if (!usesRect || !scene())
        return false;
    const QPointF pos = event->scenePos();
    if (rectState == 0) {
        pressPoint[0] = int(pos.x());
        pressPoint[1] = int(pos.y());
        currentPoint[0] = pressPoint[0] + 1;
        currentPoint[1] = pressPoint[1] + 1;
        rubberRect = QRectF(pressPoint[0], pressPoint[1], 1, 1);
        rectState = 1;
        repaint();
    } else if (rectState == 2) {
        dragHandle = hitTest(pos);
    }
    return false;
}

void LVTool::mouseMoveEvent(QGraphicsSceneMouseEvent *event)
{
    if (!usesRect || !scene())
        return;
    const QPointF pos = event->scenePos();
    if (rectState == 1) {
        currentPoint[0] = int(pos.x());
        currentPoint[1] = int(pos.y());
        rubberRect = spanned();
    } else if (rectState == 2) {
        const QPointF last = event->lastScenePos();
        const int dx = roundHalfUp(pos.x()) - roundHalfUp(last.x());
        const int dy = roundHalfUp(pos.y()) - roundHalfUp(last.y());
        QRectF &r = selectionRect;
        // Each handle moves the edges it sits on; the opposite edges stay.
        const bool left = dragHandle == 1 || dragHandle == 2 || dragHandle == 4 || dragHandle == 8;
        const bool top = dragHandle == 1 || dragHandle == 2 || dragHandle == 3 || dragHandle == 6;
        const bool right = dragHandle == 3 || dragHandle == 5 || dragHandle == 9;
        const bool bottom = dragHandle == 4 || dragHandle == 5 || dragHandle == 7;
        if (left)
            r.moveLeft(r.x() + dx);
        if (top)
            r.moveTop(r.y() + dy);
        if (dragHandle != 1) {
            r.setWidth(r.width() + (right ? dx : 0) - (left ? dx : 0));
            r.setHeight(r.height() + (bottom ? dy : 0) - (top ? dy : 0));
        }
    }
    repaint();
}

void LVTool::mouseReleaseEvent(QGraphicsSceneMouseEvent *event)
{
    if (!usesRect || !scene())
        return;
    if (rectState == 1) {
        currentPoint[0] = int(event->scenePos().x());
        currentPoint[1] = int(event->scenePos().y());
        // Both end pixels belong to the rectangle whichever way the mouse went, as while
        // drawing.
        rubberRect = selectionRect = spanned();
        rectState = 2;
    } else if (rectState == 2) {
        dragHandle = 0;
        selectionRect = selectionRect.normalized();
    }
    repaint();
}

QRectF LVTool::spanned() const
{
    const int left = qMin(pressPoint[0], currentPoint[0]);
    const int top = qMin(pressPoint[1], currentPoint[1]);
    return QRectF(left, top, qMax(pressPoint[0], currentPoint[0]) + 1 - left,
                  qMax(pressPoint[1], currentPoint[1]) + 1 - top);
}

void LVTool::keyPressEvent(QKeyEvent *event)
{
    if (rectState != 2)
        return;
    const int key = event->key();
    if (key != Qt::Key_Left && key != Qt::Key_Right && key != Qt::Key_Up && key != Qt::Key_Down)
        return;
    const bool size = event->modifiers() & Qt::ShiftModifier;
    const bool onePixel = event->modifiers() & Qt::ControlModifier;
    const bool horizontal = key == Qt::Key_Left || key == Qt::Key_Right;
    const bool forward = key == Qt::Key_Right || key == Qt::Key_Down;
    QRectF &r = selectionRect;
    if (size) {
        double v = horizontal ? r.width() : r.height();
        // A size never goes below nothing.
        v = qMax(0.0, onePixel ? v + (forward ? 1 : -1) : gridStep(v, forward));
        if (horizontal)
            r.setWidth(v);
        else
            r.setHeight(v);
    } else {
        double v = horizontal ? r.x() : r.y();
        v = onePixel ? v + (forward ? 1 : -1) : gridStep(v, forward);
        if (horizontal)
            r.moveTo(v, onePixel ? r.y() : std::trunc(r.y()));
        else
            r.moveTo(onePixel ? r.x() : std::trunc(r.x()), v);
    }
    repaint();
}

void LVTool::drawForeground(QPainter *, const QRectF &) {}

void LVTool::deactivate()
{
    stop();
    reset();
}

LVTool *LVTool::saveState()
{
    return nullptr;
}

void LVTool::restoreState(LVTool *) {}

QRectF LVTool::selectedRect() const
{
    if (rectState == 2)
        return selectionRect;
    if (rectState == 1)
        return rubberRect;
    return QRectF();
}

bool LVTool::cutRegion()
{
    return false;
}

bool LVTool::copyRegion()
{
    return false;
}

LVScene *LVTool::scene() const
{
    if (!mainWindow)
        return nullptr;
    LVMdiChild *child = mainWindow->activeMdiChild();
    return child ? child->lvScene() : nullptr;
}

double LVTool::viewScale() const
{
    LVScene *s = scene();
    if (!s || s->views().isEmpty())
        return 1;
    const double m11 = s->views().first()->transform().m11();
    return m11 > 0 ? m11 : 1;
}

void LVTool::updateHandles()
{
    const double s = viewScale();
    const double half = 4 / s;
    const double p = 1 / s;
    const QRectF &r = selectionRect;
    const double x = r.x(), y = r.y(), w = r.width() - p, h = r.height() - p;
    const QPointF centres[8]
            = { { x, y },         { x + w, y },         { x, y + h },     { x + w, y + h },
                { x + w / 2, y }, { x + w / 2, y + h }, { x, y + h / 2 }, { x + w, y + h / 2 } };
    for (int i = 0; i < 8; ++i)
        handles[i] = QRectF(centres[i] - QPointF(half, half), QSizeF(2 * half, 2 * half));
}

int LVTool::hitTest(const QPointF &scenePos)
{
    updateHandles();
    for (int i = 0; i < 8; ++i) {
        if (handles[i].contains(scenePos))
            return i + 2;
    }
    return selectionRect.contains(scenePos) ? 1 : 0;
}

void LVTool::paintRect(QPainter *painter)
{
    LVScene *s = scene();
    if (!s || rectState == 0 || rubberRect.width() <= 0 || rubberRect.height() <= 0)
        return;
    const QRectF r = rectState == 1 ? rubberRect : selectionRect;
    const double p = 1 / viewScale();
    painter->save();
    painter->setPen(Qt::NoPen);
    if (s->activePage) {
        const QRect page = s->activePage->mapRectToScene(s->activePage->boundingRect()).toRect();
        const QRegion dimmed = QRegion(page).subtracted(QRegion(r.toRect()));
        painter->setOpacity(0.2);
        for (const QRect &part : dimmed)
            painter->fillRect(part, Qt::black);
    }
    painter->setOpacity(1);
    QPainterPath frame;
    frame.setFillRule(Qt::OddEvenFill);
    frame.addRect(r.adjusted(-p, -p, p, p));
    frame.addRect(r);
    painter->fillPath(frame, Qt::white);
    if (rectState == 2) {
        updateHandles();
        painter->setPen(QPen(Qt::black, 0, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        painter->setBrush(Qt::white);
        for (const QRectF &handle : handles)
            painter->drawRect(handle);
    }
    painter->restore();
}

void LVTool::resetRect()
{
    dragHandle = 0;
    rectState = 0;
    rubberRect = selectionRect = QRectF(0, 0, 0, 0);
    repaint();
    // A crop or the Reset button removes the rectangle without passing through the scene.
    if (mainWindow)
        mainWindow->setSelectedRect();
}

void LVTool::repaint()
{
    if (LVScene *s = scene())
        s->update();
}

void LVTool::reset() {}
