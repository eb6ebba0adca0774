#include "statusbar.h"

#include <QAction>
#include <QHBoxLayout>
#include <QLabel>
#include <QLocale>

StatusBar::StatusBar(QWidget *parent) : QStatusBar(parent)
{
    toggleAction = new QAction(tr("Status Bar"), this);
    toggleAction->setCheckable(true);
    connect(toggleAction, &QAction::triggered, this, &StatusBar::toggleView);

    auto *frame = new QFrame;
    auto *layout = new QHBoxLayout(frame);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    const auto makeField = [&](int minimum, int maximum) {
        auto *label = new QLabel;
        label->setFont(font());
        label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        label->setLineWidth(1);
        label->setMinimumWidth(minimum);
        if (maximum > 0)
            label->setMaximumWidth(maximum);
        layout->addWidget(label);
        return label;
    };
    first = makeField(100, 230);
    second = makeField(200, 280);
    third = makeField(200, 0);
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

void StatusBar::updateFirst()
{
    first->setText(positionText + QStringLiteral("   ") + selectionText);
}

void StatusBar::updateSecond()
{
    second->setText(dateText + QStringLiteral("  ") + fileSizeText + QStringLiteral("  ")
                    + dimensionsText);
}

void StatusBar::updateThird()
{
    third->setText(totalText + QStringLiteral("  ") + selectedText);
}
