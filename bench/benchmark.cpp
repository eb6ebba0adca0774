// Times the folder browser's work on large folders and big photographs, and compares the
// thumbnails with vipsthumbnail when it is installed. Prints a table; exits non-zero only
// when it could not run.

#include "adjustbench.h"
#include "browser/thumbnaillistmodel.h"
#include "browser/thumbnaillistview.h"
#include "browser/thumbnailmaker.h"
#include "browser/thumbnailpanel.h"
#include "panelbench.h"
#include "sortbench.h"

#include <QApplication>
#include <QBuffer>
#include <QCollator>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QScopeGuard>
#include <QSortFilterProxyModel>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTextStream>
#include <QtConcurrent>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <functional>
#include <numeric>

namespace {

constexpr int folderSize = 10000;
constexpr int photoCount = 32;
constexpr QSize photoSize(4000, 3000);
constexpr int runs = 5;

QTextStream out(stdout);
// Lines printed below the table.
QStringList notes;

// One line of the result table: every run's time, summarised by median and best.
struct Measurement
{
    QString what;
    QVector<double> ms;
    double aim = 0; // upper bound in ms; 0 when there is none
};

double median(QVector<double> values)
{
    if (values.isEmpty())
        return 0;
    std::sort(values.begin(), values.end());
    const int n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

double best(const QVector<double> &values)
{
    return values.isEmpty() ? 0 : *std::min_element(values.cbegin(), values.cend());
}

double timeMs(const std::function<void()> &work)
{
    QElapsedTimer timer;
    timer.start();
    work();
    return timer.nsecsElapsed() / 1e6;
}

void printTable(const QVector<Measurement> &rows)
{
    out << QStringLiteral("%1 %2 %3 %4\n")
                    .arg(QStringLiteral("measurement"), -58)
                    .arg(QStringLiteral("median ms"), 10)
                    .arg(QStringLiteral("best ms"), 10)
                    .arg(QStringLiteral("aim"), 12);
    for (const Measurement &row : rows) {
        const QString aim = row.aim > 0 ? QStringLiteral("< %1 ms %2")
                                                  .arg(row.aim)
                                                  .arg(median(row.ms) < row.aim ? "ok" : "MISSED")
                                        : QString();
        out << QStringLiteral("%1 %2 %3 %4\n")
                        .arg(row.what, -58)
                        .arg(median(row.ms), 10, 'f', 1)
                        .arg(best(row.ms), 10, 'f', 1)
                        .arg(aim, 12);
    }
    out.flush();
}

QByteArray smallPng()
{
    QImage image(16, 12, QImage::Format_RGB32);
    image.fill(Qt::darkCyan);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes;
}

bool writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

// Names as cameras and people give them: mixed case, unpadded numbers, several types.
QString folderEntryName(int i)
{
    static const char *const prefixes[] = { "IMG_", "holiday ", "Scan-", "photo_", "DSC" };
    static const char *const suffixes[] = { "jpg", "png", "JPG", "bmp", "jpeg" };
    return QStringLiteral("%1%2.%3")
            .arg(QLatin1String(prefixes[i % 5]))
            .arg(i * 7919 % 100003)
            .arg(QLatin1String(suffixes[(i / 5) % 5]));
}

// Smooth gradients, soft shapes and sensor-like noise: compresses like a photograph.
QImage photo(int seed)
{
    QImage image(photoSize, QImage::Format_RGB32);
    quint32 state = 2463534242u + quint32(seed) * 7919u;
    const double phase = seed * 0.7;
    for (int y = 0; y < image.height(); ++y) {
        auto *line = reinterpret_cast<QRgb *>(image.scanLine(y));
        const double fy = double(y) / image.height();
        for (int x = 0; x < image.width(); ++x) {
            const double fx = double(x) / image.width();
            state ^= state << 13;
            state ^= state >> 17;
            state ^= state << 5;
            const int noise = int(state % 25) - 12;
            const double wave = std::sin(fx * 9 + phase) * std::cos(fy * 7 - phase);
            line[x] = qRgb(qBound(0, int(40 + 150 * fx + 50 * wave) + noise, 255),
                           qBound(0, int(60 + 120 * fy - 40 * wave) + noise, 255),
                           qBound(0, int(170 - 100 * fx * fy + 60 * wave) + noise, 255));
        }
    }
    return image;
}

bool writePhoto(const QString &path, int seed)
{
    return photo(seed).save(path, "JPG", 90);
}

struct PhotoWriter
{
    using result_type = bool;
    QStringList paths;
    bool operator()(int seed) const { return writePhoto(paths.at(seed), seed); }
};

ThumbnailInfo scaledThumbnail(const QString &path)
{
    return ThumbnailMaker::decode(path, ThumbnailMaker::Decoding::Scaled);
}

ThumbnailInfo wholeThumbnail(const QString &path)
{
    return ThumbnailMaker::decode(path, ThumbnailMaker::Decoding::Whole);
}

void makeThumbnails(const QStringList &paths, ThumbnailInfo (*make)(const QString &))
{
    QtConcurrent::mapped(paths, make).waitForFinished();
}

// Both cores busy: two processes, each with half of the files and one worker thread.
bool runVips(const QString &vips, const QStringList &files, const QString &outputFolder)
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("VIPS_CONCURRENCY"), QStringLiteral("1"));
    QProcess processes[2];
    for (int k = 0; k < 2; ++k) {
        QStringList arguments { QStringLiteral("-s"), QStringLiteral("96x76"), QStringLiteral("-o"),
                                outputFolder + QStringLiteral("/%s.jpg") };
        for (int i = k; i < files.size(); i += 2)
            arguments << files.at(i);
        processes[k].setProcessEnvironment(environment);
        processes[k].start(vips, arguments);
    }
    bool ok = true;
    for (QProcess &process : processes)
        ok = process.waitForFinished(300000) && process.exitStatus() == QProcess::NormalExit
                && process.exitCode() == 0 && ok;
    return ok;
}

