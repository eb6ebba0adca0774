#include "lvcombobox.h"

#include <QFontMetrics>
#include <QIntValidator>
#include <QKeyEvent>
#include <QLineEdit>

LVComboBox::LVComboBox(QWidget *parent) : QComboBox(parent)
{
    setEditable(true);
    setInsertPolicy(QComboBox::NoInsert);
    setMinimumWidth(int(QFontMetricsF(font()).horizontalAdvance(QStringLiteral("00000 %")) + 30));
    setValidator(new QIntValidator(1, maxPercent, this));
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
    const double value = qMin(percentFromText(lineEdit()->text()), double(maxPercent));
    const QString text = percentText(value);
    setEditText(text);
    emit editTextChangedLV(text);
}
