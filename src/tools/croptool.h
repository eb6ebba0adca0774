#pragma once

#include "framework/lvtool.h"

class QPushButton;

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

public slots:
    void cropImage();
    void reset() override;
};