ThumbnailListModel *modelOf(ThumbnailListView *view)
{
    auto *proxy = qobject_cast<QSortFilterProxyModel *>(view->model());
    return qobject_cast<ThumbnailListModel *>(proxy ? proxy->sourceModel() : view->model());
}

void benchFolder(const QString &folder, QVector<Measurement> &table)
{
    const QByteArray png = smallPng();
    for (int i = 0; i < folderSize; ++i) {
        if (!writeFile(folder + QLatin1Char('/') + folderEntryName(i), png)) {
            out << "cannot write the test folder\n";
            return;
        }
    }

    Measurement listing { QStringLiteral("list 10,000 files (model setFolder)"), {} };
    Measurement sorting { QStringLiteral("sort 10,000 names (QCollator)"), {} };
    Measurement both { QStringLiteral("list and sort by name"), {}, 150 };
    ThumbnailListModel model;
    for (int run = 0; run < runs; ++run) {
        const double list = timeMs([&] { model.setFolder(folder); });
        QStringList names;
        names.reserve(model.count());
        for (int row = 0; row < model.count(); ++row)
            names << model.index(row).data().toString();
        const double sort = timeMs([&] {
            QCollator collator;
            std::sort(names.begin(), names.end(), collator);
        });
        listing.ms << list;
        sorting.ms << sort;
        both.ms << list + sort;
    }
    table << listing << sorting << both;

    Measurement relist { QStringLiteral("re-list after one added file (model)"), {}, 30 };
    for (int run = 0; run < runs; ++run) {
        writeFile(folder + QStringLiteral("/added %1.png").arg(run), png);
        relist.ms << timeMs([&] { model.tDirectoryChanged(); });
    }
    table << relist;

    // The whole dock as the program shows it: model, sorting proxy and view.
    ThumbnailPanel panel(QStringLiteral("Thumbnails"));
    panel.resize(1200, 360);
    panel.show();
    auto *view = panel.findChild<ThumbnailListView *>();
    ThumbnailListModel *shown = view ? modelOf(view) : nullptr;
    if (!shown) {
        out << "the thumbnail panel has no model\n";
        return;
    }
    Measurement panelList { QStringLiteral("panel: list and sort by name"), {}, 150 };
    Measurement firstScreen { QStringLiteral("panel: until the first screen has its thumbnails"),
                              {} };
    Measurement stall { QStringLiteral("panel: longest time the window did not respond"), {} };
    for (int run = 0; run < runs; ++run) {
        const PanelTiming timing = timeChoosingFolder(folder);
        panelList.ms << timing.chosen;
        firstScreen.ms << timing.firstScreen;
        stall.ms << timing.longestStall;
    }
    panel.setFolder(folder);
    Measurement panelRelist { QStringLiteral("panel: re-list after one added file"), {}, 30 };
    for (int run = 0; run < runs; ++run) {
        writeFile(folder + QStringLiteral("/panel added %1.png").arg(run), png);
        panelRelist.ms << timeMs([&] { shown->tDirectoryChanged(); });
        QCoreApplication::processEvents();
    }
    shown->cancelThumbnails();
    table << panelList << firstScreen << stall << panelRelist;
}

