#include "scene.h"

#include "framework/lvmainwindow.h"

#include "pageitem.h"

#include <QGraphicsSceneMouseEvent>
#include <QPrinter>

Scene::Scene(QObject *parent, LVMainWindow *mainWindow) : LVScene(parent, mainWindow)
{
    setBackgroundBrush(QBrush(Qt::lightGray, Qt::SolidPattern));
}

void Scene::printPage(QPrinter *printer, QPainter *painter, int pageIndex)
{
    if (pageIndex < 0 || pageIndex >= pages.size())
        return;
    const PageItem *page = pages.at(pageIndex);
    const QRectF source = page->mapRectToScene(QRectF(page->rect));
    if (source.isEmpty())
        return;
    // The painter's origin is the printable area's corner.
    const QSizeF area = printer->pageRect(QPrinter::DevicePixel).size();
    const QSizeF size = source.size().scaled(area, Qt::KeepAspectRatio);
    const QRectF target(
            QPointF((area.width() - size.width()) / 2, (area.height() - size.height()) / 2), size);
    printing = true;
    render(painter, target, source, Qt::IgnoreAspectRatio);
    printing = false;
}

bool Scene::event(QEvent *event)
{
    if (event->type() == QEvent::Leave)
        reportPosition(QPointF(-1, -1));
    return LVScene::event(event);
}

void Scene::mousePressEvent(QGraphicsSceneMouseEvent *event)
{
    if (mode() == 8) {
        if (event->button() == Qt::LeftButton)
            emit fullScreenClicked();
        return;
    }
    LVScene::mousePressEvent(event);
}

void Scene::mouseMoveEvent(QGraphicsSceneMouseEvent *event)
{
    if (mode() == 8)
        return;
    LVScene::mouseMoveEvent(event);
    reportPosition(event->scenePos());
}

void Scene::mouseReleaseEvent(QGraphicsSceneMouseEvent *event)
{
    if (mode() == 8)
        return;
    LVScene::mouseReleaseEvent(event);
    reportPosition(event->scenePos());
}

void Scene::keyPressEvent(QKeyEvent *event)
{
    LVScene::keyPressEvent(event);
    if (mainWindow)
        mainWindow->setSelectedRect();
}

void Scene::reportPosition(const QPointF &scenePos)
{
    if (!mainWindow)
        return;
    mainWindow->showPosition(QPoint(int(scenePos.x()), int(scenePos.y())));
    mainWindow->setSelectedRect();
}
