#include "blindimageformat.h"
#include "browser/exifdata.h"
#include "browser/thumbnailcache.h"
#include "browser/thumbnaillistmodel.h"
#include "browser/thumbnaillistview.h"
#include "browser/thumbnailmaker.h"
#include "browserfixtures.h"
#include "imagefixtures.h"
#include "testmain.h"
#include "testmemory.h"

#include <QScrollBar>
#include <QSortFilterProxyModel>
#include <QThreadPool>

#include <fcntl.h>
#include <sys/stat.h>

using BrowserFixtures::encoded;
using BrowserFixtures::solid;

namespace {

// A little-endian TIFF directory of (tag, type, value) entries of one value each, then the link
// to the next directory (with no entries, mid(2) of it is the bare link).
QByteArray directory(const QVector<std::array<quint32, 3>> &entries, quint32 next)
{
    QByteArray bytes;
    QDataStream out(&bytes, QIODevice::WriteOnly);
    out.setByteOrder(QDataStream::LittleEndian);
    out << quint16(entries.size());
    for (const auto &entry : entries)
        out << quint16(entry[0]) << quint16(entry[1]) << quint32(1) << entry[2];
    out << next;
    return bytes;
}

// A JPEG of a plain blue picture whose Exif segment holds a little-endian TIFF block with its
// first directory at first; the segment's length leaves out the block's last cut bytes,
// which follow it as stray bytes.
QByteArray withExif(const QSize &size, quint32 first, const QByteArray &block, int cut = 0)
{
    const QByteArray main = encoded(solid(size));
    const QByteArray tiff = QByteArray("II*\0", 4) + directory({}, first).mid(2) + block;
    return main.left(2)
            + ImageFixtures::jpegSegment(0xE1, QByteArray("Exif\0\0", 6) + tiff.chopped(cut))
            + tiff.right(cut) + main.mid(2);
}

// Where the TIFF block starts: behind the start of image, the marker, length and "Exif\0\0".
constexpr int tiffStart = 12;

// The orientation in the first directory and, in the second, a pattern preview. Offsets in
// the TIFF block: the link to the second directory at 22, its entry count at 26, the
// compression at 36, the preview's offset at 48 and length at 60, the preview from 68.
QByteArray jpegWithPreview(const QSize &size, const QSize &previewSize, int orientation = 1)
{
    const QByteArray preview = encoded(ImageFixtures::pattern(previewSize));
    return withExif(size, 8,
                    directory({ { 0x112, 3, quint32(orientation) } }, 26)
                            + directory({ { 0x103, 3, 6 },
                                          { 0x201, 4, 68 },
                                          { 0x202, 4, quint32(preview.size()) } },
                                        0)
                            + preview);
}

bool setModified(const QString &path, qint64 seconds, long nanoseconds = 0)
{
    const timespec times[2]
            = { { time_t(seconds), nanoseconds }, { time_t(seconds), nanoseconds } };
    return ::utimensat(AT_FDCWD, QFile::encodeName(path).constData(), times, 0) == 0;
}

// Collects every message while it lives.
struct MessageLog
{
    MessageLog() { lines.clear(); }
    ~MessageLog() { qInstallMessageHandler(previous); }
    static inline QStringList lines;
    QtMessageHandler previous = qInstallMessageHandler(
            [](QtMsgType, const QMessageLogContext &, const QString &text) { lines << text; });
};

// count copies of one image, "img 000.png" on, each a minute newer than the last.
bool writeImages(const QString &folder, int count, const QSize &size = { 40, 30 })
{
    const QString first = folder + "/img 000.png";
    const QDateTime start = QDateTime::currentDateTime().addDays(-1);
    for (int i = 0; i < count; ++i) {
        QFile file(folder + QStringLiteral("/img %1.png").arg(i, 3, 10, QLatin1Char('0')));
        if (!(i > 0 ? QFile::copy(first, file.fileName()) : ImageFixtures::writeImage(first, size))
            || !file.open(QIODevice::ReadWrite)
            || !file.setFileTime(start.addSecs(60 * i), QFileDevice::FileModificationTime))
            return false;
    }
    return true;
}

// The dock's parts as the panel wires them: the model is a child of the view, which
// shows it through a proxy (here one that keeps the model's order).
struct Browser
{
    Browser()
    {
        model = new ThumbnailListModel(&view);
        proxy.setSourceModel(model);
        view.setModel(&proxy);
        view.resize(400, 260);
        view.show();
    }
    ~Browser() { view.setModel(nullptr); }
    QString tip(int row) const { return model->index(row).data(Qt::ToolTipRole).toString(); }
    // Whether the rows show their own thumbnails of 40 by 30 images.
    bool shown(const QList<int> &rows) const
    {
        return std::all_of(rows.cbegin(), rows.cend(), [&](int row) {
            return model->index(row).data(ThumbnailListModel::PixmapRole).value<QPixmap>().size()
                    == QSize(40, 30);
        });
    }
    QList<int> screen() const { return view.visibleItems().keys(); }