void benchThumbnails(const QString &folder, QVector<Measurement> &table)
{
    QStringList paths;
    for (int i = 0; i < photoCount; ++i)
        paths << folder + QStringLiteral("/photo %1.jpg").arg(i, 2, 10, QLatin1Char('0'));
    out << "generating " << photoCount << " photographs of " << photoSize.width() << "x"
        << photoSize.height() << "...\n";
    out.flush();
    QVector<int> seeds(photoCount);
    std::iota(seeds.begin(), seeds.end(), 0);
    const QList<bool> written
            = QtConcurrent::blockingMapped<QList<bool>>(seeds, PhotoWriter { paths });
    if (written.contains(false)) {
        out << "cannot write the photographs\n";
        return;
    }

    const QString vips = QStandardPaths::findExecutable(QStringLiteral("vipsthumbnail"));
    QTemporaryDir copies;
    QTemporaryDir outputs;
    QStringList copied;
    for (const QString &path : qAsConst(paths)) {
        const QString copy = copies.path() + QLatin1Char('/') + QFileInfo(path).fileName();
        if (!vips.isEmpty() && QFile::copy(path, copy))
            copied << copy;
    }
    const bool compare = !vips.isEmpty() && copied.size() == paths.size()
            && runVips(vips, copied, outputs.path()); // warms its file cache
    if (vips.isEmpty())
        notes << QStringLiteral("vipsthumbnail is not installed: no comparison");
    else if (!compare)
        notes << QStringLiteral("vipsthumbnail failed: no comparison");

    makeThumbnails(paths, scaledThumbnail); // warms the file cache
    Measurement scaled { QStringLiteral("32 thumbnails of 12 MP JPEGs, decoding scaled"), {} };
    Measurement reference { QStringLiteral("32 thumbnails with vipsthumbnail (2 processes)"), {} };
    // Taken in turns, so that whatever else the machine does weighs on both alike.
    for (int run = 0; run < runs; ++run) {
        scaled.ms << timeMs([&] { makeThumbnails(paths, scaledThumbnail); });
        if (compare)
            reference.ms << timeMs([&] { runVips(vips, copied, outputs.path()); });
    }
    Measurement whole { QStringLiteral("32 thumbnails of 12 MP JPEGs, decoding every pixel"), {} };
    for (int run = 0; run < 2; ++run)
        whole.ms << timeMs([&] { makeThumbnails(paths, wholeThumbnail); });
    table << scaled << whole;
    if (!compare)
        return;
    table << reference;
    const double ratio = median(scaled.ms) / median(reference.ms);
    notes << QStringLiteral("thumbnails / vipsthumbnail: %1 by medians, %2 by best times "
                            "(aim <= 0.75: %3)")
                     .arg(ratio, 0, 'f', 2)
                     .arg(best(scaled.ms) / best(reference.ms), 0, 'f', 2)
                     .arg(ratio <= 0.75 ? "ok" : "MISSED");
}

