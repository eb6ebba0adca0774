#pragma once

#include <QUndoCommand>

class LVScene;
class PageItem;

// Swaps the active page with its neighbour.
class MovePageCommand : public QUndoCommand
{
public:
    MovePageCommand(LVScene *scene, bool forward);
    void redo() override;
    void undo() override;

private:
    LVScene *scene;
    PageItem *page;
    bool forward;
};
