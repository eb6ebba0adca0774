#pragma once

#include <QComboBox>

// Editable zoom box: accepts a percentage typed by hand and reports it on Return.
// What is typed is taken as it stands: the box completes nothing.
class LVComboBox : public QComboBox
{
    Q_OBJECT
public:
    explicit LVComboBox(QWidget *parent = nullptr);

    // Largest zoom percentage the box accepts or shows.
    static constexpr int maxPercent = 25600;

    // Reads "300 %" or "300" as a percentage; 0 when the text holds no number.
    static double percentFromText(const QString &text);
    // "%1 %" with the number formatted like the zoom steps.
    static QString percentText(double percent);
    // Shows text without choosing a step, so that any step chosen next applies.
    void showText(const QString &text);

signals:
    void editTextChangedLV(const QString &text);

protected:
    void keyPressEvent(QKeyEvent *event) override;
};