// Points the shared thumbnail cache at a folder of its own.
void useCache(const QString &home)
{
    qputenv("XDG_CACHE_HOME", QFile::encodeName(home));
}

// The photographs of benchThumbnails as a camera leaves them: with a 160 x 120 preview in
// their Exif block, every fourth one shot upright (orientation 6), through the shared cache
// when it is empty (cold) and when it holds them (warm).
void benchCamera(const QString &photos, QVector<Measurement> &table)
{
    // Every run starts from a cache folder of its own; the benchmark's is given back after.
    const QByteArray previousCache = qgetenv("XDG_CACHE_HOME");
    QTemporaryDir caches;
    int cacheCount = 0;
    const auto freshCache = [&] { useCache(caches.filePath(QString::number(++cacheCount))); };
    const auto restore = qScopeGuard([&] {
        QThreadPool::globalInstance()->waitForDone();
        qputenv("XDG_CACHE_HOME", previousCache);
    });
    QTemporaryDir camera;
    QTemporaryDir previews;
    QStringList paths;
    QStringList turned;
    const QStringList names
            = QDir(photos).entryList({ QStringLiteral("photo *.jpg") }, QDir::Files, QDir::Name);
    for (int i = 0; i < names.size(); ++i) {
        const QString path = camera.filePath(QStringLiteral("IMG_%1.JPG").arg(1000 + i));
        QImage preview(photos + QLatin1Char('/') + names.at(i));
        preview = preview.scaled(160, 120, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
        if (!QFile::copy(photos + QLatin1Char('/') + names.at(i), path)
            || !preview.save(previews.filePath(QFileInfo(path).completeBaseName() + ".jpg"), "JPG",
                             85)) {
            out << "cannot write the camera folder\n";
            return;
        }
        paths << path;
        if (i % 4 == 3)
            turned << path;
    }
    if (paths.size() != photoCount) {
        out << "no photographs for the camera folder\n";
        return;
    }
    const QString exiftool = QStandardPaths::findExecutable(QStringLiteral("exiftool"));
    bool embedded = false;
    if (!exiftool.isEmpty()) {
        QProcess tool;
        tool.start(exiftool,
                   QStringList { QStringLiteral("-q"), QStringLiteral("-overwrite_original"),
                                 QStringLiteral("-ThumbnailImage<=") + previews.path()
                                         + QStringLiteral("/%f.jpg") }
                           + paths);
        embedded = tool.waitForFinished(300000) && tool.exitCode() == 0;
        tool.start(exiftool,
                   QStringList { QStringLiteral("-q"), QStringLiteral("-overwrite_original"),
                                 QStringLiteral("-Orientation#=6") }
                           + turned);
        embedded = tool.waitForFinished(300000) && tool.exitCode() == 0 && embedded;
    }
    const QString label = QStringLiteral("camera folder");
    notes << QStringLiteral("camera folder: 32 photographs of 12 MP, %1")
                     .arg(embedded ? QStringLiteral("each with a 160x120 preview by exiftool")
                                   : QStringLiteral("without previews"));
    if (exiftool.isEmpty())
        notes << QStringLiteral("exiftool is not installed: the camera folder has no previews");
    else if (!embedded)
        notes << QStringLiteral("exiftool failed: the camera folder may lack previews");

    Measurement cold { label + QStringLiteral(": cold cache"), {} };
    Measurement warm { label + QStringLiteral(": warm cache"), {} };
    Measurement reference { label + QStringLiteral(": vipsthumbnail"), {} };
    const QString vips = QStandardPaths::findExecutable(QStringLiteral("vipsthumbnail"));
    QTemporaryDir outputs;
    if (!vips.isEmpty())
        runVips(vips, paths, outputs.path()); // warms the file cache
    makeThumbnails(paths, scaledThumbnail);
    for (int run = 0; run < runs; ++run) {
        freshCache();
        cold.ms << timeMs([&] { makeThumbnails(paths, createThumbnail); });
        warm.ms << timeMs([&] { makeThumbnails(paths, createThumbnail); });
        bool ok = false;
        const double ms
                = vips.isEmpty() ? 0 : timeMs([&] { ok = runVips(vips, paths, outputs.path()); });
        if (ok)
            reference.ms << ms;
        else if (!vips.isEmpty())
            notes << QStringLiteral("vipsthumbnail failed on the camera folder");
    }
    table << cold << warm;

    // The same through the panel, from choosing the folder to its first screen filled.
    Measurement panelCold { label + QStringLiteral(": panel first screen, cold"), {}, 120 };
    Measurement panelWarm { label + QStringLiteral(": panel first screen, warm"), {}, 60 };
    for (int run = 0; run < runs; ++run) {
        freshCache();
        for (Measurement *line : { &panelCold, &panelWarm }) {
            QThreadPool::globalInstance()->waitForDone();
            line->ms << timeChoosingFolder(camera.path()).firstScreen;
        }
    }
    QThreadPool::globalInstance()->waitForDone();
    table << panelCold << panelWarm;
    if (reference.ms.isEmpty()) {
        notes << QStringLiteral("vipsthumbnail is not installed: no comparison for the camera "
                                "folder");
        return;
    }
    table << reference;
    const double vipsMs = median(reference.ms);
    for (const Measurement *line : { &cold, &warm }) {
        const int aim = line == &cold ? 20 : 50;
        notes << QStringLiteral("%1 / vipsthumbnail: 1/%2 by medians (aim 1/%3 or less: %4)")
                         .arg(line->what)
                         .arg(vipsMs / median(line->ms), 0, 'f', 1)
                         .arg(aim)
                         .arg(median(line->ms) * aim <= vipsMs ? "ok" : "MISSED");
    }
}

// Choosing a folder in the panel, several times, as four lines of the table.
void benchChoosing(const QString &folder, const QString &what, QVector<Measurement> &table,
                   double listAim = 0)
{
    Measurement chosen { what + QStringLiteral(": list and sort by name (panel)"), {}, listAim };
    Measurement firstScreen { what + QStringLiteral(": until the first screen has thumbnails"),
                              {} };
    Measurement cpu { what + QStringLiteral(": processor time of listing and sorting"), {} };
    Measurement stall { what + QStringLiteral(": longest time the window did not respond"), {} };
    for (int run = 0; run < runs; ++run) {
        const PanelTiming timing = timeChoosingFolder(folder);
        chosen.ms << timing.chosen;
        cpu.ms << timing.chosenCpu;
        firstScreen.ms << timing.firstScreen;
        stall.ms << timing.longestStall;
        if (timing.firstScreen < 0)
            notes << what + QStringLiteral(": the first screen did not fill in run %1").arg(run);
    }
    table << chosen << cpu << firstScreen << stall;
}

// 100,000 small images: listing, sorting and the first screen of a very large folder.
void benchHugeFolder(const QString &folder, QVector<Measurement> &table)
{
    const QByteArray png = smallPng();
    for (int i = 0; i < 100000; ++i) {
        const QString path = folder + QLatin1Char('/') + folderEntryName(i);
        // A folder given on the command line is kept between runs.
        if (!QFile::exists(path) && !writeFile(path, png)) {
            notes << QStringLiteral("cannot write the folder of 100,000 files");
            return;
        }
    }
    benchChoosing(folder, QStringLiteral("100,000 files"), table, 400);
}

// Memory after scrolling through 10,000 photographs' thumbnails and back.
void benchScrollMemory(const QString &folder)
{
    QByteArray jpeg;
    QBuffer buffer(&jpeg);
    buffer.open(QIODevice::WriteOnly);
    photo(7).scaled(320, 240).save(&buffer, "JPG", 85);
    for (int i = 0; i < folderSize; ++i) {
        if (!writeFile(folder + QStringLiteral("/photo %1.jpg").arg(i, 5, 10, QLatin1Char('0')),
                       jpeg)) {
            notes << QStringLiteral("memory: cannot write the folder");
            return;
        }
    }
    const ScrollMemory memory = scrollThrough(folder);
    const auto mib = [](qint64 bytes) { return QString::number(bytes / 1048576.0, 'f', 1); };
    if (memory.rssAfter < 0) {
        notes << QStringLiteral("memory: scrolling through 10,000 photos did not finish");
        return;
    }
    notes << QStringLiteral("memory, scrolling through 10,000 photos (%1 screens) and back: "
                            "resident %2 MiB before, %3 MiB listed, %4 MiB after; "
                            "thumbnails held %5 MiB")
                     .arg(memory.screens)
                     .arg(mib(memory.rssBefore), mib(memory.rssListed), mib(memory.rssAfter),
                          mib(memory.thumbnailBytes));
}

// The real program started on a 12 MP photograph: from the process start to the main
// window shown, and to the photograph shown, told by the program's own debug lines.
void benchStartup(const QString &folder, QVector<Measurement> &table)
{
    const QString file = folder + QStringLiteral("/start.jpg");
    if (!photo(99).save(file, "JPEG", 90)) {
        notes << QStringLiteral("start-up: cannot write the photo");
        return;
    }
    Measurement window { QStringLiteral("start-up: process start to main window shown"), {}, 350 };
    Measurement shown { QStringLiteral("start-up: process start to 12 MP photo shown"), {}, 700 };
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    // A home of its own, kept between runs as a user's is; the first run is a first start.
    env.insert(QStringLiteral("HOME"), folder);
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), folder + QStringLiteral("/.config"));
    env.insert(QStringLiteral("XDG_CACHE_HOME"), folder + QStringLiteral("/.cache"));
    env.remove(QStringLiteral("QT_LOGGING_RULES"));
    env.remove(QStringLiteral("QT_MESSAGE_PATTERN"));
    // The moments are read from the program's diagnostic lines, off unless asked for.
    env.insert(QStringLiteral("VIREON_DEBUG"), QStringLiteral("1"));
    for (int run = 0; run < runs; ++run) {
        QProcess process;
        process.setProcessEnvironment(env);
        process.setReadChannel(QProcess::StandardError);
        QElapsedTimer timer;
        timer.start();
        process.start(QStringLiteral(VIREON_EXECUTABLE), { file });
        double windowMs = -1;
        double photoMs = -1;
        while (photoMs < 0 && timer.elapsed() < 20000 && process.state() != QProcess::NotRunning) {
            if (!process.canReadLine() && !process.waitForReadyRead(100))
                continue;
            while (process.canReadLine()) {
                const QByteArray line = process.readLine();
                if (windowMs < 0 && line.contains("Application::createMainWindow, shown"))
                    windowMs = timer.nsecsElapsed() / 1e6;
                else if (line.contains("MainWindow::imageLoaded") && line.contains("start.jpg"))
                    photoMs = timer.nsecsElapsed() / 1e6;
            }
        }
        // SIGTERM closes the window the usual way, so the settings are written.
        process.terminate();
        if (!process.waitForFinished(10000)) {
            process.kill();
            process.waitForFinished();
        }
        if (windowMs < 0 || photoMs < 0) {
            notes << QStringLiteral("start-up: run %1 did not show the window and the photo")
                             .arg(run);
            continue;
        }
        window.ms << windowMs;
        shown.ms << photoMs;
    }
    table << window << shown;
}

