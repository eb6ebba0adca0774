#pragma once

#include <QUndoCommand>
#include <QVariant>

class ObjectItem;

// Changes one property of an object.
class ModifyObjectCommand : public QUndoCommand
{
public:
    ModifyObjectCommand(ObjectItem *object, const QVariant &oldState, const QVariant &newState,
                        int propertyId);
    void redo() override;
    void undo() override;

private:
    ObjectItem *object;
    QVariant oldState;
    QVariant newState;
    int propertyId;
};
