#pragma once

#include <QMap>
#include <QObject>
#include <QRectF>

class LVMainWindow;
class LVTool;
class QGraphicsSceneMouseEvent;
class QKeyEvent;
class QPainter;

// Knows every tool by its program mode and hands the scene's events to the current one.
class LVToolWatcher : public QObject
{
    Q_OBJECT
public:
    explicit LVToolWatcher(QObject *parent);

    void addTool(LVTool *tool);
    LVTool *tool(int id) const;
    // The tool of the main window's program mode, or null.
    LVTool *currentTool() const;

    bool mousePressEvent(QGraphicsSceneMouseEvent *event);
    bool mouseMoveEvent(QGraphicsSceneMouseEvent *event);
    bool mouseReleaseEvent(QGraphicsSceneMouseEvent *event);
    bool keyPressEvent(QKeyEvent *event);
    bool drawForeground(QPainter *painter, const QRectF &rect);

    // A current tool holds a finished rectangle.
    bool hasRect() const;
    // Forgets a focus switch between two different documents.
    void clearSwitch();

    // Written by the document views when the keyboard focus moves between them.
    bool focusSwitched = false;
    bool focusLost = false;
    QString switchedName;
    QString lostName;
    LVMainWindow *mainWindow = nullptr;
    // Not owned: the tools are children of the main window.
    QMap<int, LVTool *> tools;
    LVTool *current = nullptr;

public slots:
    void toolPageChanged(int index);
};
