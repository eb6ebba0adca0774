#pragma once

#include <QTextEdit>

// The box in which a thumbnail's base name is edited in place; Return ends the editing.
class ThumbnailEditor : public QTextEdit
{
    Q_OBJECT
public:
    explicit ThumbnailEditor(QWidget *parent = nullptr);

signals:
    void editingFinished();

protected:
    void keyPressEvent(QKeyEvent *event) override;
};
