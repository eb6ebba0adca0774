#include "lvscene.h"

#include "lvmainwindow.h"
#include "lvtool.h"
#include "lvtoolwatcher.h"
#include "scene/addobjectcommand.h"
#include "scene/checkmarkitem.h"
#include "scene/imageitem.h"
#include "scene/lineitem.h"
#include "scene/modifyimagecommand.h"
#include "scene/modifyobjectcommand.h"
#include "scene/moveimagecommand.h"
#include "scene/moveobjectcommand.h"
#include "scene/newpagesettingscommand.h"
#include "scene/nudgecommand.h"
#include "scene/objectstream.h"
#include "scene/pageitem.h"
#include "scene/rectitem.h"
#include "scene/removeobjectcommand.h"
#include "scene/textitem.h"

#include <QGraphicsSceneMouseEvent>
#include <QGraphicsView>
#include <QKeyEvent>
#include <QPainter>
#include <QPrinter>
#include <QUndoStack>
#include <algorithm>
#include <cmath>

LVScene::LVScene(QObject *parent, LVMainWindow *mainWindow)
    : QGraphicsScene(parent),
      mainWindow(mainWindow),
      name(QStringLiteral("Form")),
      stack(std::make_unique<QUndoStack>())
{
    connect(stack.get(), &QUndoStack::indexChanged, this, [this] { lastNudge = nullptr; });
    layoutPages();
}

LVScene::~LVScene()
{
    // Commands own the objects and pages they took out of the scene; they go first,
    // while the scene can still tell them apart from the items it deletes itself.
    stack.reset();
}

int LVScene::mode() const
{
    return mainWindow ? mainWindow->programMode() : 0;
}

void LVScene::setActivePage(PageItem *page)
{
    activePage = page;
    update();
}

QList<ObjectItem *> LVScene::selectedObjects() const
{
    QList<ObjectItem *> result;
    const auto selected = selectedItems();
    for (QGraphicsItem *item : selected) {
        if (auto *object = dynamic_cast<ObjectItem *>(item))
            result << object;
    }
    return result;
}

bool LVScene::hasSelectedPageObjects() const
{
    if (!activePage)
        return false;
    const auto children = activePage->childItems();
    return std::any_of(children.begin(), children.end(),
                       [](QGraphicsItem *item) { return item->isSelected(); });
}

void LVScene::layoutPages()
{
    if (pages.isEmpty()) {
        setSceneRect(-20, -20, 40, 20);
    } else {
        double y = 0;
        double maxWidth = 0;
        for (PageItem *page : qAsConst(pages)) {
            page->setPos(0, y);
            const QRectF bounds = page->boundingRect();
            y += bounds.height() + 20;
            maxWidth = qMax(maxWidth, bounds.width());
        }
        setSceneRect(-20, -20, maxWidth + 40, y + 20);
    }
    update();
}

void LVScene::addPageCommand(PageItem *pageItem)
{
    addItem(pageItem);
    pages.append(pageItem);
    setActivePage(pageItem);
    layoutPages();
}

void LVScene::insertPageCommand(int index, PageItem *pageItem)
{
    addItem(pageItem);
    pages.insert(qBound(0, index, pages.size()), pageItem);
    setActivePage(pageItem);
    layoutPages();
}

void LVScene::removePageCommand(PageItem *pageItem, PageItem *previousActivePage)
{
    const int index = pages.indexOf(pageItem);
    removeItem(pageItem);
    pages.removeAll(pageItem);
    if (previousActivePage) {
        setActivePage(previousActivePage);
    } else if (activePage == pageItem) {
        // The page is gone from the scene; new objects must not land on it.
        setActivePage(pages.isEmpty() ? nullptr : pages.at(qMin(index, pages.size() - 1)));
    }
    layoutPages();
}

void LVScene::movePageCommand(PageItem *pageItem, bool forward)
{
    const int index = pages.indexOf(pageItem);
    if (index < 0)
        return;
    if (forward && index + 1 < pages.size())
        pages.swapItemsAt(index, index + 1);
    else if (!forward && index > 0)
        pages.swapItemsAt(index, index - 1);
    layoutPages();
}

void LVScene::copy()
{
    if (activePage)
        activePage->copy();
}

void LVScene::cut()
{
    if (activePage)
        activePage->cut();
}

void LVScene::paste()
{
    if (activePage)
        activePage->paste();
}

void LVScene::selectAll()
{
    if (activePage)
        activePage->selectAll();
}

