#pragma once

#include <QMouseEvent>

// Mouse events as a user's mouse sends them to a widget: presses and releases with the
// left button, moves carrying the buttons held.
inline QMouseEvent mouseEvent(QEvent::Type type, const QPoint &pos, Qt::MouseButtons buttons)
{
    return QMouseEvent(type, pos, pos, pos,
                       type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton, buttons,
                       Qt::NoModifier);
}
