#pragma once

#include <QUndoCommand>

class LVScene;
class PageItem;

// Adds a page; while undone, the command owns the page.
class AddPageCommand : public QUndoCommand
{
public:
    AddPageCommand(LVScene *scene, PageItem *page);
    ~AddPageCommand() override;
    void redo() override;
    void undo() override;

private:
    LVScene *scene;
    PageItem *page;
    // Set while the page is out of the scene because of this command.
    bool ownsPage = false;
    PageItem *previousActivePage;
};
