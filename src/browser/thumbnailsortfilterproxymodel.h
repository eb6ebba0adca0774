#pragma once

#include <QSortFilterProxyModel>
#include <QVector>

// Puts the thumbnails in the chosen order: by name, type, modification time or size, or
// frozen as they were last shown ("None").
class ThumbnailSortFilterProxyModel : public QSortFilterProxyModel
{
    Q_OBJECT
public:
    explicit ThumbnailSortFilterProxyModel(QObject *parent = nullptr);

    // 0 none, 1 name, 2 type, 3 date and time modified, 4 size.
    void setSortMode(int mode) { sortMode = mode; }
    int mode() const { return sortMode; }
    // The order last given to sort(): 0 ascending, 1 descending.
    int order() const { return sortOrder; }

    void setSourceModel(QAbstractItemModel *model) override;
    void sort(int column, Qt::SortOrder order = Qt::AscendingOrder) override;
    // Stores every row's place on screen as its item's position, freezing the order shown.
    void recordOrder();

protected:
    bool lessThan(const QModelIndex &left, const QModelIndex &right) const override;

private:
    // What name comparisons need of one file name, derived once rather than per comparison.
    struct NameKey
    {
        QString lower; // the name in lower case
        int baseLength = 0; // up to the first dot
        int suffixStart = 0; // after the last dot; the length when there is none
        bool valid = false;
        QStringRef base() const { return lower.leftRef(baseLength); }
        QStringRef suffix() const { return lower.midRef(suffixStart); }
    };

    // The key of a source item: from the cache for top-level items, else made in spare.
    const NameKey &nameKey(const QModelIndex &source, NameKey &spare) const;
    void forgetKeys();
    void forgetKeys(const QModelIndex &topLeft, const QModelIndex &bottomRight);

    int sortMode = 1;
    int sortOrder = 0;
    // By source row of top-level items; filled as comparisons ask, emptied whenever the
    // source's rows move or its data changes.
    mutable QVector<NameKey> keys;
    QVector<QMetaObject::Connection> sourceConnections;
};
