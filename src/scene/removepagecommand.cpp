#include "removepagecommand.h"

#include "framework/lvscene.h"
#include "pageitem.h"

RemovePageCommand::RemovePageCommand(LVScene *scene, PageItem *page)
    : scene(scene), page(page), index(scene->pages.indexOf(page))
{}

RemovePageCommand::~RemovePageCommand()
{
    if (ownsPage)
        delete page;
}

void RemovePageCommand::redo()
{
    scene->removePageCommand(page, nullptr);
    ownsPage = true;
}

void RemovePageCommand::undo()
{
    scene->insertPageCommand(index, page);
    ownsPage = false;
}
