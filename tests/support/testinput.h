#pragma once

#include <QApplication>
#include <QGraphicsView>
#include <QMouseEvent>

// Mouse events as a user's mouse sends them to a widget: presses and releases with the
// left button, moves carrying the buttons held.
inline QMouseEvent mouseEvent(QEvent::Type type, const QPoint &pos, Qt::MouseButtons buttons)
{
    return QMouseEvent(type, pos, pos, pos,
                       type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton, buttons,
                       Qt::NoModifier);
}

// A drag with the left button from one point of a view's scene to another, through the
// middle; a click where both are the same.
inline void drag(QGraphicsView *view, const QPointF &fromScene, const QPointF &toScene)
{
    const QPoint from = view->mapFromScene(fromScene), to = view->mapFromScene(toScene);
    QList<QMouseEvent> events { mouseEvent(QEvent::MouseButtonPress, from, Qt::LeftButton) };
    if (from != to)
        events << mouseEvent(QEvent::MouseMove, (from + to) / 2, Qt::LeftButton)
               << mouseEvent(QEvent::MouseMove, to, Qt::LeftButton);
    events << mouseEvent(QEvent::MouseButtonRelease, to, Qt::NoButton);
    for (QMouseEvent &event : events)
        QApplication::sendEvent(view->viewport(), &event);
}
