#pragma once

#include <QDialog>
#include <QPixmap>
#include <QString>

// The About box: a picture as background with the program name, the version, links to the
// maker's support page and web site, and a notice line. The caller fills the fields and
// calls setupDialog() once; a click on the background closes it.
class LVAboutDialog : public QDialog
{
    Q_OBJECT
public:
    explicit LVAboutDialog(QWidget *parent = nullptr);

    // Builds the contents from the fields; the dialog takes the picture's size when it loads.
    void setupDialog();

    static const char *const supportUrl;
    static const char *const webUrl;

    QString name;
    QString version;
    QString pixmapPath;
    QString years;
    QString organisation;

protected:
    void mouseReleaseEvent(QMouseEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    QPixmap pixmap;
};
