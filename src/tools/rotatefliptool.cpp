#include "rotatefliptool.h"

#include "framework/lvscene.h"
#include "scene/groupobjectcommand.h"
#include "scene/objectitem.h"
#include "scene/pageitem.h"
#include "scene/pagesettingscommand.h"
#include "scene/transformobjectcommand.h"
#include "scene/ungroupobjectcommand.h"

#include <QPushButton>
#include <QRadioButton>
#include <QUndoStack>
#include <QVBoxLayout>
#include <algorithm>

RotateFlipTool::RotateFlipTool(QObject *parent) : LVTool(parent) {}

QString RotateFlipTool::title() const
{
    return tr("Rotate and Flip");
}

QWidget *RotateFlipTool::widget()
{
    auto *page = new QWidget;
    auto *layout = new QVBoxLayout(page);
    const auto addButton
            = [&](const char *icon, const QString &text, void (RotateFlipTool::*slot)()) {
                  auto *button = new QPushButton(QIcon(QLatin1String(icon)), text, page);
                  button->setFlat(true);
                  connect(button, &QPushButton::clicked, this, slot);
                  layout->addWidget(button);
              };
    addButton(":/images/rotate_clockwise.png", tr("Rotate clockwise"),
              &RotateFlipTool::rotateImageClockwise);
    addButton(":/images/rotate_counterclockwise.png", tr("Rotate counter clockwise"),
              &RotateFlipTool::rotateImageCounterClockwise);
    addButton(":/images/flip_horizontal.png", tr("Horizontal flip"),
              &RotateFlipTool::flipImageHorizontal);
    addButton(":/images/flip_vertical.png", tr("Vertical flip"),
              &RotateFlipTool::flipImageVertical);
    sheetOption = new QRadioButton(tr("&Sheet and all images"), page);
    sheetOption->setChecked(true);
    layout->addWidget(sheetOption);
    // Radio buttons of one parent exclude each other.
    layout->addWidget(new QRadioButton(tr("S&elected images"), page));
    layout->addStretch();
    return page;
}

bool RotateFlipTool::sheetScope() const
{
    return !sheetOption || sheetOption->isChecked();
}

void RotateFlipTool::rotateImageClockwise()
{
    rotate(90);
}

void RotateFlipTool::rotateImageCounterClockwise()
{
    rotate(-90);
}

void RotateFlipTool::flipImageHorizontal()
{
    flip(false);
}

void RotateFlipTool::flipImageVertical()
{
    flip(true);
}

QList<ObjectItem *> RotateFlipTool::sheetObjects(LVScene *scene)
{
    // Only the page's own objects: a member taken into a second group would leave its
    // first one behind.
    QList<ObjectItem *> objects;
    if (PageItem *page = scene->currentPage())
        objects = page->objects();
    std::stable_sort(objects.begin(), objects.end(),
                     [](ObjectItem *a, ObjectItem *b) { return a->zValue() > b->zValue(); });
    return objects;
}

void RotateFlipTool::rotate(int angle)
{
    LVScene *scene = this->scene();
    PageItem *page = scene ? scene->currentPage() : nullptr;
    if (!page)
        return;
    QUndoStack *stack = scene->undoStack();
    if (!sheetScope()) {
        // An empty selection still makes a step, as every press of the button does.
        stack->beginMacro(QString());
        for (ObjectItem *item : scene->selectedObjects()) {
            // A mirrored object turns the other way in its own coordinates, so that it
            // turns the same way on screen.
            const int b = item->mirrored ? -angle : angle;
            const QRectF r = item->rect;
            const double x = r.x(), y = r.y(), w = r.width(), h = r.height();
            QTransform t = item->transform();
            t.rotate(b);
            // Back about the centre of the object rectangle, so the object keeps its place.
            if (b == 90) {
                t.translate(y - x, -y - x);
                t.translate(h / 2 - w / 2, -h / 2 - w / 2);
            } else {
                t.translate(-x - y, x - y);
                t.translate((w - h) / 2 - w, (w - h) / 2);
            }
            auto *command = new TransformObjectCommand(page, item);
            command->oldTransform = item->transform();
            command->newTransform = t;
            command->toggleQuarterTurn = true;
            stack->push(command);
        }
        stack->endMacro();
        return;
    }

    const QList<ObjectItem *> objects = sheetObjects(scene);
    if (objects.isEmpty())
        return;
    const int width = page->rect.width();
    const int height = page->rect.height();
    stack->beginMacro(QString());
    auto *grouping = new GroupObjectCommand(page, objects);
    stack->push(grouping);
    ObjectItem *group = grouping->groupItem();
    QTransform t = group->transform();
    t.rotate(angle);
    // The turned content lies in a height-wide, width-high area from the page origin.
    if (angle == 90)
        t.translate(0, -height);
    else
        t.translate(-width, 0);
    auto *turn = new TransformObjectCommand(page, group);
    turn->oldTransform = group->transform();
    turn->newTransform = t;
    turn->toggleQuarterTurn = true;
    stack->push(turn);
    if (group->isGroup)
        stack->push(new UnGroupObjectCommand(page, group));
    auto *size = new PageSettingsCommand(page);
    size->newWidth = height;
    size->newHeight = width;
    stack->push(size);
    stack->endMacro();
}

namespace {

// Mirrors about the centre line of rect, in the coordinates of the transform.
QTransform mirroredAbout(QTransform t, const QRectF &rect, bool vertical)
{
    if (vertical) {
        t.rotate(180, Qt::XAxis);
        t.translate(0, -(2 * rect.y() + rect.height()));
    } else {
        t.rotate(180, Qt::YAxis);
        t.translate(-(2 * rect.x() + rect.width()), 0);
    }
    return t;
}

} // namespace

void RotateFlipTool::flip(bool vertical)
{
    LVScene *scene = this->scene();
    PageItem *page = scene ? scene->currentPage() : nullptr;
    if (!page)
        return;
    QUndoStack *stack = scene->undoStack();
    const auto push = [&](ObjectItem *item, bool direction) {
        auto *command = new TransformObjectCommand(page, item);
        command->oldTransform = item->transform();
        command->newTransform = mirroredAbout(item->transform(), item->rect, direction);
        command->toggleMirrored = true;
        stack->push(command);
    };
    if (!sheetScope()) {
        stack->beginMacro(QString());
        // A quarter-turned object is mirrored about its other axis, so that on screen it
        // flips the way the button says.
        for (ObjectItem *item : scene->selectedObjects())
            push(item, item->quarterTurned ? !vertical : vertical);
        stack->endMacro();
        return;
    }

    const QList<ObjectItem *> objects = sheetObjects(scene);
    if (objects.isEmpty())
        return;
    stack->beginMacro(QString());
    auto *grouping = new GroupObjectCommand(page, objects);
    stack->push(grouping);
    ObjectItem *group = grouping->groupItem();
    // About the centre of the content, not of the page.
    push(group, vertical);
    if (group->isGroup)
        stack->push(new UnGroupObjectCommand(page, group));
    stack->endMacro();
}
