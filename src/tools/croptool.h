#pragma once

#include "framework/lvtool.h"

class ImageItem;
class PageItem;
class QPushButton;
class QRect;
class QUndoStack;

// Cuts the document down to a drawn rectangle: every image keeps the part inside it, moved
// to the page origin, and the page takes the rectangle's size, all as one undo step.
class CropTool : public LVTool
{
    Q_OBJECT
public:
    explicit CropTool(QObject *parent);

    QWidget *widget() override;
    int id() const override { return 7; }
    QString title() const override;
    bool mousePressEvent(QGraphicsSceneMouseEvent *event) override;
    void drawForeground(QPainter *painter, const QRectF &rect) override;
    // Leaving the tool with a finished rectangle crops the document.
    void deactivate() override;

    QPushButton *cropButton = nullptr;

private:
    // Keeps the item's part inside cropRect (page coordinates) and moves the item with the
    // page's new origin.
    void cropItem(QUndoStack *stack, PageItem *page, ImageItem *item, const QRect &cropRect);

public slots:
    void cropImage();
    void reset() override;
};
