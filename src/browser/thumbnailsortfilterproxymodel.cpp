#include "thumbnailsortfilterproxymodel.h"

#include "thumbnaillistmodel.h"

#include <QDateTime>

namespace {

enum SortMode { None, Name, Type, Modified, Size };

} // namespace

ThumbnailSortFilterProxyModel::ThumbnailSortFilterProxyModel(QObject *parent)
    : QSortFilterProxyModel(parent)
{
    // Re-sorted when told to and when the source resets, not on every thumbnail made.
    setDynamicSortFilter(false);
}

void ThumbnailSortFilterProxyModel::setSourceModel(QAbstractItemModel *model)
{
    for (const QMetaObject::Connection &connection : qAsConst(sourceConnections))
        disconnect(connection);
    sourceConnections.clear();
    forgetKeys();
    QSortFilterProxyModel::setSourceModel(model);
    if (!model)
        return;
    // Cached keys are by row: forget them before rows move, so that the proxy's own
    // handling of the change (connected first) never meets a stale one.
    const auto forgetAll = [this] { forgetKeys(); };
    sourceConnections << connect(model, &QAbstractItemModel::modelAboutToBeReset, this, forgetAll)
                      << connect(model, &QAbstractItemModel::modelReset, this, forgetAll)
                      << connect(model, &QAbstractItemModel::rowsAboutToBeInserted, this, forgetAll)
                      << connect(model, &QAbstractItemModel::rowsAboutToBeRemoved, this, forgetAll)
                      << connect(model, &QAbstractItemModel::rowsAboutToBeMoved, this, forgetAll)
                      << connect(model, &QAbstractItemModel::layoutAboutToBeChanged, this,
                                 forgetAll)
                      << connect(model, &QAbstractItemModel::dataChanged, this,
                                 [this](const QModelIndex &topLeft,
                                        const QModelIndex &bottomRight) {
                                     forgetKeys(topLeft, bottomRight);
                                 });
}

void ThumbnailSortFilterProxyModel::sort(int column, Qt::SortOrder order)
{
    sortOrder = order;
    if (sortMode != None) {
        QSortFilterProxyModel::sort(column, order);
        return;
    }
    recordOrder();
    // Ordering by the positions just recorded changes nothing on screen, but it makes the
    // proxy order by them, ascending, when it rebuilds after a re-listing: so the frozen
    // order also survives when None follows a descending order, or comes first of all.
    QSortFilterProxyModel::sort(column, Qt::AscendingOrder);
}

void ThumbnailSortFilterProxyModel::recordOrder()
{
    QAbstractItemModel *source = sourceModel();
    if (!source)
        return;
    const int rows = rowCount();
    for (int row = 0; row < rows; ++row)
        source->setData(mapToSource(index(row, 0)), row, ThumbnailListModel::PositionRole);
}

bool ThumbnailSortFilterProxyModel::lessThan(const QModelIndex &left,
                                             const QModelIndex &right) const
{
    switch (sortMode) {
    case None:
        return left.data(ThumbnailListModel::PositionRole).toInt()
                < right.data(ThumbnailListModel::PositionRole).toInt();
    case Name:
    case Type:
        break;
    case Modified: {
        const QDateTime leftTime = left.data(ThumbnailListModel::LastModifiedRole).toDateTime();
        const QDateTime rightTime = right.data(ThumbnailListModel::LastModifiedRole).toDateTime();
        if (leftTime != rightTime)
            return leftTime < rightTime;
        break;
    }
    case Size: {
        const qint64 leftSize = left.data(ThumbnailListModel::SizeRole).toLongLong();
        const qint64 rightSize = right.data(ThumbnailListModel::SizeRole).toLongLong();
        if (leftSize != rightSize)
            return leftSize < rightSize;
        break;
    }
    default:
        return false;
    }
    // Grown before either key is taken, so that neither reference moves.
    const int rows = qMax(left.row(), right.row()) + 1;
    if (keys.size() < rows)
        keys.resize(qMax(rows, sourceModel()->rowCount()));
    NameKey leftSpare;
    NameKey rightSpare;
    const NameKey &leftKey = nameKey(left, leftSpare);
    const NameKey &rightKey = nameKey(right, rightSpare);
    if (sortMode == Type && leftKey.suffix() != rightKey.suffix())
        return QStringRef::localeAwareCompare(leftKey.suffix(), rightKey.suffix()) < 0;
    const int byName = QStringRef::localeAwareCompare(leftKey.base(), rightKey.base());
    if (byName != 0)
        return byName < 0;
    // The proxy re-sorts the rows in the order they are shown, so its stability alone
    // would leave equal names as the previous sort had them: keep the listing's order.
    return QSortFilterProxyModel::sortOrder() == Qt::AscendingOrder ? left.row() < right.row()
                                                                    : right.row() < left.row();
}

const ThumbnailSortFilterProxyModel::NameKey &
ThumbnailSortFilterProxyModel::nameKey(const QModelIndex &source, NameKey &spare) const
{
    const int row = source.row();
    const bool cached = !source.parent().isValid() && row >= 0 && row < keys.size();
    if (cached && keys.at(row).valid)
        return keys.at(row);
    NameKey &key = cached ? keys[row] : spare;
    // As QFileInfo derives them, without building one: the name is a file name, so the
    // base name runs to its first dot and the suffix starts after its last. One string
    // per key: a large folder's sort makes a hundred thousand of them.
    const QString path = source.data(Qt::DisplayRole).toString();
    const int slash = path.lastIndexOf(QLatin1Char('/'));
    key.lower = slash < 0 ? path.toLower() : path.mid(slash + 1).toLower();
    const int firstDot = key.lower.indexOf(QLatin1Char('.'));
    const int lastDot = key.lower.lastIndexOf(QLatin1Char('.'));
    key.baseLength = firstDot < 0 ? key.lower.size() : firstDot;
    key.suffixStart = lastDot < 0 ? key.lower.size() : lastDot + 1;
    key.valid = true;
    return key;
}

void ThumbnailSortFilterProxyModel::forgetKeys()
{
    keys.clear();
}

void ThumbnailSortFilterProxyModel::forgetKeys(const QModelIndex &topLeft,
                                               const QModelIndex &bottomRight)
{
    if (topLeft.parent().isValid())
        return;
    const int last = qMin(bottomRight.row(), keys.size() - 1);
    for (int row = qMax(topLeft.row(), 0); row <= last; ++row)
        keys[row].valid = false;
}
