#pragma once

#include <QDateTime>
#include <QStatusBar>

class QAction;
class QLabel;

// The main window's status bar: mouse position and selected rectangle, the shown
// image's date, file size and pixel size, and the folder's file totals.
class StatusBar : public QStatusBar
{
    Q_OBJECT
public:
    explicit StatusBar(QWidget *parent = nullptr);

    // A byte count as "%1 MB", "%1 KB" or "%1 B".
    static QString sizeText(qint64 bytes);

    QAction *toggleViewAction() const { return toggleAction; }
    QString firstText() const;
    QString secondText() const;
    QString thirdText() const;

    void setPosition(const QPoint &point);
    void setSelectionRect(const QRectF &rect);
    void setImageSize(const QSize &size);
    void setDateTime(const QDateTime &time);
    void setFileSize(qint64 bytes);
    void setTotal(int count, qint64 bytes);
    void setSelected(int count, qint64 bytes);
    // No image is shown: the image's fields are left empty.
    void clearImage();

public slots:
    void toggleView(bool on);

protected:
    void changeEvent(QEvent *event) override;

private:
    void updateFirst();
    void updateSecond();
    void updateThird();

    QString positionText;
    QString selectionText;
    QString dateText;
    QString fileSizeText;
    QString dimensionsText;
    QString totalText;
    QString selectedText;
    QLabel *first = nullptr;
    QLabel *second = nullptr;
    QLabel *third = nullptr;
    QAction *toggleAction = nullptr;
    int imageWidth = -1;
    int imageHeight = -1;
};