    ThumbnailListView view;
    QSortFilterProxyModel proxy;
    ThumbnailListModel *model = nullptr;
};

} // namespace

// The shared thumbnail cache, the Exif reader, making thumbnails from files, and the list
// model that plans them for what is on screen.
class ThumbnailsTest : public QObject
{
    Q_OBJECT
private slots:
    void init()
    {
        // The user's cache, empty for every test.
        cache = std::make_unique<QTemporaryDir>();
        qputenv("XDG_CACHE_HOME", QFile::encodeName(cache->path()));
    }
    void uri();
    void validEntries_data();
    void validEntries();
    void fileChangedWhileMaking();
    void previews_data();
    void previews();
    void decode_data();
    void decode();
    void batchFollowsTheScreen();
    void thumbnailsWithinBudget_data();
    void thumbnailsWithinBudget();

private:
    QString cached(const QString &relative) const
    {
        return cache->filePath("thumbnails/" + relative);
    }
    std::unique_ptr<QTemporaryDir> cache;
};

void ThumbnailsTest::uri()
{
    // The MD5 sums as md5sum gives them.
    const QByteArray uri
            = ThumbnailCache::uri(QString::fromUtf8("/home/ana/My Photos/#1 100% Über café.jpg"));
    QCOMPARE(uri, "file:///home/ana/My%20Photos/%231%20100%25%20%C3%9Cber%20caf%C3%A9.jpg");
    QCOMPARE(ThumbnailCache::entryName(uri), "cb4d3c88fab9f8ccd98704ab47bb519e.png");
    QCOMPARE(ThumbnailCache::uri("/tmp/plain(1).jpg"), "file:///tmp/plain(1).jpg");
}

void ThumbnailsTest::validEntries_data()
{
    QTest::addColumn<QSize>("entrySize"); // in the large folder beyond 128 pixels
    QTest::addColumn<QString>("change"); // of the entry's keys or time
    QTest::addColumn<bool>("used");
    const auto row = [](const char *tag, const QSize &size, const char *change, bool used) {
        QTest::newRow(tag) << size << change << used;
    };
    row("normal", { 128, 96 }, "", true);
    row("large", { 256, 192 }, "", true);
    row("no size and dimensions recorded", { 128, 96 }, "bare", true);
    row("other URI", { 128, 96 }, "uri", false);
    row("other MTime", { 128, 96 }, "mtime", false);
    row("other Size", { 128, 96 }, "size", false);
    row("written before the file changed", { 128, 96 }, "older", false);
    row("smaller than the thumbnail", { 32, 24 }, "", false);
    // Planted by someone else: none may cost the memory or the thread that reads it.
    row("larger than any cache size", { 1600, 1200 }, "", false);
    row("a pipe", { 128, 96 }, "fifo", false);
    row("a text chunk claiming 512 MiB", { 128, 96 }, "chunk", false);
}

