#include "lvscene.h"

#include "scene/pageitem.h"

#include <QUndoStack>

LVScene::LVScene(QObject *parent, LVMainWindow *mainWindow)
    : QGraphicsScene(parent), mainWindow(mainWindow), stack(std::make_unique<QUndoStack>())
{}

LVScene::~LVScene()
{
    // Commands may refer to items of this scene; they go first.
    stack.reset();
}

void LVScene::setActivePage(PageItem *page)
{
    activePage = page;
    update();
}

bool LVScene::hasSelectedPageObjects() const
{
    if (!activePage)
        return false;
    const auto children = activePage->childItems();
    return std::any_of(children.begin(), children.end(),
                       [](QGraphicsItem *item) { return item->isSelected(); });
}

// The object operations below arrive with the object stream and the undo commands.
void LVScene::copy() {}

void LVScene::cut() {}

void LVScene::paste() {}

void LVScene::selectAll()
{
    if (!activePage)
        return;
    for (QGraphicsItem *item : activePage->childItems())
        item->setSelected(true);
}

void LVScene::raise() {}

void LVScene::lower() {}

void LVScene::raiseToTop() {}

void LVScene::lowerToBottom() {}

void LVScene::deleteObjects() {}
