#pragma once

#include <QTransform>
#include <QUndoCommand>

class ObjectItem;
class PageItem;

// Replaces an object's transform (turns and flips), flipping its marks each way.
class TransformObjectCommand : public QUndoCommand
{
public:
    TransformObjectCommand(PageItem *page, ObjectItem *object);
    void redo() override;
    void undo() override;

    QTransform oldTransform;
    QTransform newTransform;
    bool toggleMirrored = false;
    bool toggleQuarterTurn = false;

private:
    void set(const QTransform &transform);

    PageItem *page;
    ObjectItem *object;
};