void ThumbnailsTest::validEntries()
{
    QFETCH(QSize, entrySize);
    QFETCH(QString, change);
    QFETCH(bool, used);
    QTemporaryDir dir;
    const QString path = dir.filePath(QString::fromUtf8("My Photos #1 100% Über.jpg"));
    QVERIFY(ImageFixtures::writeImage(path, QSize(400, 300)));
    const ThumbnailCache::Source source = ThumbnailCache().source(path);
    const QString entry = cached((entrySize.width() > 128 ? "large/" : "normal/") + source.name);
    // As another program might have written it.
    QImage image = solid(entrySize);
    image.setText("Thumb::URI", change == "uri" ? "file:///elsewhere.jpg" : source.uri);
    image.setText("Thumb::MTime", QString::number(source.modified + (change == "mtime")));
    if (change != "bare") {
        image.setText("Thumb::Size", QString::number(source.size + (change == "size")));
        image.setText("Thumb::Image::Width", "400");
        image.setText("Thumb::Image::Height", "300");
    }
    QVERIFY(QDir().mkpath(QFileInfo(entry).path()) && image.save(entry, "PNG"));
    QFile file(entry);
    if (change == "fifo")
        QVERIFY(QFile::remove(entry) && ::mkfifo(QFile::encodeName(entry).constData(), 0600) == 0);
    else if (change == "older")
        QVERIFY(setModified(entry, QFileInfo(path).lastModified().toSecsSinceEpoch() - 5));
    else if (change == "chunk") // right after the header, met while the size is learnt
        QVERIFY(file.open(QIODevice::ReadOnly)
                && ImageFixtures::writeFile(
                        entry, file.readAll().insert(33, QByteArray("\x20\0\0\0tEXtComment", 15))));

    const qint64 peak = peakAddressSpace();
    const ThumbnailInfo info = ThumbnailMaker::make(path);
    QVERIFY(peakAddressSpace() - peak < (qint64(64) << 20)); // not what the entry claims
    QCOMPARE(info.imageSize, QSize(400, 300));
    QCOMPARE(info.image.size(), QSize(96, 72));
    // The entry's blue shows that the file was not decoded; the pattern that it was.
    QCOMPARE(info.image.pixelColor(48, 36) == QColor(Qt::blue), used);
    if (used)
        return;
    // Ignored entries are replaced by a valid one, written whole under its final name for the
    // user's eyes only, which gives exactly the thumbnail shown.
    QCOMPARE(QDir(cached("normal")).entryList(QDir::Files | QDir::Hidden),
             QStringList { source.name });
    const QImage written(cached("normal/" + source.name));
    QCOMPARE(written.size(), QSize(128, 96));
    QStringList texts;
    for (const char *key : { "Thumb::URI", "Thumb::MTime", "Thumb::Size", "Thumb::Image::Width",
                             "Thumb::Image::Height", "Thumb::Mimetype" })
        texts << written.text(key);
    QCOMPARE(texts,
             QStringList({ source.uri, QString::number(source.modified),
                           QString::number(QFileInfo(path).size()), "400", "300", "image/jpeg" }));
    QCOMPARE(QFile::permissions(cached("normal/" + source.name)),
             QFile::ReadOwner | QFile::WriteOwner | QFile::ReadUser | QFile::WriteUser);
    QCOMPARE(ThumbnailMaker::make(path).image, info.image);
}

void ThumbnailsTest::fileChangedWhileMaking()
{
    // What was made of it, a thumbnail or a failure (met empty or half written).
    for (const bool failed : { false, true }) {
        QTemporaryDir dir;
        const QString path = dir.filePath("photo.bmp");
        QVERIFY(solid(QSize(400, 300), Qt::blue).save(path));
        const qint64 second = QFileInfo(path).lastModified().toSecsSinceEpoch() - 10;
        QVERIFY(setModified(path, second));
        QFile file(path);
        const QByteArray blue = file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
        // A failed decode is not tried again while the file looks as before (name, time,
        // size), even once it could be decoded.
        for (const QByteArray &bytes : { QByteArray(blue.size(), 'x'), blue }) {
            if (!failed)
                break;
            QVERIFY(ImageFixtures::writeFile(path, bytes) && setModified(path, second));
            QTest::ignoreMessage(QtDebugMsg, QRegularExpression("----------- error .*photo.bmp"));
            QCOMPARE(ThumbnailMaker::make(path).imageSize, QSize(0, 0));
        }
        const ThumbnailCache cache;
        const ThumbnailCache::Source source = cache.source(path);
        // Rewritten while the thumbnail is made, within the second and to the same size...
        QVERIFY(solid(QSize(400, 300), Qt::red).save(path) && setModified(path, second, 500000000));
        QCOMPARE(QFileInfo(path).size(), source.size);
        // ...after which the maker stores what it made of the file as it was.
        if (failed)
            cache.storeFailure(source);
        else
            cache.store(source, solid(QSize(128, 96)), QSize(400, 300), "image/bmp");
        const ThumbnailInfo info = ThumbnailMaker::make(path);
        QCOMPARE(info.imageSize, QSize(400, 300));
        QCOMPARE(info.image.pixelColor(48, 36), QColor(Qt::red));
    }
}

