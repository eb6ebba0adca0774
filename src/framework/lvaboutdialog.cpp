#include "lvaboutdialog.h"

#include <QLabel>
#include <QPainter>
#include <QUrl>
#include <QVBoxLayout>

const char *const LVAboutDialog::supportUrl = "https://www.ostrelle.org/vireon/feedback";
const char *const LVAboutDialog::webUrl = "https://www.ostrelle.org/vireon";

LVAboutDialog::LVAboutDialog(QWidget *parent) : QDialog(parent) {}

void LVAboutDialog::setupDialog()
{
    // The labels sit on the picture; a size other than its own would show bare edges.
    if (!pixmapPath.isEmpty() && pixmap.load(pixmapPath))
        setFixedSize(pixmap.size());

    setWindowTitle(tr("About %1 %2").arg(name, version));

    auto *heading = new QLabel(tr("<h1>%1</h1>").arg(name.toHtmlEscaped()));
    heading->setAlignment(Qt::AlignTop | Qt::AlignHCenter);

    const QUrl web(QString::fromLatin1(webUrl));
    auto *links = new QLabel(tr("<b>Version: %1</b><p>Technical support: <a href=\"%2\">feedback "
                                "page</a><br>Web: <a href=\"%3\">%4</a>")
                                     .arg(version.toHtmlEscaped(), QString::fromLatin1(supportUrl),
                                          web.toString(), web.host()));
    links->setAlignment(Qt::AlignVCenter);
    links->setOpenExternalLinks(true);
    // Reachable with Tab and Return as well as the mouse.
    links->setTextInteractionFlags(Qt::LinksAccessibleByMouse | Qt::LinksAccessibleByKeyboard);

    auto *notice = new QLabel(tr("Copyright © %1 %2").arg(years, organisation));
    notice->setTextFormat(Qt::PlainText);
    notice->setAlignment(Qt::AlignBottom);

    auto *layout = new QVBoxLayout;
    layout->setContentsMargins(10, 10, 10, 10);
    layout->addWidget(heading);
    layout->addStretch();
    layout->addWidget(links);
    layout->addStretch();
    layout->addWidget(notice);
    setLayout(layout);
}

void LVAboutDialog::mouseReleaseEvent(QMouseEvent *event)
{
    QDialog::mouseReleaseEvent(event);
    reject();
}

void LVAboutDialog::paintEvent(QPaintEvent *event)
{
    QDialog::paintEvent(event);
    if (pixmap.isNull())
        return;
    QPainter painter(this);
    painter.drawPixmap(pixmap.rect(), pixmap, pixmap.rect());
}
