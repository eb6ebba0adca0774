#include "panelbench.h"

#include "browser/thumbnaillistmodel.h"
#include "browser/thumbnaillistview.h"
#include "browser/thumbnailpanel.h"
#include "testmemory.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QScrollBar>
#include <QTimer>

#include <algorithm>

#include <time.h>

namespace {

// Every row on screen shows a thumbnail rather than the placeholder.
bool screenShown(ThumbnailListView *view, qint64 placeholderKey)
{
    const QMap<int, QModelIndex> visible = view->visibleItems();
    if (visible.isEmpty())
        return false;
    for (const QModelIndex &index : visible) {
        const QPixmap pixmap = index.data(ThumbnailListModel::PixmapRole).value<QPixmap>();
        if (pixmap.isNull() || pixmap.cacheKey() == placeholderKey)
            return false;
    }
    return true;
}

qint64 pixmapBytes(const QPixmap &pixmap)
{
    return qint64((pixmap.width() * pixmap.depth() + 31) / 32) * 4 * pixmap.height();
}

// The bytes of the thumbnails the model holds, placeholders left out.
qint64 heldBytes(const ThumbnailListModel *model, qint64 placeholderKey)
{
    qint64 bytes = 0;
    for (int row = 0; row < model->rowCount(); ++row) {
        const QPixmap pixmap
                = model->index(row).data(ThumbnailListModel::PixmapRole).value<QPixmap>();
        if (pixmap.cacheKey() != placeholderKey)
            bytes += pixmapBytes(pixmap);
    }
    return bytes;
}

// Turns the event loop until done() holds, re-checked whenever a thumbnail arrives and
// every two milliseconds.
bool waitFor(ThumbnailListModel *model, const std::function<bool()> &done, int timeoutMs)
{
    if (done())
        return true;
    QEventLoop loop;
    const auto check = [&] {
        if (done())
            loop.quit();
    };
    const QMetaObject::Connection connection
            = QObject::connect(model, &QAbstractItemModel::dataChanged, &loop, check);
    // A batch ends without a signal of the model's.
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, &loop, check);
    poll.start(2);
    QTimer::singleShot(timeoutMs, &loop, &QEventLoop::quit);
    loop.exec();
    QObject::disconnect(connection);
    return done();
}

// The processor time of all the process's threads so far.
double processCpuMs()
{
    timespec now;
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return now.tv_sec * 1e3 + now.tv_nsec / 1e6;
}

} // namespace

PanelTiming timeChoosingFolder(const QString &folder, int timeoutMs)
{
    PanelTiming timing;
    ThumbnailPanel panel(QStringLiteral("Thumbnails"));
    panel.resize(1200, 360);
    panel.show();
    // Sorted before any folder is chosen, as the main window does with the saved order.
    panel.view()->setSorting(panel.sortMode, panel.sortOrder);
    QCoreApplication::processEvents();
    ThumbnailListView *view = panel.view();
    ThumbnailListModel *model = panel.model();

    QElapsedTimer clock;
    QEventLoop loop;
    qint64 placeholderKey = 0;
    bool chosen = false;
    const auto check = [&] {
        if (chosen && timing.firstScreen < 0 && screenShown(view, placeholderKey)) {
            timing.firstScreen = clock.nsecsElapsed() / 1e6;
            loop.quit();
        }
    };
    QObject::connect(model, &QAbstractItemModel::dataChanged, &loop, check);
    // A turn of the event loop every millisecond when it is free: the gaps between the
    // ticks are the stretches it was not.
    QTimer ticker;
    ticker.setTimerType(Qt::PreciseTimer);
    qint64 lastTick = 0;
    QObject::connect(&ticker, &QTimer::timeout, &loop, [&] {
        const qint64 now = clock.nsecsElapsed();
        timing.longestStall = std::max(timing.longestStall, (now - lastTick) / 1e6);
        lastTick = now;
    });
    QTimer::singleShot(0, &loop, [&] {
        clock.start();
        lastTick = 0;
        ticker.start(1);
        const double cpu = processCpuMs();
        panel.setFolder(folder);
        timing.chosen = clock.nsecsElapsed() / 1e6;
        timing.chosenCpu = processCpuMs() - cpu;
        // Results are applied only from the event loop: row 0 still has the placeholder.
        if (model->rowCount() > 0)
            placeholderKey = model->index(0)
                                     .data(ThumbnailListModel::PixmapRole)
                                     .value<QPixmap>()
                                     .cacheKey();
        chosen = true;
        check();
    });
    QTimer::singleShot(timeoutMs, &loop, &QEventLoop::quit);
    loop.exec();
    ticker.stop();
    model->cancelThumbnails();
    return timing;
}

ScrollMemory scrollThrough(const QString &folder, int timeoutMs)
{
    ScrollMemory memory;
    QElapsedTimer clock;
    clock.start();
    ThumbnailPanel panel(QStringLiteral("Thumbnails"));
    panel.resize(1200, 360);
    panel.show();
    QCoreApplication::processEvents();
    ThumbnailListView *view = panel.view();
    ThumbnailListModel *model = panel.model();
    memory.rssBefore = residentBytes();
    panel.setFolder(folder);
    if (model->rowCount() == 0)
        return memory;
    const qint64 placeholderKey
            = model->index(0).data(ThumbnailListModel::PixmapRole).value<QPixmap>().cacheKey();
    memory.rssListed = residentBytes();

    QScrollBar *bar = view->verticalScrollBar();
    const auto showScreen = [&](int value) {
        bar->setValue(value);
        // Plans at once, as the creation timer would after the scrolling stopped.
        waitFor(
                model, [&] { return !model->isBatchRunning(); }, timeoutMs);
        model->timerSetImage();
        return waitFor(
                model,
                [&] { return screenShown(view, placeholderKey) && !model->isBatchRunning(); },
                std::max<qint64>(1, timeoutMs - clock.elapsed()));
    };
    bool ok = showScreen(0);
    for (int value = bar->pageStep(); ok && value < bar->maximum() + bar->pageStep();
         value += bar->pageStep()) {
        ok = showScreen(std::min(value, bar->maximum()));
        ++memory.screens;
    }
    // And back: the first screen shows its thumbnails again.
    ok = ok && showScreen(0);
    model->cancelThumbnails();
    if (!ok)
        return memory;
    memory.rssAfter = residentBytes();
    memory.thumbnailBytes = heldBytes(model, placeholderKey);
    return memory;
}
