#include "thumbnaileditor.h"

#include <QKeyEvent>

ThumbnailEditor::ThumbnailEditor(QWidget *parent) : QTextEdit(parent)
{
    setAcceptRichText(false);
    // The editor grows downward to show a long name whole instead of scrolling.
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setAlignment(Qt::AlignCenter);
    // Modified means typed by the user (see ThumbnailDelegate::setEditorData).
    document()->setModified(false);
}

void ThumbnailEditor::keyPressEvent(QKeyEvent *event)
{
    // A file name has one line: Return commits instead of breaking it.
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        event->accept();
        emit editingFinished();
        return;
    }
    QTextEdit::keyPressEvent(event);
}