void ThumbnailsTest::previews_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QSize>("imageSize");
    QTest::addColumn<QString>("corners"); // aaaa: the photo was decoded instead
    // A photo with a preview, bytes written over the TIFF block's at position.
    const auto row = [](const char *tag, int position, const QByteArray &bytes,
                        const char *corners = "aaaa", int orientation = 1,
                        const QSize &size = { 400, 300 }, const QSize &preview = { 160, 120 }) {
        QTest::newRow(tag) << jpegWithPreview(size, preview, orientation)
                                      .replace(tiffStart + position, bytes.size(), bytes)
                           << (orientation >= 5 && orientation <= 8 ? size.transposed() : size)
                           << corners;
    };
    row("intact", 0, "II", "abcd");
    row("upside down", 0, "II", "dcba", 3);
    row("turned right", 0, "II", "cadb", 6);
    row("turned left", 0, "II", "bdac", 8);
    row("orientation out of range", 0, "II", "abcd", 9);
    row("aspect within 2 %", 0, "II", "abcd", 1, { 400, 298 });
    row("letterboxed", 0, "II", "aaaa", 1, { 400, 225 });
    row("too small", 0, "II", "aaaa", 6, { 400, 300 }, { 64, 48 });
    row("next directory at 4 GiB", 22, directory({}, 0xFFFFFFFF).mid(2));
    row("more entries than the block holds", 26, "\xFF\xFF");
    row("offset past the block", 48, directory({}, 40000).mid(2));
    row("offset at 4 GiB", 48, directory({}, 0xFFFFFFF0).mid(2));
    row("length past the block", 60, directory({}, 30000).mid(2));
    row("length of 4 GiB", 60, directory({}, 0xFFFFFFFF).mid(2));
    row("not compressed", 36, directory({}, 1).mid(2));
    row("preview data wiped", 80, QByteArray(2000, '\0'));
    QTest::newRow("big-endian, behind a colour profile") << ImageFixtures::jpegWithOrientation(
            { 64, 48 }, 6, true, ImageFixtures::iccProfileSegment())
                                                         << QSize(48, 64) << "cadb";
    // The block runs on behind its segment: what lies there is not the block's.
    QTest::newRow("orientation cut by the segment's end")
            << withExif({ 64, 48 }, 8, directory({ { 0x112, 3, 6 } }, 0), 8) << QSize(64, 48)
            << "aaaa";
    // The preview's directory comes first; the link to the orientation's lies behind the
    // segment.
    const QByteArray preview = encoded(ImageFixtures::pattern(QSize(40, 30)));
    const quint32 length = preview.size();
    QTest::newRow("link behind the segment")
            << withExif({ 64, 48 }, 50 + length,
                        directory({ { 0x103, 3, 6 }, { 0x201, 4, 50 }, { 0x202, 4, length } }, 0)
                                + preview + directory({ { 0x112, 3, 6 } }, 8),
                        4)
            << QSize(48, 64) << "aaaa";
}

void ThumbnailsTest::previews()
{
    QFETCH(QByteArray, file);
    QFETCH(QSize, imageSize);
    QFETCH(QString, corners);
    QTemporaryDir dir;
    const QString path = dir.filePath("photo.jpg");
    QVERIFY(ImageFixtures::writeFile(path, file));
    // A damaged block is not trusted for where to read.
    const ExifData exif = ExifData::read(file);
    QVERIFY(!exif.hasPreview() || exif.previewOffset + exif.previewLength <= file.size());
    const ThumbnailInfo info = ThumbnailMaker::make(path);
    QCOMPARE(info.imageSize, imageSize);
    QCOMPARE(info.image.size(), ThumbnailMaker::fittedSize(info.imageSize));
    QCOMPARE(ImageFixtures::corners(info.image), corners);
}

