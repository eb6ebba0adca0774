#include "thumbnaildelegate.h"

#include "thumbnaillistmodel.h"

#include <QPainter>

ThumbnailDelegate::ThumbnailDelegate(QObject *parent) : QStyledItemDelegate(parent) {}

QSize ThumbnailDelegate::sizeHint(const QStyleOptionViewItem &, const QModelIndex &) const
{
    return QSize(98, 98);
}

void ThumbnailDelegate::paint(QPainter *painter, const QStyleOptionViewItem &option,
                              const QModelIndex &index) const
{
    const QRect r = option.rect;
    const QColor selection(138, 180, 254);
    if (option.state & QStyle::State_Selected) {
        painter->save();
        painter->setOpacity(0.3);
        painter->fillRect(r, selection);
        painter->setOpacity(1.0);
        painter->setPen(selection);
        painter->drawRect(r.adjusted(0, 0, -1, -1));
        painter->restore();
    }

    painter->save();
    painter->setRenderHint(QPainter::Antialiasing);
    painter->setBrush(Qt::NoBrush);
    const QPixmap pixmap = index.data(ThumbnailListModel::PixmapRole).value<QPixmap>();
    QPoint at = r.topLeft();
    if (pixmap.width() < ThumbnailListModel::maxWidth)
        at.rx() += (r.width() - pixmap.width()) / 2;
    // Thumbnails stand on a common base line.
    if (pixmap.height() < ThumbnailListModel::maxHeight)
        at.ry() += ThumbnailListModel::maxHeight - pixmap.height();
    at += QPoint(1, 2);
    QPen frame(Qt::darkGray, 0, Qt::SolidLine, Qt::SquareCap, Qt::BevelJoin);
    frame.setCosmetic(true);
    painter->setPen(frame);
    painter->drawRect(QRect(at, pixmap.size()));
    painter->drawPixmap(at, pixmap);

    painter->setPen(Qt::black);
    const QString name = elidedText(option.fontMetrics, 98, Qt::ElideRight,
                                    index.data(Qt::DisplayRole).toString());
    painter->drawText(QRect(r.left(), r.top() + ThumbnailListModel::maxHeight, r.width(),
                            r.height() - ThumbnailListModel::maxHeight),
                      Qt::AlignCenter, name);
    painter->restore();
}
