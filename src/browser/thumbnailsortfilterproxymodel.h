#pragma once

#include <QSortFilterProxyModel>

// Puts the thumbnails in the chosen order.
class ThumbnailSortFilterProxyModel : public QSortFilterProxyModel
{
    Q_OBJECT
public:
    explicit ThumbnailSortFilterProxyModel(QObject *parent = nullptr);

    // 0 none, 1 name, 2 type, 3 date and time modified, 4 size.
    void setSortMode(int mode) { sortMode = mode; }
    int mode() const { return sortMode; }

protected:
    bool lessThan(const QModelIndex &left, const QModelIndex &right) const override;

private:
    int sortMode = 1;
};