namespace {

// The page an object is attached to; the active page for a member of a group.
PageItem *pageOf(ObjectItem *object, PageItem *fallback)
{
    auto *page = dynamic_cast<PageItem *>(object->parentItem());
    return page ? page : fallback;
}

} // namespace

void LVScene::deleteObjects()
{
    const QList<ObjectItem *> selected = selectedObjects();
    // An empty step would mark the document modified for nothing.
    if (selected.isEmpty() || !activePage)
        return;
    stack->beginMacro(QString());
    for (ObjectItem *object : selected)
        stack->push(new RemoveObjectCommand(pageOf(object, activePage), object));
    stack->endMacro();
}

void LVScene::raise()
{
    changeStacking(0);
}

void LVScene::lower()
{
    changeStacking(1);
}

void LVScene::raiseToTop()
{
    changeStacking(2);
}

void LVScene::lowerToBottom()
{
    changeStacking(3);
}

// how: 0 one step up, 1 one step down, 2 to the top, 3 to the bottom. Each change of a
// z value is a command, so stacking is undone like every other edit.
void LVScene::changeStacking(int how)
{
    if (!activePage)
        return;
    QList<ObjectItem *> selected = selectedObjects();
    if (selected.isEmpty())
        return;
    const QList<ObjectItem *> siblings = activePage->objects();
    const auto byZ = [](ObjectItem *a, ObjectItem *b) { return a->zValue() < b->zValue(); };
    std::sort(selected.begin(), selected.end(), byZ);
    if (how == 0 || how == 3)
        std::reverse(selected.begin(), selected.end());

    const auto setZ = [this](ObjectItem *object, double z) {
        stack->push(new ModifyObjectCommand(object, object->zValue(), z, ObjectItem::ZProperty));
    };
    stack->beginMacro(QString());
    for (ObjectItem *object : qAsConst(selected)) {
        if (how == 2) {
            setZ(object, activePage->nextZ);
            activePage->nextZ += 1.0;
            continue;
        }
        double lowest = object->zValue();
        ObjectItem *neighbour = nullptr;
        for (ObjectItem *other : siblings) {
            if (other == object || selected.contains(other))
                continue;
            lowest = qMin(lowest, other->zValue());
            const bool above = other->zValue() > object->zValue();
            if (how == 0 && above && (!neighbour || other->zValue() < neighbour->zValue()))
                neighbour = other;
            if (how == 1 && !above && (!neighbour || other->zValue() > neighbour->zValue()))
                neighbour = other;
        }
        if (how == 3) {
            setZ(object, lowest - 1.0);
        } else if (neighbour) {
            const double z = object->zValue();
            setZ(object, neighbour->zValue());
            setZ(neighbour, z);
        }
    }
    stack->endMacro();
}

void LVScene::selectImagesIfNothingSelected()
{
    if (!selectedItems().isEmpty())
        return;
    const auto all = items();
    for (QGraphicsItem *item : all) {
        if (item->type() == ObjectItem::ImageType)
            item->setSelected(true);
    }
}

void LVScene::printPage(QPrinter *printer, QPainter *painter, int pageIndex)
{
    if (pageIndex < 0 || pageIndex >= pages.size())
        return;
    PageItem *page = pages.at(pageIndex);
    const QRectF source = page->mapRectToScene(page->boundingRect());
    printing = true;
    render(painter, printer->paperRect(QPrinter::DevicePixel), source, Qt::KeepAspectRatio);
    printing = false;
}

void LVScene::copyPageSettingsToPending()
{
    for (PageItem *page : qAsConst(pages)) {
        page->newPaperSize = page->paperSize;
        page->newOrientation = page->orientation;
    }
}

void LVScene::applyPendingPageSettings()
{
    if (pages.isEmpty())
        return;
    stack->beginMacro(QString());
    for (PageItem *page : qAsConst(pages))
        stack->push(new NewPageSettingsCommand(page));
    stack->endMacro();
    layoutPages();
}

bool LVScene::read(QDataStream &in)
{
    return ObjectStream::readDocument(in, *this);
}

void LVScene::write(QDataStream &out) const
{
    ObjectStream::writeDocument(out, *this);
}

