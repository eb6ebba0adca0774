#include "nudgecommand.h"

#include "imageitem.h"

#include <QGraphicsScene>

NudgeCommand::NudgeCommand(const QList<ObjectItem *> &objects, const QList<QPointF> &from)
{
    for (int i = 0; i < objects.size(); ++i) {
        ObjectItem *object = objects.at(i);
        Move move { object, from.value(i), object->pos(), nullptr };
        if (object->type() == ObjectItem::ImageType) {
            static_cast<ImageItem *>(object)->keepBaseImage();
            move.imageMove = std::make_shared<MoveImageCommand>(move.to);
        }
        moves.append(move);
    }
}

void NudgeCommand::redo()
{
    for (const Move &move : qAsConst(moves)) {
        if (move.imageMove) {
            move.imageMove->pos = move.to;
            static_cast<ImageItem *>(move.object)->applyOperation(move.imageMove);
        } else {
            move.object->setPos(move.to);
        }
        if (QGraphicsScene *scene = move.object->scene())
            scene->update();
    }
}

void NudgeCommand::undo()
{
    for (const Move &move : qAsConst(moves)) {
        if (move.imageMove)
            static_cast<ImageItem *>(move.object)->undoLastOperation();
        move.object->setPos(move.from);
        if (QGraphicsScene *scene = move.object->scene())
            scene->update();
    }
}

bool NudgeCommand::movesExactly(const QList<ObjectItem *> &objects) const
{
    if (objects.size() != moves.size())
        return false;
    for (const Move &move : moves) {
        if (!objects.contains(move.object))
            return false;
    }
    return true;
}

void NudgeCommand::extend()
{
    // The operation is the image's last one: nothing has been done since the step.
    for (Move &move : moves) {
        move.to = move.object->pos();
        if (move.imageMove)
            move.imageMove->pos = move.to;
    }
}
