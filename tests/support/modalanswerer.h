#pragma once

#include <QMessageBox>
#include <QObject>
#include <QPointer>
#include <QTimer>

#include <functional>

// Answers the next modal dialog from the event loop, so that a test can drive code that
// asks the user. It polls with zero-time timers until the dialog shows, and gives up
// (reporting nothing answered) after a bounded number of turns so a test cannot hang.
class ModalAnswerer : public QObject
{
    Q_OBJECT
public:
    // Presses the given button of the next QMessageBox; whileOpen runs first, with the box
    // shown, so that a test can make things happen during the question.
    static ModalAnswerer *messageBox(QMessageBox::StandardButton button,
                                     std::function<void()> whileOpen = {});
    // Enters the path in the next QFileDialog and accepts it; an empty path cancels it.
    static ModalAnswerer *fileDialog(const QString &path);
    // Runs step on every turn of the event loop (and every processEvents() call) until it
    // returns true: for dialogs the other answerers do not know, or ones not yet shown.
    static ModalAnswerer *until(std::function<bool()> step);
    // Answer the dialog that follows the one this answerer takes, for code that asks twice.
    ModalAnswerer *thenMessageBox(QMessageBox::StandardButton button);

    bool answered() const { return done; }
    // Text of the message box that was answered; for a file dialog, the file it proposed.
    QString text() const { return seenText; }

private:
    ModalAnswerer();
    void poll();

    QTimer timer;
    int turns = 0;
    bool done = false;
    bool forFileDialog = false;
    QMessageBox::StandardButton button = QMessageBox::NoButton;
    QString path;
    std::function<void()> whileOpen;
    std::function<bool()> step;
    QPointer<ModalAnswerer> next;
    QString seenText;
};
