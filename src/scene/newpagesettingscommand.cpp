#include "newpagesettingscommand.h"

#include "framework/lvscene.h"
#include "pageitem.h"

NewPageSettingsCommand::NewPageSettingsCommand(PageItem *page)
    : page(page),
      newOrientation(page->newOrientation),
      newPaperSize(page->newPaperSize),
      oldOrientation(page->orientation),
      oldPaperSize(page->paperSize)
{}

void NewPageSettingsCommand::redo()
{
    set(newOrientation, newPaperSize);
}

void NewPageSettingsCommand::undo()
{
    set(oldOrientation, oldPaperSize);
}

void NewPageSettingsCommand::set(int orientation, int paperSize)
{
    page->paperSize = paperSize;
    page->orientation = orientation;
    page->updatePageRect();
    if (LVScene *scene = page->lvScene())
        scene->layoutPages();
}