void LVScene::mousePressEvent(QGraphicsSceneMouseEvent *event)
{
    if (event->button() != Qt::LeftButton)
        return;
    LVToolWatcher *watcher = mainWindow ? mainWindow->toolWatcher : nullptr;
    if (watcher && watcher->mousePressEvent(event))
        return;

    const int m = mode();
    pressedObject = nullptr;
    const auto under = items(event->scenePos(), Qt::IntersectsItemShape, Qt::DescendingOrder);
    for (QGraphicsItem *item : under) {
        if (auto *object = dynamic_cast<ObjectItem *>(item)) {
            // A press on a member takes its group, which is what moves.
            pressedObject = object->outermostObject();
            break;
        }
    }
    if (pressedObject) {
        pressedObject->rememberPosition();
        objectsPressed = true;
    }
    for (ObjectItem *object : selectedObjects()) {
        object->rememberPosition();
        if (m == 0)
            objectsPressed = true;
    }

    if (m == 0 && !pressedObject) {
        rubberBandActive = true;
        rubberBand = QRectF(event->scenePos(), QSizeF(-1, -1));
    } else if ((m == 1 || m == 3 || m == 4 || m == 5) && activePage) {
        static const int kinds[] = { 0,
                                     ObjectItem::TextType,
                                     0,
                                     ObjectItem::RectType,
                                     ObjectItem::LineType,
                                     ObjectItem::CheckMarkType };
        if (!pressedObject || pressedObject->type() != kinds[m]) {
            createFormObject(m, event->scenePos());
            return;
        }
    }
    QGraphicsScene::mousePressEvent(event);
    // The standard press looks a pixel wide and may take an object that the exact point
    // missed, as on the page's edge, where the page clips it: that object is dragged,
    // so its move is recorded, and no rubber band selects alongside it.
    if (auto *grabbed = dynamic_cast<ObjectItem *>(mouseGrabberItem())) {
        grabbed = grabbed->outermostObject();
        if (grabbed != pressedObject) {
            pressedObject = grabbed;
            grabbed->rememberPosition();
            objectsPressed = true;
            rubberBandActive = false;
        }
    }
}

void LVScene::createFormObject(int m, const QPointF &scenePos)
{
    const QPointF at = activePage->mapFromScene(scenePos);
    ObjectItem *object = nullptr;
    switch (m) {
    case 1:
        object = new TextItem;
        break;
    case 3:
        object = creatingRect = new RectItem;
        break;
    case 4:
        object = creatingLine = new LineItem;
        break;
    default:
        object = new CheckMarkItem;
        break;
    }
    object->setPos(at);
    object->initialPos = at;
    object->rememberPosition();
    stack->push(new AddObjectCommand(activePage, object));
    if (m == 3 || m == 4) {
        creating = true;
        createStart = at;
    }
}

void LVScene::mouseMoveEvent(QGraphicsSceneMouseEvent *event)
{
    QGraphicsScene::mouseMoveEvent(event);
    if (mainWindow)
        mainWindow->toolWatcher->mouseMoveEvent(event);
    const int m = mode();
    if ((m == 3 || m == 4) && creating && activePage) {
        const QPointF delta = activePage->mapFromScene(event->scenePos()) - createStart;
        if (m == 3 && creatingRect)
            creatingRect->setRect(QRectF(QPointF(), delta).normalized());
        if (m == 4 && creatingLine)
            creatingLine->setEndPoint(delta);
    }
    if (m == 0 && rubberBandActive)
        rubberBand.setSize(QSizeF(event->scenePos().x() - rubberBand.x(),
                                  event->scenePos().y() - rubberBand.y()));
    update();
}

void LVScene::recordMoves()
{
    QList<ObjectItem *> moved;
    for (ObjectItem *object : selectedObjects()) {
        const QPointF delta = object->pos() - object->rememberedPos;
        if (std::abs(delta.x()) > 1e-12 || std::abs(delta.y()) > 1e-12)
            moved << object;
    }
    if (moved.isEmpty())
        return;
    stack->beginMacro(QString());
    for (ObjectItem *object : qAsConst(moved)) {
        PageItem *page = pageOf(object, activePage);
        if (object->type() == ObjectItem::ImageType) {
            auto *image = static_cast<ImageItem *>(object);
            // The image goes back for a moment so that the step learns where it came from;
            // the push puts it where it was dropped.
            const QPointF dropped = image->pos();
            image->setPos(image->rememberedPos);
            stack->push(new ModifyImageCommand(page, image,
                                               std::make_shared<MoveImageCommand>(dropped)));
        } else {
            stack->push(new MoveObjectCommand(page, object));
        }
    }
    stack->endMacro();
    emit objectsMoved();
}

