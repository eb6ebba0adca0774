#include "sortbench.h"

#include "browser/thumbnaillistmodel.h"
#include "browser/thumbnaillistview.h"
#include "browser/thumbnailsortfilterproxymodel.h"

#include <QDateTime>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QTemporaryDir>
#include <QTextStream>

#include <algorithm>

namespace {

constexpr int itemCount = 10000;
constexpr int runs = 5;

// Name comparison as it was first written: a QFileInfo for both names in every
// comparison. Kept as the yardstick for the cached keys.
class FileInfoProxy : public QSortFilterProxyModel
{
protected:
    bool lessThan(const QModelIndex &left, const QModelIndex &right) const override
    {
        return QString::localeAwareCompare(QFileInfo(left.data().toString().toLower()).baseName(),
                                           QFileInfo(right.data().toString().toLower()).baseName())
                < 0;
    }
};

// Names as cameras, scanners and people give them, with mixed suffixes and cases;
// sizes up to 12 MB (sparse) and times over a year, both scattered.
bool writeFolder(const QString &folder)
{
    static const char *const suffixes[] = { "jpg", "JPG", "png", "jpeg", "gif", "bmp" };
    const QDateTime start = QDateTime::currentDateTime().addDays(-365);
    quint32 state = 2024;
    const auto next = [&state] { return state = state * 1664525u + 1013904223u; };
    for (int i = 0; i < itemCount; ++i) {
        QString base;
        switch (i % 4) {
        case 0:
            base = QStringLiteral("IMG_%1").arg(next() % 100000, 5, 10, QLatin1Char('0'));
            break;
        case 1:
            base = QStringLiteral("DSC%1").arg(i, 5, 10, QLatin1Char('0'));
            break;
        case 2:
            base = QStringLiteral("Holiday %1 (%2)").arg(2000 + i % 25).arg(i);
            break;
        default:
            base = QStringLiteral("scan.%1.page").arg(next() % 1000);
            break;
        }
        QFile file(folder
                   + QStringLiteral("/%1-%2.%3")
                             .arg(base)
                             .arg(i)
                             .arg(QLatin1String(suffixes[next() % 6])));
        if (!file.open(QIODevice::WriteOnly) || !file.resize(next() % (12 << 20))
            || !file.setFileTime(start.addSecs(next() % (365 * 86400)),
                                 QFileDevice::FileModificationTime))
            return false;
    }
    return true;
}

double median(QVector<double> values)
{
    std::sort(values.begin(), values.end());
    return values.at(values.size() / 2);
}

// The folder's items listed afresh (so nothing is cached), then the timed sort.
double timeSort(ThumbnailListModel &model, const QString &folder, QSortFilterProxyModel &proxy,
                Qt::SortOrder order)
{
    model.setFolder(folder);
    proxy.rowCount(); // the proxy maps the new rows before the clock starts
    QElapsedTimer timer;
    timer.start();
    proxy.sort(0, order);
    return timer.nsecsElapsed() / 1e6;
}

} // namespace

void runSortBenchmark()
{
    QTextStream out(stdout);
    QTemporaryDir folder;
    if (!folder.isValid() || !writeFolder(folder.path())) {
        out << "sorting: cannot write the test folder\n";
        return;
    }
    // The model plans thumbnails only for a view; this one shows nothing.
    ThumbnailListView view;
    auto *model = new ThumbnailListModel(&view);
    ThumbnailSortFilterProxyModel proxy;
    proxy.setSourceModel(model);
    FileInfoProxy reference;
    reference.setDynamicSortFilter(false);
    reference.setSourceModel(model);

    static const char *const modes[] = { "none", "name", "type", "modified", "size" };
    out << "sorting " << itemCount << " files (locale " << QLocale().name() << ", median of "
        << runs << " runs)\n";
    out << QStringLiteral("%1 %2 %3 %4\n")
                    .arg(QStringLiteral("mode"), -10)
                    .arg(QStringLiteral("order"), -6)
                    .arg(QStringLiteral("first ms"), 9)
                    .arg(QStringLiteral("again ms"), 9);
    for (int mode = 0; mode < 5; ++mode) {
        for (int order = 0; order < 2; ++order) {
            QVector<double> first;
            QVector<double> again;
            for (int run = 0; run < runs; ++run) {
                proxy.setSortMode(mode);
                first << timeSort(*model, folder.path(), proxy, Qt::SortOrder(order));
                QElapsedTimer timer;
                timer.start();
                proxy.sort(0, Qt::SortOrder(order));
                again << timer.nsecsElapsed() / 1e6;
            }
            out << QStringLiteral("%1 %2 %3 %4\n")
                            .arg(QLatin1String(modes[mode]), -10)
                            .arg(QLatin1String(order ? "desc" : "asc"), -6)
                            .arg(median(first), 9, 'f', 1)
                            .arg(median(again), 9, 'f', 1);
        }
    }
    QVector<double> byFileInfo;
    for (int run = 0; run < runs; ++run)
        byFileInfo << timeSort(*model, folder.path(), reference, Qt::AscendingOrder);
    // Both proxies now hold the same listing sorted by name, ascending.
    proxy.setSortMode(1);
    proxy.sort(0, Qt::AscendingOrder);
    bool same = proxy.rowCount() == reference.rowCount();
    for (int row = 0; same && row < proxy.rowCount(); ++row)
        same = proxy.index(row, 0).data() == reference.index(row, 0).data();
    out << QStringLiteral("%1 %2 %3  (same order: %4)\n")
                    .arg(QStringLiteral("name, QFileInfo per comparison"))
                    .arg(QStringLiteral("asc"))
                    .arg(median(byFileInfo), 0, 'f', 1)
                    .arg(QLatin1String(same ? "yes" : "NO"));
    out.flush();
}
