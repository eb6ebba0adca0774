#pragma once

#include <QObject>

class QSocketNotifier;

// Turns SIGTERM and SIGINT into a Qt signal on the GUI thread, so that a logout or a
// Ctrl+C in the terminal closes the window the usual way instead of killing the process.
class TerminationSignals : public QObject
{
    Q_OBJECT
public:
    explicit TerminationSignals(QObject *parent = nullptr);
    ~TerminationSignals() override;

    // Starts delivering: a signal that came earlier waits until then, so it is not lost
    // while there is no window yet to close.
    void start();
    // False when the signals could not be hooked; the program then keeps the default handling.
    bool isActive() const { return notifier != nullptr; }

signals:
    void terminationRequested(int signal);

private:
    void readSignal();

    QSocketNotifier *notifier = nullptr;
};
