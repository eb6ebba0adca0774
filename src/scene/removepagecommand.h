#pragma once

#include <QUndoCommand>

class LVScene;
class PageItem;

// Removes a page; while done, the command owns the page.
class RemovePageCommand : public QUndoCommand
{
public:
    RemovePageCommand(LVScene *scene, PageItem *page);
    ~RemovePageCommand() override;
    void redo() override;
    void undo() override;

private:
    LVScene *scene;
    PageItem *page;
    // Set while the page is out of the scene because of this command.
    bool ownsPage = false;
    int index;
};
