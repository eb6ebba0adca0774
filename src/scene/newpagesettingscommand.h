#pragma once

#include <QUndoCommand>

class PageItem;

// Applies the paper size and orientation chosen for a page.
class NewPageSettingsCommand : public QUndoCommand
{
public:
    explicit NewPageSettingsCommand(PageItem *page);
    void redo() override;
    void undo() override;

private:
    void set(int orientation, int paperSize);

    PageItem *page;
    int newOrientation;
    int newPaperSize;
    int oldOrientation;
    int oldPaperSize;
};
