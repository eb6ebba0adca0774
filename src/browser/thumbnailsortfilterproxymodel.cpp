#include "thumbnailsortfilterproxymodel.h"

#include "thumbnaillistmodel.h"

ThumbnailSortFilterProxyModel::ThumbnailSortFilterProxyModel(QObject *parent)
    : QSortFilterProxyModel(parent)
{
    setDynamicSortFilter(false);
}

bool ThumbnailSortFilterProxyModel::lessThan(const QModelIndex &left,
                                             const QModelIndex &right) const
{
    // The other orders arrive with the sorting controls; until then, by name.
    return QString::localeAwareCompare(left.data().toString(), right.data().toString()) < 0;
}
