#pragma once

#include "framework/lvtool.h"

class QPushButton;

// Marks a rectangle of the document to copy to the clipboard or cut out of its images.
class CopyTool : public LVTool
{
    Q_OBJECT
public:
    explicit CopyTool(QObject *parent);

    QWidget *widget() override;
    int id() const override { return 10; }
    QString title() const override;
    bool mousePressEvent(QGraphicsSceneMouseEvent *event) override;
    void drawForeground(QPainter *painter, const QRectF &rect) override;
    // Edit > Cut and Edit > Copy act on the rectangle while this tool is current.
    bool cutRegion() override;
    bool copyRegion() override;

    // The last copied rectangle, clipped to the page.
    QRectF copyRect = QRectF(0, 0, 0, 0);
    QPushButton *copyButton = nullptr;
    QPushButton *cutButton = nullptr;

public slots:
    void copyImage();
    void cutImage();
    void reset() override;

private:
    bool hasRegion() const;
};
