#include "statusbar.h"

#include <QAction>
#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QLocale>

namespace {

// Width bounds of the first two fields; a text that needs more widens its field.
constexpr int firstMinimum = 100;
constexpr int firstMaximum = 230;
constexpr int secondMinimum = 200;
constexpr int secondMaximum = 280;

void setFieldText(QLabel *label, const QString &text, int minimum, int maximum)
{
    label->setText(text);
    const int needed = label->sizeHint().width();
    label->setMinimumWidth(qMax(minimum, needed));
    label->setMaximumWidth(qMax(maximum, needed));
}

} // namespace

StatusBar::StatusBar(QWidget *parent) : QStatusBar(parent)
{
    toggleAction = new QAction(tr("Status Bar"), this);
    toggleAction->setCheckable(true);
    connect(toggleAction, &QAction::triggered, this, &StatusBar::toggleView);

    auto *frame = new QFrame;
    auto *layout = new QHBoxLayout(frame);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    // The fields inherit the bar's font, so they follow it when it changes.
    const auto makeField = [&]() {
        auto *label = new QLabel;
        label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        label->setLineWidth(1);
        layout->addWidget(label);
        return label;
    };
    first = makeField();
    second = makeField();
    // The third field takes the remaining width.
    third = makeField();
    third->setMinimumWidth(200);
    addPermanentWidget(frame, 1);

    setPosition(QPoint(0, 0));
    setSelectionRect(QRectF());
    setImageSize(QSize(0, 0));
    setTotal(0, 0);
    setSelected(0, 0);
}

QString StatusBar::sizeText(qint64 bytes)
{
    if (bytes >= 0x100000)
        return tr("%1 MB").arg(bytes * 9.5367431640625e-07, 0, 'f', 2);
    if (bytes >= 1024)
        return tr("%1 KB").arg(bytes * 0.0009765625, 0, 'f', 2);
    return tr("%1 B").arg(bytes);
}

QString StatusBar::firstText() const
{
    return first->text();
}

QString StatusBar::secondText() const
{
    return second->text();
}

QString StatusBar::thirdText() const
{
    return third->text();
}

void StatusBar::toggleView(bool on)
{
    if (on == isHidden())
        setVisible(on);
}

void StatusBar::setPosition(const QPoint &p)
{
    if (p.x() >= 0 && p.x() < imageWidth && p.y() >= 0 && p.y() < imageHeight)
        positionText = tr("%1, %2").arg(p.x()).arg(p.y());
    else
        positionText = QStringLiteral("     ");
    updateFirst();
}

void StatusBar::setSelectionRect(const QRectF &rect)
{
    const QRectF r = rect.normalized();
    const int width = qRound(r.width());
    const int height = qRound(r.height());
    if (width == 0 && height == 0)
        selectionText = QStringLiteral(" ");
    else
        selectionText = tr("%1,%2 %3x%4").arg(qRound(r.x())).arg(qRound(r.y())).arg(width).arg(height);
    updateFirst();
}

void StatusBar::setImageSize(const QSize &size)
{
    imageWidth = size.width();
    imageHeight = size.height();
    dimensionsText = tr("%1x%2").arg(size.width()).arg(size.height());
    updateSecond();
}

void StatusBar::setDateTime(const QDateTime &time)
{
    dateText = tr("%1").arg(QLocale().toString(time, QLocale::ShortFormat));
    updateSecond();
}

void StatusBar::setFileSize(qint64 bytes)
{
    fileSizeText = sizeText(bytes);
    updateSecond();
}

void StatusBar::setTotal(int count, qint64 bytes)
{
    totalText = tr("Total %n file(s) %1", "", count).arg(sizeText(bytes));
    updateThird();
}

void StatusBar::setSelected(int count, qint64 bytes)
{
    selectedText = tr("Selected %n file(s) %1", "", count).arg(sizeText(bytes));
    updateThird();
}

void StatusBar::clearImage()
{
    imageWidth = 0;
    imageHeight = 0;
    dateText.clear();
    fileSizeText.clear();
    dimensionsText.clear();
    updateSecond();
    setPosition(QPoint(-1, -1));
}

void StatusBar::changeEvent(QEvent *event)
{
    QStatusBar::changeEvent(event);
    if (event->type() == QEvent::FontChange) {
        updateFirst();
        updateSecond();
    }
}

void StatusBar::updateFirst()
{
    setFieldText(first, positionText + QStringLiteral("   ") + selectionText, firstMinimum,
                 firstMaximum);
}

void StatusBar::updateSecond()
{
    const bool none = dateText.isEmpty() && fileSizeText.isEmpty() && dimensionsText.isEmpty();
    setFieldText(second,
                 none ? QString()
                      : dateText + QStringLiteral("  ") + fileSizeText + QStringLiteral("  ")
                                 + dimensionsText,
                 secondMinimum, secondMaximum);
}

void StatusBar::updateThird()
{
    third->setText(totalText + QStringLiteral("  ") + selectedText);
}