void ThumbnailsTest::decode_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QSize>("imageSize"); // 0x0: a file that could not be decoded
    QTest::addColumn<QSize>("thumbnailSize");
    QTest::addColumn<QString>("corners");
    const auto file = [](const QString &tag, const QByteArray &bytes,
                         const QSize &imageSize = { 0, 0 }, const QSize &thumbnailSize = { 0, 0 },
                         const char *corners = "abcd") {
        QTest::newRow(qPrintable(tag)) << "file" << bytes << imageSize << thumbnailSize << corners;
    };
    const auto png = [](const QSize &size) {
        return encoded(ImageFixtures::pattern(size, QImage::Format_RGB32), "PNG");
    };
    file("small, never enlarged", png({ 50, 40 }), { 50, 40 }, { 50, 40 });
    file("wide", png({ 1000, 100 }), { 1000, 100 }, { 96, 9 });
    file("tall", png({ 100, 1000 }), { 100, 1000 }, { 7, 76 });
    // Light grey: transparent parts show the backdrop.
    QImage clear(300, 200, QImage::Format_ARGB32);
    clear.fill(Qt::transparent);
    file("transparent", encoded(clear, "PNG"), { 300, 200 }, { 96, 64 }, "dddd");
    // Every orientation, in either byte order; where the pattern's corners then show.
    const char *corners[] = { "abcd", "badc", "dcba", "cdab", "acbd", "cadb", "dbca", "bdac" };
    for (int orientation = 1; orientation <= 8; ++orientation) {
        const bool turned = orientation >= 5;
        file(QStringLiteral("jpeg orientation %1").arg(orientation),
             ImageFixtures::jpegWithOrientation({ 200, 100 }, orientation, orientation % 2),
             turned ? QSize(100, 200) : QSize(200, 100), turned ? QSize(38, 76) : QSize(96, 48),
             corners[orientation - 1]);
    }
    // Large enough for the reader to scale while decoding.
    file("large jpeg transverse behind a colour profile",
         ImageFixtures::jpegWithOrientation({ 1600, 1200 }, 7, false,
                                            ImageFixtures::iccProfileSegment()),
         { 1200, 1600 }, { 57, 76 }, "dbca");
    for (const char *kind : { "missing", "folder", "pipe" })
        QTest::newRow(kind) << kind << QByteArray() << QSize(-1, -1) << QSize(0, 0) << "";
    file("no image", "not an image at all");
    // Headers claiming more than QImage may hold, and more than our 1 GiB but less.
    file("png claiming 100000x100000", ImageFixtures::pngHeaderClaiming(100000, 100000));
    file("icon holding a png claiming 30000x30000",
         ImageFixtures::icoHolding(ImageFixtures::pngHeaderClaiming(30000, 30000)));
    file("16-bit png claiming 16000x16000", ImageFixtures::pngHeaderClaiming(16000, 16000, 16));
    // Within the budget upright, not once a second picture is made to turn it; and the file
    // holds enough bytes for the pixels it claims.
    file("jpeg too large once turned",
         ImageFixtures::jpegClaiming({ 256, 256 }, { 12000, 12000 }, 6));
    // Within the budget, but 30 bytes cannot hold 212 million real pixels.
    file("gif of 30 bytes claiming 3331x63743",
         QByteArray::fromHex("474946383961030dfff80000ff21f900002c00000000040002000002003b"));
    file("format that learns its size while decoding", BlindImageFormat::file(64, 48));
}

void ThumbnailsTest::decode()
{
    QFETCH(QString, kind);
    QFETCH(QByteArray, bytes);
    QFETCH(QSize, imageSize);
    QFETCH(QSize, thumbnailSize);
    QFETCH(QString, corners);
    QTemporaryDir dir;
    const QString path = dir.filePath("bad.png");
    if (kind == "file")
        QVERIFY(ImageFixtures::writeFile(path, bytes));
    else if (kind == "folder")
        QVERIFY(QDir(dir.path()).mkdir("bad.png"));
    else if (kind == "pipe")
        QCOMPARE(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);
    // Both ways of decoding: where the reader scales while decoding it may never allocate
    // the whole picture anyway, and the picture itself is turned, not only its size. Only
    // files that could be opened are reported.
    for (const auto decoding :
         { ThumbnailMaker::Decoding::Scaled, ThumbnailMaker::Decoding::Whole }) {
        const int decodes = BlindImageFormat::decodes();
        const qint64 peak = peakAddressSpace();
        MessageLog log;
        const ThumbnailInfo info = ThumbnailMaker::decode(path, decoding);
        const QStringList messages = log.lines;
        QVERIFY(peakAddressSpace() - peak < qint64(512) << 20);
        QCOMPARE(BlindImageFormat::decodes(), decodes);
        QCOMPARE(info.imageSize, imageSize);
        QCOMPARE(info.image.size(), thumbnailSize);
        if (!info.image.isNull())
            QCOMPARE(ImageFixtures::corners(info.image), corners);
        QCOMPARE(messages,
                 imageSize != QSize(0, 0) ? QStringList()
                                          : QStringList { "----------- error   \"" + path + '"' });
    }
}

