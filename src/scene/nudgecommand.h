#pragma once

#include "moveimagecommand.h"

#include <QList>
#include <QPointF>
#include <QUndoCommand>
#include <memory>

class ObjectItem;

// Objects moved by the arrow keys. The scene extends the step while the same objects are
// nudged again with nothing in between, so that holding a key makes one step. An image
// moves through an image operation, as with every change of an image's place, so that
// rebuilding it after a later undo keeps it where the step put it.
class NudgeCommand : public QUndoCommand
{
public:
    // The objects have been moved already; from holds where each of them was.
    NudgeCommand(const QList<ObjectItem *> &objects, const QList<QPointF> &from);
    void redo() override;
    void undo() override;

    // Whether the step moves exactly these objects.
    bool movesExactly(const QList<ObjectItem *> &objects) const;
    // Takes the places where the objects are now as the step's end.
    void extend();

private:
    struct Move
    {
        ObjectItem *object;
        QPointF from;
        QPointF to;
        std::shared_ptr<MoveImageCommand> imageMove; // for images only
    };
    QList<Move> moves;
};
