#include "pagesettingscommand.h"

#include "framework/lvscene.h"
#include "pageitem.h"

PageSettingsCommand::PageSettingsCommand(PageItem *page)
    : page(page), oldWidth(page->rect.width()), oldHeight(page->rect.height())
{}

void PageSettingsCommand::redo()
{
    resize(newWidth, newHeight);
}

void PageSettingsCommand::undo()
{
    resize(oldWidth, oldHeight);
}

void PageSettingsCommand::resize(int width, int height)
{
    page->setPageRect(QRect(0, 0, width, height));
    if (LVScene *scene = page->lvScene())
        scene->layoutPages();
}