void ThumbnailsTest::batchFollowsTheScreen()
{
    QTemporaryDir dir;
    QVERIFY(writeImages(dir.path(), 60, { 900, 700 }));
    // The cache holds the last two; one worker makes the thumbnails in the batch's order.
    for (const char *name : { "img 057.png", "img 059.png" })
        QVERIFY(ThumbnailCache().store(ThumbnailCache().source(dir.filePath(name)),
                                       solid({ 128, 100 }), { 900, 700 }, ""));
    const int threads = QThreadPool::globalInstance()->maxThreadCount();
    QThreadPool::globalInstance()->setMaxThreadCount(1);
    Browser browser;
    QVERIFY(QTest::qWaitForWindowExposed(&browser.view));
    QList<int> order;
    connect(browser.model, &QAbstractItemModel::dataChanged, this, [&](const QModelIndex &index) {
        if (!order.contains(index.row()))
            order << index.row();
    });
    browser.model->setFolder(dir.path());
    // Lay the rows out and plan at once, as the creation timer would 300 ms later.
    QVERIFY(browser.view.visualRect(browser.proxy.index(0, 0)).isValid());
    browser.model->timerSetImage();
    QVERIFY(browser.model->isBatchRunning());
    const QList<int> firstScreen = browser.screen();
    // Scrolling before any result arrived cancels the batch of the first screen...
    browser.view.scrollTo(browser.proxy.index(59, 0));
    const QList<int> lastScreen = browser.screen();
    QVERIFY(!firstScreen.isEmpty() && !lastScreen.contains(firstScreen.first()));
    // ...and the next batch makes the rows now visible, those in the cache first, and only
    // those.
    QTRY_COMPARE(order.size(), lastScreen.size());
    QThreadPool::globalInstance()->setMaxThreadCount(threads);
    QList<int> expected { 57, 59 };
    for (int row : lastScreen)
        if (!expected.contains(row))
            expected << row;
    QCOMPARE(order, expected);
    QVERIFY(std::none_of(firstScreen.cbegin(), firstScreen.cend(),
                         [&](int row) { return !browser.tip(row).endsWith("\n-1x-1"); }));
    // Results of a batch done before a re-listing moved the rows are not the moved rows'.
    QTemporaryDir moved;
    QVERIFY(ImageFixtures::writeImage(moved.filePath("a.png"), { 40, 9 })
            && ImageFixtures::writeImage(moved.filePath("b.png"), { 41, 9 }));
    browser.model->setFolder(moved.path());
    QThreadPool::globalInstance()->waitForDone();
    QVERIFY(QFile::remove(moved.filePath("a.png")));
    browser.model->tDirectoryChanged();
    QTRY_VERIFY(browser.tip(0).endsWith("\n41x9"));
}

void ThumbnailsTest::thumbnailsWithinBudget_data()
{
    QTest::addColumn<int>("budget"); // in thumbnails
    QTest::newRow("two screens") << 24;
    // The rows on screen stay even so.
    QTest::newRow("less than a screen") << 2;
}

void ThumbnailsTest::thumbnailsWithinBudget()
{
    QFETCH(int, budget);
    QTemporaryDir dir;
    QVERIFY(writeImages(dir.path(), 120));
    Browser browser;
    QVERIFY(QTest::qWaitForWindowExposed(&browser.view));
    browser.model->setThumbnailBudget(budget * 40 * 30 * 4);
    browser.model->setFolder(dir.path());
    const auto held = [&] {
        int count = 0;
        for (int row = 0; row < browser.model->rowCount(); ++row)
            count += browser.shown({ row });
        return count;
    };
    QScrollBar *bar = browser.view.verticalScrollBar();
    QList<int> firstScreen;
    for (int value = 0;; value += bar->pageStep()) {
        bar->setValue(qMin(value, bar->maximum()));
        // Planned at once, as once the scrolling stopped.
        browser.model->screenChanged(ThumbnailListModel::Planning::AtOnce);
        const QList<int> screen = browser.screen();
        if (firstScreen.isEmpty())
            firstScreen = screen;
        QTRY_VERIFY(browser.shown(screen) && !browser.model->isBatchRunning());
        QVERIFY(held() <= qMax(budget, screen.size()));
        if (value >= bar->maximum())
            break;
    }
    // The first screen's thumbnails were let go; what the tooltip, the status bar and the
    // sorting use of them stays.
    QVERIFY(!browser.shown(firstScreen));
    for (int row : qAsConst(firstScreen))
        QVERIFY(browser.tip(row).endsWith("\n40x30"));
    bar->setValue(0);
    browser.model->screenChanged(ThumbnailListModel::Planning::AtOnce);
    QTRY_VERIFY(browser.shown(firstScreen));
}

Q_IMPORT_PLUGIN(BlindImagePlugin)
VIREON_TEST_MAIN(ThumbnailsTest)
#include "tst_thumbnails.moc"
