#pragma once

#include <QStyledItemDelegate>

class ThumbnailSortFilterProxyModel;

// Paints a thumbnail cell: the picture on a common base line, its frame, and the name.
class ThumbnailDelegate : public QStyledItemDelegate
{
    Q_OBJECT
public:
    explicit ThumbnailDelegate(QObject *parent = nullptr);

    void paint(QPainter *painter, const QStyleOptionViewItem &option,
               const QModelIndex &index) const override;
    QSize sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const override;

    void setProxy(ThumbnailSortFilterProxyModel *model) { proxy = model; }

private:
    ThumbnailSortFilterProxyModel *proxy = nullptr;
};
