#pragma once

#include <QUndoCommand>

class PageItem;

// Gives a page a new size with its top-left corner at (0, 0).
class PageSettingsCommand : public QUndoCommand
{
public:
    explicit PageSettingsCommand(PageItem *page);
    void redo() override;
    void undo() override;

    int newWidth = -1;
    int newHeight = -1;

private:
    void resize(int width, int height);

    PageItem *page;
    int oldWidth;
    int oldHeight;
};
