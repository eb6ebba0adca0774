#include "scene.h"

#include "framework/lvmainwindow.h"

#include <QGraphicsSceneMouseEvent>

Scene::Scene(QObject *parent, LVMainWindow *mainWindow) : LVScene(parent, mainWindow)
{
    setBackgroundBrush(QBrush(Qt::lightGray, Qt::SolidPattern));
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
