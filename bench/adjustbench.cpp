#include "adjustbench.h"

#include "app/mainwindow.h"
#include "document/mdichild.h"
#include "framework/lvscene.h"
#include "framework/lvtoolwatcher.h"
#include "scene/imageitem.h"
#include "scene/pageitem.h"
#include "tools/brightnesscontrast.h"
#include "tools/brightnesscontrasttool.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QImage>
#include <QTextStream>
#include <QtConcurrent>

#include <algorithm>
#include <cstring>
#include <functional>

namespace {

constexpr int runs = 7;
constexpr QSize size(4000, 3000);

QTextStream out(stdout);

double median(QVector<double> values)
{
    std::sort(values.begin(), values.end());
    return values.at(values.size() / 2);
}

// Median milliseconds of several runs of work.
double timed(const std::function<void()> &work)
{
    QVector<double> ms;
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer timer;
        timer.start();
        work();
        ms << timer.nsecsElapsed() / 1e6;
    }
    return median(ms);
}

// Gradients with noise and a varying alpha, so no look-up is the same for long.
QImage photo()
{
    QImage image(size, QImage::Format_ARGB32);
    quint32 state = 2463534242u;
    for (int y = 0; y < image.height(); ++y) {
        auto *line = reinterpret_cast<QRgb *>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            state ^= state << 13;
            state ^= state >> 17;
            state ^= state << 5;
            const int noise = int(state % 31);
            line[x] = qRgba((x / 16 + noise) & 255, (y / 12 + noise) & 255, (x + y) / 28 & 255,
                            200 + noise);
        }
    }
    return image;
}

void row(const QString &what, double ms, double bytes, const QString &note = QString())
{
    out << QStringLiteral("%1 %2 %3 %4\n")
                    .arg(what, -46)
                    .arg(ms, 10, 'f', 1)
                    .arg(ms > 0 ? bytes / 1e6 / (ms / 1e3) : 0, 10, 'f', 0)
                    .arg(note);
}

// From a change of the brightness value to its preview on the image, with the 100 ms tick.
QVector<double> dialToPreview(const QImage &image)
{
    QVector<double> ms;
    MainWindow window(true);
    window.resize(1200, 900);
    window.show();
    window.newFile();
    QElapsedTimer wait;
    wait.start();
    while (!window.activeDocument() && wait.elapsed() < 10000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    MdiChild *doc = window.activeDocument();
    if (!doc)
        return ms;
    doc->insertImage(image);
    doc->setImage(image);
    window.setProgramMode(9);
    auto *tool = static_cast<BrightnessContrastTool *>(window.toolWatcher->tool(9));
    auto *item = static_cast<ImageItem *>(doc->lvScene()->currentPage()->objects().first());
    for (int i = 0; i < runs; ++i) {
        tool->reset();
        QElapsedTimer timer;
        timer.start();
        tool->brightnessChanged(10 + i);
        while (!item->previewImage() && timer.elapsed() < 10000)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        ms << timer.nsecsElapsed() / 1e6;
    }
    tool->reset();
    window.setProgramMode(0);
    return ms;
}

} // namespace

void runAdjustBenchmark()
{
    const QImage source = photo();
    const double bytes = double(source.sizeInBytes());
    QImage copy(source.size(), source.format());
    QImage result(source.size(), source.format());
    const BrightnessContrast::Table table = BrightnessContrast::table(20, 30);

    const double memcpyMs = timed(
            [&] { std::memcpy(copy.bits(), source.constBits(), size_t(source.sizeInBytes())); });
    const double oneThreadMs
            = timed([&] { BrightnessContrast::apply(source, result, table, 0, source.height()); });
    // As the tool runs it: stripes of rows on the global pool.
    QVector<int> stripes;
    const int rows = BrightnessContrast::stripeRows(source.height());
    for (int y = 0; y < source.height(); y += rows)
        stripes << y;
    const double poolMs = timed([&] {
        QtConcurrent::blockingMap(stripes, [&](int first) {
            BrightnessContrast::apply(source, result, table, first, rows);
        });
    });
    const QVector<double> preview = dialToPreview(source);

    out << QStringLiteral("\nbrightness and contrast, %1 x %2 ARGB32, %3 MB, %4 pool threads\n")
                    .arg(size.width())
                    .arg(size.height())
                    .arg(bytes / 1e6, 0, 'f', 0)
                    .arg(QThreadPool::globalInstance()->maxThreadCount());
    out << QStringLiteral("%1 %2 %3\n")
                    .arg(QStringLiteral("measurement"), -46)
                    .arg(QStringLiteral("median ms"), 10)
                    .arg(QStringLiteral("MB/s"), 10);
    row(QStringLiteral("memcpy"), memcpyMs, bytes);
    row(QStringLiteral("adjustment, one thread"), oneThreadMs, bytes,
        QStringLiteral("%1 % of memcpy").arg(100 * memcpyMs / oneThreadMs, 0, 'f', 0));
    row(QStringLiteral("adjustment, stripes on the pool (the tool's)"), poolMs, bytes,
        QStringLiteral("%1 % of memcpy (aim >= 50 %)").arg(100 * memcpyMs / poolMs, 0, 'f', 0));
    if (preview.isEmpty()) {
        out << "dial change to preview: no document\n";
    } else {
        const double ms = median(preview);
        out << QStringLiteral("%1 %2 %3 (best %4 ms; aim < 200 ms: %5)\n")
                        .arg(QStringLiteral("dial change to preview shown, 12 MP"), -46)
                        .arg(ms, 10, 'f', 1)
                        .arg(QString(), 10)
                        .arg(*std::min_element(preview.begin(), preview.end()), 0, 'f', 1)
                        .arg(ms < 200 ? "ok" : "MISSED");
    }
    out.flush();
}
