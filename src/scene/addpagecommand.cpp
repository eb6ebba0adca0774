#include "addpagecommand.h"

#include "framework/lvscene.h"
#include "pageitem.h"

AddPageCommand::AddPageCommand(LVScene *scene, PageItem *page)
    : scene(scene), page(page), previousActivePage(scene->currentPage())
{}

AddPageCommand::~AddPageCommand()
{
    if (ownsPage)
        delete page;
}

void AddPageCommand::redo()
{
    scene->addPageCommand(page);
    ownsPage = false;
}

void AddPageCommand::undo()
{
    scene->removePageCommand(page, previousActivePage);
    ownsPage = true;
}
