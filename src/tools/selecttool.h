#pragma once

#include "framework/lvtool.h"

#include <QList>

class ObjectItem;
class QPushButton;

// The pointer mode: the scene itself selects and moves objects, so the tool never draws a
// rectangle of its own. It groups and ungroups the selection and reports its bounds.
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
    // The union of the selected objects' rectangles in their parents' coordinates.
    QRectF selectedRect() const override;

    QPushButton *groupButton = nullptr;
    QPushButton *ungroupButton = nullptr;

public slots:
    void group();
    void ungroup();
    void reset() override;

private:
    QList<ObjectItem *> selectedObjects() const;
};
