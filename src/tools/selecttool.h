#pragma once

#include "framework/lvtool.h"

// The pointer mode: the scene itself selects and moves objects, so the tool never draws a
// rectangle of its own.
class SelectTool : public LVTool
{
    Q_OBJECT
public:
    explicit SelectTool(QObject *parent);

    QWidget *widget() override;
    int id() const override { return 0; }
    QString title() const override;
    bool mousePressEvent(QGraphicsSceneMouseEvent *event) override;
    void mouseMoveEvent(QGraphicsSceneMouseEvent *event) override;
    void mouseReleaseEvent(QGraphicsSceneMouseEvent *event) override;

public slots:
    void reset() override;
};
