#include "lvcombobox.h"

#include <QFontMetrics>
#include <QIntValidator>
#include <QKeyEvent>
#include <QLineEdit>
#include <QSignalBlocker>

LVComboBox::LVComboBox(QWidget *parent) : QComboBox(parent)
{
    setEditable(true);
    setInsertPolicy(QComboBox::NoInsert);
    // The inline completer would turn a typed 40 into the step 400 %.
    setCompleter(nullptr);
    setMinimumWidth(int(QFontMetricsF(font()).horizontalAdvance(QStringLiteral("00000 %")) + 30));
    // A sign may be typed so that "-5" reaches Return whole and is refused there, rather
    // than silently becoming 5.
    setValidator(new QIntValidator(-maxPercent, maxPercent, this));
}

void LVComboBox::showText(const QString &text)
{
    const QSignalBlocker blocker(this);
    setCurrentIndex(-1);
    setEditText(text);
}

double LVComboBox::percentFromText(const QString &text)
{
    const int pos = text.indexOf(tr("%"));
    bool ok = false;
    const double value = (pos < 0 ? text : text.left(pos)).trimmed().toDouble(&ok);
    return ok ? value : 0.0;
}

QString LVComboBox::percentText(double percent)
{
    return QStringLiteral("%1 %").arg(percent);
}

void LVComboBox::keyPressEvent(QKeyEvent *event)
{
    // The keypad's Enter confirms the same way as Return.
    if (event->key() != Qt::Key_Return && event->key() != Qt::Key_Enter) {
        QComboBox::keyPressEvent(event);
        return;
    }
    const QString typed = lineEdit()->text();
    const double value = percentFromText(typed);
    // Refused text goes on as it is; the window then shows the view's own scale again.
    if (!(value > 0)) {
        emit editTextChangedLV(typed);
        return;
    }
    const QString text = percentText(qMin(value, double(maxPercent)));
    showText(text);
    emit editTextChangedLV(text);
}
