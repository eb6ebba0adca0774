#pragma once

#include "framework/lvtool.h"

#include <QPointer>

class LVScene;
class ObjectItem;
class QRadioButton;

// Turns objects of the active document by quarter turns and mirrors them, either the
// whole sheet with the page or only the selected objects. Each action is one undo step
// of transform commands; the pixels are left as they are.
class RotateFlipTool : public LVTool
{
    Q_OBJECT
public:
    explicit RotateFlipTool(QObject *parent = nullptr);

    QWidget *widget() override;
    int id() const override { return 11; }
    QString title() const override;

    // The scope the actions work in: the whole sheet (the default) or the selection.
    bool sheetScope() const;

public slots:
    void rotateImageClockwise();
    void rotateImageCounterClockwise();
    void flipImageHorizontal();
    void flipImageVertical();

private:
    void rotate(int angle);
    void flip(bool vertical);
    // The page's own objects, topmost first; members of groups come with their group.
    static QList<ObjectItem *> sheetObjects(LVScene *scene);

    // Checked: the whole sheet; unchecked: the selected objects. Null until the page is
    // built, which counts as checked.
    QPointer<QRadioButton> sheetOption;
};