void LVScene::mouseReleaseEvent(QGraphicsSceneMouseEvent *event)
{
    if (objectsPressed)
        recordMoves();
    objectsPressed = false;
    if (mainWindow)
        mainWindow->toolWatcher->mouseReleaseEvent(event);

    const int m = mode();
    if (m == 0 && rubberBandActive) {
        rubberBandActive = false;
        rubberBand.setSize(QSizeF(event->scenePos().x() - rubberBand.x(),
                                  event->scenePos().y() - rubberBand.y()));
        const auto touched = items(rubberBand.normalized(), Qt::IntersectsItemShape);
        for (QGraphicsItem *item : touched)
            item->setSelected(true);
        update();
    } else if (m == 3 || m == 4) {
        creating = false;
        creatingRect = nullptr;
        creatingLine = nullptr;
    }
    QGraphicsScene::mouseReleaseEvent(event);
}

void LVScene::drawForeground(QPainter *painter, const QRectF &rect)
{
    // Pages rendered for printing or saving carry no tool rectangle and no rubber band.
    if (printing)
        return;
    if (mainWindow)
        mainWindow->toolWatcher->drawForeground(painter, rect);
    if (mode() == 0 && rubberBandActive) {
        const auto all = views();
        const double s = all.isEmpty() ? 1.0 : all.first()->transform().m11();
        painter->setPen(
                QPen(Qt::gray, s > 0 ? 1 / s : 1, Qt::DashLine, Qt::SquareCap, Qt::BevelJoin));
        painter->setBrush(Qt::NoBrush);
        painter->drawRect(rubberBand);
    }
}

namespace {

// The multiple of 10 next to v in the arrow's direction.
double snapDown(double v)
{
    return 10 * std::floor(v / 10);
}

} // namespace

void LVScene::moveSelectionByKey(QKeyEvent *event)
{
    const bool ctrl = event->modifiers() & Qt::ControlModifier;
    QList<ObjectItem *> moved;
    QList<QPointF> from;
    for (ObjectItem *object : selectedObjects()) {
        double x = object->x();
        double y = object->y();
        switch (event->key()) {
        case Qt::Key_Left:
            ctrl ? x -= 1 : (x = snapDown(x - 1), y = std::trunc(y));
            break;
        case Qt::Key_Right:
            ctrl ? x += 1 : (x = snapDown(x + 10), y = std::trunc(y));
            break;
        case Qt::Key_Up:
            ctrl ? y -= 1 : (y = snapDown(y - 1), x = std::trunc(x));
            break;
        case Qt::Key_Down:
            ctrl ? y += 1 : (y = snapDown(y + 10), x = std::trunc(x));
            break;
        default:
            return;
        }
        if (QPointF(x, y) == object->pos())
            continue;
        moved << object;
        from << object->pos();
        object->setPos(x, y);
    }
    recordNudge(moved, from);
}

// A nudge changes the document like a drag, so it is a step of its own, or the end of
// the step of the nudge just before it when the same objects moved and nothing else
// happened in between. A saved step is never extended: the document would change while
// it counts as saved.
void LVScene::recordNudge(const QList<ObjectItem *> &objects, const QList<QPointF> &from)
{
    if (objects.isEmpty())
        return;
    if (lastNudge && !stack->isClean() && lastNudge->movesExactly(objects)) {
        lastNudge->extend();
        return;
    }
    auto *nudge = new NudgeCommand(objects, from);
    stack->push(nudge);
    lastNudge = nudge;
}

void LVScene::focusNextText()
{
    QList<QGraphicsItem *> texts;
    const auto all = items(Qt::AscendingOrder);
    for (QGraphicsItem *item : all) {
        if (item->type() == ObjectItem::TextType)
            texts << item;
    }
    if (texts.isEmpty())
        return;
    QGraphicsItem *current = focusItem();
    const int index = texts.indexOf(current);
    QGraphicsItem *next
            = index >= 0 && index + 1 < texts.size() ? texts.at(index + 1) : texts.first();
    if (current)
        current->setSelected(false);
    next->setSelected(true);
    next->setFocus(Qt::TabFocusReason);
}

void LVScene::keyPressEvent(QKeyEvent *event)
{
    if (mode() == 8)
        return;
    LVToolWatcher *watcher = mainWindow ? mainWindow->toolWatcher : nullptr;
    const bool toolRect = watcher && watcher->hasRect();
    if (!toolRect)
        moveSelectionByKey(event);
    switch (event->key()) {
    case Qt::Key_Tab:
        focusNextText();
        return;
    case Qt::Key_Delete:
        deleteObjects();
        return;
    case Qt::Key_Escape:
        if (watcher) {
            if (LVTool *tool = watcher->currentTool())
                tool->reset();
        }
        return;
    default:
        if (toolRect)
            watcher->keyPressEvent(event);
        else
            QGraphicsScene::keyPressEvent(event);
    }
}
