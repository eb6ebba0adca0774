#include "modalanswerer.h"

#include <QAbstractButton>
#include <QApplication>
#include <QFileDialog>

namespace {
const int maxTurns = 2000;
}

ModalAnswerer::ModalAnswerer()
{
    // Lives until the end of the test run; answered() stays readable.
    setParent(qApp);
    timer.setInterval(1);
    connect(&timer, &QTimer::timeout, this, &ModalAnswerer::poll);
    timer.start();
}

ModalAnswerer *ModalAnswerer::messageBox(QMessageBox::StandardButton button,
                                         std::function<void()> whileOpen)
{
    auto *answerer = new ModalAnswerer;
    answerer->button = button;
    answerer->whileOpen = std::move(whileOpen);
    return answerer;
}

ModalAnswerer *ModalAnswerer::fileDialog(const QString &path)
{
    auto *answerer = new ModalAnswerer;
    answerer->forFileDialog = true;
    answerer->path = path;
    return answerer;
}

ModalAnswerer *ModalAnswerer::until(std::function<bool()> step)
{
    auto *answerer = new ModalAnswerer;
    answerer->step = std::move(step);
    // A zero-time timer is due at every processEvents(), so code that polls between steps
    // of its work meets it at each of them.
    answerer->timer.setInterval(0);
    return answerer;
}

ModalAnswerer *ModalAnswerer::thenMessageBox(QMessageBox::StandardButton button)
{
    // Waits until this one has answered, so that both never take the same dialog.
    next = messageBox(button);
    next->timer.stop();
    return next;
}

void ModalAnswerer::poll()
{
    if (++turns > maxTurns)
        return timer.stop();
    QWidget *modal = QApplication::activeModalWidget();
    auto *dialog = qobject_cast<QFileDialog *>(modal);
    auto *box = qobject_cast<QMessageBox *>(modal);
    if (step ? !step() : forFileDialog ? !dialog : !box)
        return;
    timer.stop();
    done = true;
    if (next)
        next->timer.start();
    if (step)
        return;
    if (forFileDialog) {
        seenText = dialog->selectedFiles().value(0);
        if (path.isEmpty())
            return dialog->reject();
        dialog->selectFile(path);
        QMetaObject::invokeMethod(dialog, "accept");
        return;
    }
    seenText = box->text();
    if (whileOpen)
        whileOpen();
    if (QAbstractButton *b = box->button(button))
        b->click();
    else
        box->reject();
}
