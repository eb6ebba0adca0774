#pragma once

#include "framework/lvscene.h"

// The scene of an image document: grey around the page, a click that leaves full screen,
// and the mouse position reported to the main window.
class Scene : public LVScene
{
    Q_OBJECT
public:
    Scene(QObject *parent, LVMainWindow *mainWindow);

    // The image as large as the printable area allows, keeping its proportions, centred.
    void printPage(QPrinter *printer, QPainter *painter, int pageIndex) override;

signals:
    // A left click while the document is shown full screen.
    void fullScreenClicked();

protected:
    bool event(QEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void mousePressEvent(QGraphicsSceneMouseEvent *event) override;
    void mouseMoveEvent(QGraphicsSceneMouseEvent *event) override;
    void mouseReleaseEvent(QGraphicsSceneMouseEvent *event) override;

private:
    void reportPosition(const QPointF &scenePos);
};
