#include "movepagecommand.h"

#include "framework/lvscene.h"

MovePageCommand::MovePageCommand(LVScene *scene, bool forward)
    : scene(scene), page(scene->currentPage()), forward(forward)
{}

void MovePageCommand::redo()
{
    scene->movePageCommand(page, forward);
}

void MovePageCommand::undo()
{
    scene->movePageCommand(page, !forward);
}
