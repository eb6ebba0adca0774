#pragma once

#include <QIcon>
#include <QObject>
#include <QRectF>

class LVMainWindow;
class LVScene;
class QGraphicsSceneMouseEvent;
class QKeyEvent;
class QPainter;
class QWidget;

// Base of every editing tool. The main window's program mode names the current
// tool; the tool watcher routes the scene's events to it. It also carries the
// rectangle that several tools let the user draw, move, resize and nudge.
class LVTool : public QObject
{
    Q_OBJECT
public:
    explicit LVTool(QObject *parent = nullptr);

    // The tool's page of controls; built once, owned by the tool panel.
    virtual QWidget *widget();
    // The program mode this tool stands for.
    virtual int id() const = 0;
    virtual QString title() const = 0;
    virtual void clearPreview();
    virtual void stop();
    // True when the tool consumed the press.
    virtual bool mousePressEvent(QGraphicsSceneMouseEvent *event);
    virtual void mouseMoveEvent(QGraphicsSceneMouseEvent *event);
    virtual void mouseReleaseEvent(QGraphicsSceneMouseEvent *event);
    virtual void keyPressEvent(QKeyEvent *event);
    virtual void drawForeground(QPainter *painter, const QRectF &rect);
    // The tool is left: background work stops and the tool returns to rest.
    virtual void deactivate();
    // A new object owned by the caller that carries this tool's settings for one document.
    virtual LVTool *saveState();
    virtual void restoreState(LVTool *state);
    // The rectangle to show in the status bar.
    virtual QRectF selectedRect() const;
    // Cut or copy the tool's region of the image; false when the tool has no region to offer.
    virtual bool cutRegion();
    virtual bool copyRegion();

    // The scene of the main window's active document, or null.
    LVScene *scene() const;
    // The horizontal scale of the first view showing the scene; 1 without one.
    double viewScale() const;
    // Recomputes the handle squares around selectionRect for the current zoom.
    void updateHandles();
    // 0 outside, 1 inside the finished rectangle, 2 to 9 a handle, in handles' order.
    int hitTest(const QPointF &scenePos);

    int pageIndex = -1;
    // Top-left, top-right, bottom-left, bottom-right, top, bottom, left, right.
    QRectF handles[8];
    int dragHandle = 0;
    QRectF rubberRect;
    QRectF selectionRect;
    int pressPoint[2] = { 0, 0 };
    int currentPoint[2] = { 0, 0 };
    // 0 no rectangle, 1 being drawn, 2 finished.
    int rectState = 0;
    bool usesRect = false;
    LVMainWindow *mainWindow = nullptr;
    QIcon icon;

public slots:
    virtual void reset();

protected:
    // The page dimmed outside the rectangle, its white frame and, once finished, the handles.
    void paintRect(QPainter *painter);
    // Back to no rectangle.
    void resetRect();
    // The pixels from pressPoint to currentPoint, both included.
    QRectF spanned() const;
    void repaint();
};
