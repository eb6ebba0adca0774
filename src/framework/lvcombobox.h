#pragma once

#include <QComboBox>

// Editable zoom box: accepts a percentage typed by hand and reports it on Return.
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

signals:
    void editTextChangedLV(const QString &text);

protected:
    void keyPressEvent(QKeyEvent *event) override;
};