void quietDebug(QtMsgType type, const QMessageLogContext &, const QString &message)
{
    if (type != QtDebugMsg && type != QtInfoMsg)
        fprintf(stderr, "%s\n", qPrintable(message));
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && qEnvironmentVariableIsEmpty("DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    Q_INIT_RESOURCE(vireon);
    // The model's and view's debug lines would drown the table.
    qInstallMessageHandler(quietDebug);
    // Thumbnails go to a shared cache of the benchmark's own, never the user's.
    QTemporaryDir cache;
    if (!cache.isValid()) {
        out << "cannot make temporary folders\n";
        return 1;
    }
    useCache(cache.path());

    // `vireon_bench --adjust` times only the brightness and contrast adjustment.
    if (app.arguments().contains(QLatin1String("--adjust"))) {
        runAdjustBenchmark();
        return 0;
    }
    // `vireon_bench --startup` times only the start of the program.
    if (app.arguments().contains(QLatin1String("--startup"))) {
        QTemporaryDir home;
        QVector<Measurement> table;
        benchStartup(home.path(), table);
        printTable(table);
        for (const QString &note : qAsConst(notes))
            out << note << "\n";
        return 0;
    }
    // `vireon_bench --huge [folder]` times only choosing the folder of 100,000 files, in
    // the folder given (made once and kept, for profiling) or a temporary one.
    const int huge = app.arguments().indexOf(QLatin1String("--huge"));
    if (huge > 0) {
        QTemporaryDir temporary;
        QVector<Measurement> table;
        benchHugeFolder(app.arguments().value(huge + 1, temporary.path()), table);
        printTable(table);
        return 0;
    }
    // `vireon_bench --panel` times only choosing folders in the thumbnail panel.
    if (app.arguments().contains(QLatin1String("--panel"))) {
        QTemporaryDir huge;
        QTemporaryDir photos;
        QTemporaryDir many;
        QVector<Measurement> table;
        benchThumbnails(photos.path(), table);
        benchChoosing(photos.path(), QStringLiteral("32 12 MP photos"), table);
        benchHugeFolder(huge.path(), table);
        benchScrollMemory(many.path());
        printTable(table);
        for (const QString &note : qAsConst(notes))
            out << note << "\n";
        return 0;
    }
    QTemporaryDir folder;
    QTemporaryDir photos;
    if (!folder.isValid() || !photos.isValid()) {
        out << "cannot make temporary folders\n";
        return 1;
    }
    // `vireon_bench --camera` times only the photographs and the camera folder.
    if (app.arguments().contains(QLatin1String("--camera"))) {
        QVector<Measurement> table;
        benchThumbnails(photos.path(), table);
        benchCamera(photos.path(), table);
        printTable(table);
        for (const QString &note : qAsConst(notes))
            out << note << "\n";
        return 0;
    }
    out << "threads: " << QThreadPool::globalInstance()->maxThreadCount() << "\n";
    QVector<Measurement> table;
    benchFolder(folder.path(), table);
    benchThumbnails(photos.path(), table);
    benchCamera(photos.path(), table);
    benchChoosing(photos.path(), QStringLiteral("32 12 MP photos"), table);
    {
        QTemporaryDir huge;
        benchHugeFolder(huge.path(), table);
    }
    QTemporaryDir startHome;
    benchStartup(startHome.path(), table);
    printTable(table);
    for (const QString &note : qAsConst(notes))
        out << note << "\n";
    out.flush();
    runSortBenchmark();
    // Thumbnail batches of the panel measurements may still hold the pool's threads.
    QThreadPool::globalInstance()->waitForDone();
    runAdjustBenchmark();
    const int printed = notes.size();
    QTemporaryDir many;
    benchScrollMemory(many.path());
    for (const QString &note : notes.mid(printed))
        out << note << "\n";
    return 0;
}
