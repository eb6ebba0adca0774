#include "blindimageformat.h"
#include "browser/imagefile.h"
#include "browser/statusbar.h"
#include "browser/thumbnaillistmodel.h"
#include "browser/thumbnaillistview.h"
#include "browser/thumbnailmaker.h"
#include "browser/thumbnailpanel.h"
#include "imagefixtures.h"
#include "testmain.h"
#include "testmemory.h"

#include <QBuffer>
#include <QDir>
#include <QFutureWatcherBase>
#include <QImageReader>
#include <QLocale>
#include <QSaveFile>
#include <QScrollBar>
#include <QSortFilterProxyModel>
#include <QTemporaryDir>

#include <sys/stat.h>

namespace {

QByteArray encoded(const QImage &image, const char *format)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, format, 90);
    return bytes;
}

// Gradients, soft waves and noise, so that scaled decoding meets what photographs give it.
QImage photoLike(const QSize &size)
{
    QImage image(size, QImage::Format_RGB32);
    quint32 state = 12345;
    for (int y = 0; y < size.height(); ++y) {
        auto *line = reinterpret_cast<QRgb *>(image.scanLine(y));
        for (int x = 0; x < size.width(); ++x) {
            state = state * 1664525u + 1013904223u;
            const int noise = int(state >> 27) - 16;
            const double wave = std::sin(x / 40.0) * std::cos(y / 55.0);
            line[x] = qRgb(qBound(0, 30 + x * 190 / size.width() + int(40 * wave) + noise, 255),
                           qBound(0, 50 + y * 170 / size.height() - int(30 * wave) + noise, 255),
                           qBound(0, 140 + int(80 * wave) + noise, 255));
        }
    }
    return image;
}

// The Exif block that records an orientation, spliced in after the start-of-image marker.
QByteArray withOrientation(const QByteArray &jpeg, int orientation)
{
    const QByteArray carrier = ImageFixtures::jpegWithOrientation(QSize(8, 8), orientation);
    const int length = (quint8(carrier[4]) << 8 | quint8(carrier[5])) + 2;
    return jpeg.left(2) + carrier.mid(2, length) + jpeg.mid(2);
}

// Mean and largest difference of the colour channels of two images of one size; the
// pattern's fine blue stripes can be left out where only its gradients matter.
QPair<double, int> difference(const QImage &a, const QImage &b, bool blue = true)
{
    const QImage left = a.convertToFormat(QImage::Format_RGB32);
    const QImage right = b.convertToFormat(QImage::Format_RGB32);
    qint64 sum = 0;
    int largest = 0;
    for (int y = 0; y < left.height(); ++y) {
        for (int x = 0; x < left.width(); ++x) {
            const QRgb p = left.pixel(x, y);
            const QRgb q = right.pixel(x, y);
            for (int d :
                 { qRed(p) - qRed(q), qGreen(p) - qGreen(q), blue ? qBlue(p) - qBlue(q) : 0 }) {
                sum += qAbs(d);
                largest = qMax(largest, qAbs(d));
            }
        }
    }
    return { double(sum) / ((blue ? 3.0 : 2.0) * left.width() * left.height()), largest };
}

// Collects every message while it lives, to check what was (and was not) said.
class MessageLog
{
public:
    MessageLog()
    {
        lines.clear();
        previous = qInstallMessageHandler(&MessageLog::handle);
    }
    ~MessageLog() { qInstallMessageHandler(previous); }
    QStringList messages() const { return lines; }

private:
    static void handle(QtMsgType, const QMessageLogContext &, const QString &message)
    {
        lines << message;
    }
    static QStringList lines;
    QtMessageHandler previous = nullptr;
};
QStringList MessageLog::lines;

// count copies of one 40 by 30 image, "img 000.png" on, each a minute newer than the last.
bool writeImages(const QString &folder, int count)
{
    const QString first = folder + QStringLiteral("/img 000.png");
    if (!ImageFixtures::writeImage(first, { 40, 30 }))
        return false;
    const QDateTime start = QDateTime::currentDateTime().addDays(-1);
    for (int i = 0; i < count; ++i) {
        const QString path = folder + QStringLiteral("/img %1.png").arg(i, 3, 10, QLatin1Char('0'));
        QFile file(path);
        if ((i > 0 && !QFile::copy(first, path)) || !file.open(QIODevice::ReadWrite)
            || !file.setFileTime(start.addSecs(60 * i), QFileDevice::FileModificationTime))
            return false;
    }
    return true;
}

// Whether the row shows its own thumbnail of a 40 by 30 image.
bool showsThumbnail(const QAbstractItemModel *model, int row)
{
    return model->index(row, 0).data(ThumbnailListModel::PixmapRole).value<QPixmap>().size()
            == QSize(40, 30);
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

    QStringList names() const
    {
        QStringList list;
        for (int row = 0; row < model->rowCount(); ++row)
            list << model->index(row).data().toString();
        return list;
    }
    QString tip(int row) const { return model->index(row).data(Qt::ToolTipRole).toString(); }
    bool ready(int row) const { return !tip(row).endsWith(QLatin1String("\n-1x-1")); }
    QFutureWatcherBase *watcher() const { return model->findChild<QFutureWatcherBase *>(); }
    QTimer *timer(const char *name) const { return model->findChild<QTimer *>(name); }

    ThumbnailListView view;
    QSortFilterProxyModel proxy;
    ThumbnailListModel *model = nullptr;
};

} // namespace

class ThumbnailModelTest : public QObject
{
    Q_OBJECT
private slots:
    void sizeText_data();
    void sizeText();
    void thumbnail_data();
    void thumbnail();
    void transparentPartsShowTheBackdrop();
    void unreadable_data();
    void unreadable();
    void scaledDecodingMatchesWholeDecoding_data();
    void scaledDecodingMatchesWholeDecoding();

    void listsAsQDirDoes_data();
    void listsAsQDirDoes();
    void tooltipBeforeThumbnail();
    void batches_data();
    void batches();
    void copiesInABurstRelistOnce();
    void followsFolderChanges();
    void refreshesFinishedWrites_data();
    void refreshesFinishedWrites();
    void rename_data();
    void rename();
    void scrollingCancelsTheBatch();
    void scrollingBurstPlansTwice();
    void firstScreenAtOnce_data();
    void firstScreenAtOnce();
    void thumbnailsWithinBudget_data();
    void thumbnailsWithinBudget();
};

void ThumbnailModelTest::sizeText_data()
{
    QTest::addColumn<qint64>("bytes");
    QTest::addColumn<QString>("text");
    QTest::newRow("bytes") << qint64(1023) << "1023 B";
    QTest::newRow("one KB") << qint64(1024) << "1.00 KB";
    QTest::newRow("just under a MB") << qint64(1048575) << "1024.00 KB";
    QTest::newRow("one MB") << qint64(1048576) << "1.00 MB";
    QTest::newRow("one and a half MB") << qint64(1572864) << "1.50 MB";
    QTest::newRow("past 4 GiB") << qint64(5) * 1024 * 1024 * 1024 << "5120.00 MB";
    QTest::newRow("negative") << qint64(-2048) << "-2048 B";
}

void ThumbnailModelTest::sizeText()
{
    QFETCH(qint64, bytes);
    QFETCH(QString, text);
    QCOMPARE(StatusBar::sizeText(bytes), text);
}

void ThumbnailModelTest::thumbnail_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("corners");
    QTest::addColumn<QSize>("thumbnailSize");
    QTest::addColumn<QSize>("imageSize");

    const auto png = [](const QSize &size) {
        return encoded(ImageFixtures::pattern(size, QImage::Format_RGB32), "PNG");
    };
    const auto jpeg = [](const QSize &size, int orientation, bool bigEndian,
                         const QByteArray &leading = QByteArray()) {
        return ImageFixtures::jpegWithOrientation(size, orientation, bigEndian, leading);
    };
    QTest::newRow("small, never enlarged")
            << png({ 50, 40 }) << "abcd" << QSize(50, 40) << QSize(50, 40);
    QTest::newRow("fills the box")
            << png({ 960, 760 }) << "abcd" << QSize(96, 76) << QSize(960, 760);
    QTest::newRow("wide") << png({ 1000, 100 }) << "abcd" << QSize(96, 9) << QSize(1000, 100);
    QTest::newRow("tall") << png({ 100, 1000 }) << "abcd" << QSize(7, 76) << QSize(100, 1000);
    QTest::newRow("jpeg upright") << jpeg({ 200, 100 }, 1, true) << "abcd" << QSize(96, 48)
                                  << QSize(200, 100);
    QTest::newRow("jpeg turned, big-endian")
            << jpeg({ 200, 100 }, 6, true) << "cadb" << QSize(38, 76) << QSize(100, 200);
    QTest::newRow("jpeg turned, little-endian")
            << jpeg({ 200, 100 }, 6, false) << "cadb" << QSize(38, 76) << QSize(100, 200);
    QTest::newRow("jpeg upside down")
            << jpeg({ 200, 100 }, 3, true) << "dcba" << QSize(96, 48) << QSize(200, 100);
    QTest::newRow("jpeg turned left")
            << jpeg({ 200, 100 }, 8, false) << "bdac" << QSize(38, 76) << QSize(100, 200);
    QTest::newRow("jpeg mirrored")
            << jpeg({ 200, 100 }, 2, true) << "badc" << QSize(96, 48) << QSize(200, 100);
    QTest::newRow("jpeg flipped") << jpeg({ 200, 100 }, 4, false) << "cdab" << QSize(96, 48)
                                  << QSize(200, 100);
    QTest::newRow("jpeg transposed")
            << jpeg({ 200, 100 }, 5, true) << "acbd" << QSize(38, 76) << QSize(100, 200);
    QTest::newRow("jpeg transverse")
            << jpeg({ 200, 100 }, 7, false) << "dbca" << QSize(38, 76) << QSize(100, 200);
    QTest::newRow("jpeg turned behind a colour profile")
            << jpeg({ 200, 100 }, 6, true, ImageFixtures::iccProfileSegment()) << "cadb"
            << QSize(38, 76) << QSize(100, 200);
    // Large enough for the reader to scale while decoding.
    QTest::newRow("large jpeg turned")
            << jpeg({ 1600, 1200 }, 6, true) << "cadb" << QSize(57, 76) << QSize(1200, 1600);
    QTest::newRow("large jpeg transverse behind a colour profile")
            << jpeg({ 1600, 1200 }, 7, false, ImageFixtures::iccProfileSegment()) << "dbca"
            << QSize(57, 76) << QSize(1200, 1600);
}

void ThumbnailModelTest::thumbnail()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, corners);
    QFETCH(QSize, thumbnailSize);
    QFETCH(QSize, imageSize);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("picture"));
    QVERIFY(ImageFixtures::writeFile(path, bytes));

    const ThumbnailInfo info = createThumbnail(path);
    QCOMPARE(info.imageSize, imageSize);
    QCOMPARE(info.image.size(), thumbnailSize);
    // The picture itself is turned, not only its size.
    QCOMPARE(ImageFixtures::corners(info.image), corners);
}

void ThumbnailModelTest::transparentPartsShowTheBackdrop()
{
    QTemporaryDir dir;
    QImage clear(300, 200, QImage::Format_ARGB32);
    clear.fill(Qt::transparent);
    const QString path = dir.filePath(QStringLiteral("clear.png"));
    QVERIFY(clear.save(path));
    const QImage thumbnail = createThumbnail(path).image;
    QImage grey(96, 64, thumbnail.format());
    grey.fill(QColor(Qt::lightGray));
    QCOMPARE(thumbnail, grey);
}

void ThumbnailModelTest::unreadable_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QSize>("imageSize");
    QTest::newRow("missing") << "missing" << QByteArray() << QSize(-1, -1);
    QTest::newRow("a folder") << "folder" << QByteArray() << QSize(-1, -1);
    QTest::newRow("a pipe without writer") << "pipe" << QByteArray() << QSize(-1, -1);
    QTest::newRow("empty") << "file" << QByteArray() << QSize(0, 0);
    QTest::newRow("no image") << "file" << QByteArray("not an image at all") << QSize(0, 0);
    // Headers claiming more than QImage may hold, and more than our 1 GiB but less.
    QTest::newRow("png claiming 100000x100000")
            << "file" << ImageFixtures::pngHeaderClaiming(100000, 100000) << QSize(0, 0);
    QTest::newRow("png claiming 17000x17000")
            << "file" << ImageFixtures::pngHeaderClaiming(17000, 17000) << QSize(0, 0);
    QTest::newRow("icon holding a png claiming 30000x30000")
            << "file" << ImageFixtures::icoHolding(ImageFixtures::pngHeaderClaiming(30000, 30000))
            << QSize(0, 0);
    QTest::newRow("16-bit png claiming 16000x16000")
            << "file" << ImageFixtures::pngHeaderClaiming(16000, 16000, 16) << QSize(0, 0);
    // Within the budget, but 30 bytes cannot hold 212 million real pixels.
    QTest::newRow("gif of 30 bytes claiming 3331x63743")
            << "file"
            << QByteArray::fromHex("474946383961030dfff80000ff21f900002c00000000040002000002003b")
            << QSize(0, 0);
    QTest::newRow("format that learns its size while decoding")
            << "file" << BlindImageFormat::file(64, 48) << QSize(0, 0);
}

void ThumbnailModelTest::unreadable()
{
    QFETCH(QString, kind);
    QFETCH(QByteArray, bytes);
    QFETCH(QSize, imageSize);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("bad.png"));
    if (kind == QLatin1String("file"))
        QVERIFY(ImageFixtures::writeFile(path, bytes));
    else if (kind == QLatin1String("folder"))
        QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("bad.png")));
    else if (kind == QLatin1String("pipe"))
        QCOMPARE(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);

    // Both ways of decoding: where the reader scales while decoding it may never allocate
    // the whole picture anyway.
    for (const auto decoding :
         { ThumbnailMaker::Decoding::Scaled, ThumbnailMaker::Decoding::Whole }) {
        ThumbnailInfo info;
        QStringList messages;
        const int decodes = BlindImageFormat::decodes();
        const qint64 peakBefore = peakAddressSpace();
        {
            MessageLog log;
            info = ThumbnailMaker::decode(path, decoding);
            messages = log.messages();
        }
        QVERIFY(peakAddressSpace() - peakBefore < qint64(512) << 20);
        QCOMPARE(BlindImageFormat::decodes(), decodes);
        QVERIFY(info.image.isNull());
        QCOMPARE(info.imageSize, imageSize);
        // Only files that could be opened are reported.
        QStringList expected;
        if (imageSize == QSize(0, 0))
            expected << QStringLiteral("----------- error   \"%1\"").arg(path);
        QCOMPARE(messages, expected);
    }
}

void ThumbnailModelTest::scaledDecodingMatchesWholeDecoding_data()
{
    QTest::addColumn<QSize>("size");
    QTest::addColumn<int>("orientation");
    QTest::newRow("landscape turned") << QSize(1600, 1200) << 6;
    QTest::newRow("narrow strip") << QSize(1203, 301) << 1;
    QTest::newRow("portrait turned back") << QSize(700, 1100) << 8;
    QTest::newRow("landscape transposed") << QSize(1500, 1000) << 5;
    QTest::newRow("barely larger than twice the box") << QSize(200, 150) << 1;
}

void ThumbnailModelTest::scaledDecodingMatchesWholeDecoding()
{
    QFETCH(QSize, size);
    QFETCH(int, orientation);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("photo.jpg"));
    QVERIFY(ImageFixtures::writeFile(
            path, withOrientation(encoded(photoLike(size), "JPG"), orientation)));

    const ThumbnailInfo scaled = ThumbnailMaker::decode(path, ThumbnailMaker::Decoding::Scaled);
    const ThumbnailInfo whole = ThumbnailMaker::decode(path, ThumbnailMaker::Decoding::Whole);
    QCOMPARE(scaled.imageSize, whole.imageSize);
    QCOMPARE(scaled.image.size(), whole.image.size());
    const auto [mean, largest] = difference(scaled.image, whole.image);
    QVERIFY2(mean < 1.5 && largest < 16,
             qPrintable(QStringLiteral("mean %1, largest %2").arg(mean).arg(largest)));
}

void ThumbnailModelTest::listsAsQDirDoes_data()
{
    QTest::addColumn<bool>("trailingSlash");
    QTest::newRow("folder") << false;
    QTest::newRow("folder with a trailing slash") << true;
}

void ThumbnailModelTest::listsAsQDirDoes()
{
    QFETCH(bool, trailingSlash);
    QTemporaryDir dir;
    for (const char *name : { "b.PNG", "a.png", "C.jpg", "x.tar.jpeg", "\xc3\x84rger.bmp",
                              "notes.txt", "noext", ".hidden.png", "dot.", "Z.JpEg" })
        QVERIFY(ImageFixtures::writeFile(dir.filePath(QString::fromUtf8(name)),
                                         QByteArray(37, 'x')));
    QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("folder.png")));
    QVERIFY(QFile::link(dir.filePath(QStringLiteral("b.PNG")),
                        dir.filePath(QStringLiteral("link.png"))));
    QVERIFY(QFile::link(dir.filePath(QStringLiteral("gone")),
                        dir.filePath(QStringLiteral("broken.png"))));
    QCOMPARE(
            ::mkfifo(QFile::encodeName(dir.filePath(QStringLiteral("pipe.png"))).constData(), 0600),
            0);

    const QString folder = trailingSlash ? dir.path() + QLatin1Char('/') : dir.path();
    ThumbnailListModel model;
    model.setFolder(folder);

    QDir reference(folder);
    QStringList filters;
    for (const QByteArray &format : QImageReader::supportedImageFormats())
        filters << QStringLiteral("*.") + QString::fromLatin1(format);
    reference.setNameFilters(filters);
    const QFileInfoList entries = reference.entryInfoList();
    QCOMPARE(model.rowCount(), entries.size());
    for (int row = 0; row < entries.size(); ++row) {
        const QModelIndex index = model.index(row);
        QCOMPARE(index.data(ThumbnailListModel::FilePathRole).toString(), entries[row].filePath());
        QCOMPARE(index.data().toString(), entries[row].fileName());
        QCOMPARE(index.data(ThumbnailListModel::SizeRole).toLongLong(), entries[row].size());
        QCOMPARE(index.data(ThumbnailListModel::LastModifiedRole).toDateTime(),
                 entries[row].lastModified());
        QCOMPARE(index.data(ThumbnailListModel::PositionRole).toInt(), 0);
    }
    qint64 total = 0;
    for (const QFileInfo &entry : entries)
        total += entry.size();
    QCOMPARE(model.totalSize(), total);
}

void ThumbnailModelTest::tooltipBeforeThumbnail()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("one.png"));
    QVERIFY(ImageFixtures::writeImage(path, { 30, 20 }));
    // Without a view nothing is visible, so no thumbnail is made.
    ThumbnailListModel model;
    model.setFolder(dir.path());
    QCOMPARE(model.rowCount(), 1);
    const QFileInfo file(path);
    QCOMPARE(model.index(0).data(Qt::ToolTipRole).toString(),
             QStringLiteral("one.png\n%1\n%2\n-1x-1")
                     .arg(QLocale().toString(file.lastModified(), QLocale::ShortFormat),
                          StatusBar::sizeText(file.size())));
}

void ThumbnailModelTest::batches_data()
{
    QTest::addColumn<QStringList>("files");
    QTest::addColumn<QStringList>("sizes");
    QTest::newRow("no image files") << QStringList { "notes.txt", ".hidden.png" } << QStringList();
    QTest::newRow("a good and a broken image")
            << QStringList { "a good.png", "b broken.png" } << QStringList { "50x40", "0x0" };
}

void ThumbnailModelTest::batches()
{
    QFETCH(QStringList, files);
    QFETCH(QStringList, sizes);
    QTemporaryDir dir;
    for (const QString &name : files) {
        QVERIFY(name.contains(QLatin1String("good"))
                        ? ImageFixtures::writeImage(dir.filePath(name), { 50, 40 })
                        : ImageFixtures::writeFile(dir.filePath(name), "no picture"));
    }
    if (sizes.contains(QLatin1String("0x0")))
        QTest::ignoreMessage(QtDebugMsg, QRegularExpression("----------- error .*broken.png"));
    Browser browser;
    QSignalSpy started(browser.watcher(), &QFutureWatcherBase::started);
    browser.model->setFolder(dir.path());
    QCOMPARE(browser.model->rowCount(), sizes.size());
    // A file that could not be read counts as ready too, with a null thumbnail.
    for (int row = 0; row < sizes.size(); ++row)
        QTRY_VERIFY(browser.tip(row).endsWith(QLatin1Char('\n') + sizes.at(row)));
    QTRY_VERIFY(!browser.timer("creationTimer")->isActive() && !browser.model->isBatchRunning());
    QCoreApplication::processEvents();
    QCOMPARE(started.count() > 0, !sizes.isEmpty());

    // Nothing left to make: planning again starts no batch.
    const int batches = started.count();
    browser.model->createThumbnails();
    QTRY_VERIFY(!browser.timer("creationTimer")->isActive());
    QCoreApplication::processEvents();
    QCOMPARE(started.count(), batches);
}

void ThumbnailModelTest::copiesInABurstRelistOnce()
{
    QTemporaryDir dir;
    const QString source = dir.filePath(QStringLiteral("first.png"));
    QVERIFY(ImageFixtures::writeImage(source, { 20, 20 }));
    ThumbnailListModel model;
    model.setFolder(dir.path());
    QSignalSpy resets(&model, &QAbstractItemModel::modelReset);
    for (int i = 0; i < 10; ++i)
        QVERIFY(QFile::copy(source, dir.filePath(QStringLiteral("copy %1.png").arg(i))));
    QTRY_COMPARE(model.rowCount(), 11);
    QCOMPARE(resets.count(), 1);
    // Added files follow the listed ones, in the listing's order.
    for (int i = 0; i < 10; ++i)
        QCOMPARE(model.index(i + 1).data().toString(), QStringLiteral("copy %1.png").arg(i));
    // And no second re-listing is pending.
    QVERIFY(!model.findChild<QTimer *>(QStringLiteral("relistTimer"))->isActive());
}

void ThumbnailModelTest::followsFolderChanges()
{
    QTemporaryDir dir;
    for (const char *name : { "a.png", "b.png", "c.png" })
        QVERIFY(ImageFixtures::writeImage(dir.filePath(QLatin1String(name)), { 40, 30 }));
    Browser browser;
    browser.model->setFolder(dir.path());
    QTRY_VERIFY(browser.ready(0) && browser.ready(1) && browser.ready(2));
    const QDateTime listedTime
            = browser.model->index(2).data(ThumbnailListModel::LastModifiedRole).toDateTime();

    // One re-listing sees a removed, a changed and an added file.
    browser.model->editedPosition = 7;
    QVERIFY(QFile::remove(dir.filePath(QStringLiteral("b.png"))));
    const QString changed = dir.filePath(QStringLiteral("c.png"));
    QVERIFY(ImageFixtures::writeImage(changed, { 30, 40 }));
    QFile changedFile(changed);
    QVERIFY(changedFile.open(QIODevice::ReadWrite));
    QVERIFY(changedFile.setFileTime(listedTime.addSecs(60), QFileDevice::FileModificationTime));
    changedFile.close();
    QVERIFY(ImageFixtures::writeImage(dir.filePath(QStringLiteral("d.png")), { 20, 10 }));

    QTRY_COMPARE(browser.names(), QStringList({ "a.png", "c.png", "d.png" }));
    QCOMPARE(browser.model->index(2).data(ThumbnailListModel::PositionRole).toInt(), 7);
    QCOMPARE(browser.model->index(0).data(ThumbnailListModel::PositionRole).toInt(), 0);
    // The changed file's thumbnail is made again; the added one's for the first time.
    QTRY_VERIFY(browser.tip(1).endsWith(QLatin1String("\n30x40")));
    QTRY_VERIFY(browser.tip(2).endsWith(QLatin1String("\n20x10")));
    QVERIFY(browser.tip(0).endsWith(QLatin1String("\n40x30")));
}

void ThumbnailModelTest::refreshesFinishedWrites_data()
{
    QTest::addColumn<bool>("inPlace");
    QTest::addColumn<bool>("removedFirst");
    // A copy arriving slowly: listed, and its thumbnail made, while half of it is there.
    QTest::newRow("written in two halves") << true << false;
    // A save that writes a new file and renames it over the old one.
    QTest::newRow("replaced by a rename") << false << false;
    // Deleted and saved anew between two re-listings: a new file is linked in under its
    // name, and no write under that name is reported.
    QTest::newRow("removed and saved anew") << false << true;
}

void ThumbnailModelTest::refreshesFinishedWrites()
{
    QFETCH(bool, inPlace);
    QFETCH(bool, removedFirst);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("photo.jpg"));
    const QByteArray photo = encoded(photoLike(QSize(1600, 1200)), "JPG");
    const QByteArray first
            = inPlace ? photo.left(photo.size() / 2) : encoded(photoLike(QSize(300, 200)), "JPG");
    Browser browser;
    browser.model->setFolder(dir.path());
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    QCOMPARE(file.write(first), first.size());
    QVERIFY(file.flush());
    if (!inPlace)
        file.close();
    QTRY_COMPARE(browser.model->rowCount(), 1);
    QTRY_VERIFY(browser.ready(0));
    const QModelIndex item = browser.model->index(0);
    QCOMPARE(item.data(ThumbnailListModel::SizeRole).toLongLong(), first.size());
    const QImage early = item.data(ThumbnailListModel::PixmapRole).value<QPixmap>().toImage();

    if (inPlace) {
        QCOMPARE(file.write(photo.mid(first.size())), photo.size() - first.size());
        file.close();
    } else {
        QVERIFY(!removedFirst || QFile::remove(path));
        QSaveFile save(path);
        QVERIFY(save.open(QIODevice::WriteOnly));
        save.write(photo);
        QVERIFY(save.commit());
    }
    QTRY_COMPARE(item.data(ThumbnailListModel::SizeRole).toLongLong(), photo.size());
    QCOMPARE(item.data(ThumbnailListModel::LastModifiedRole).toDateTime(),
             QFileInfo(path).lastModified().toUTC());
    const QImage expected = createThumbnail(path).image.convertToFormat(QImage::Format_RGB32);
    QVERIFY(early.convertToFormat(QImage::Format_RGB32) != expected);
    QTRY_COMPARE(item.data(ThumbnailListModel::PixmapRole)
                         .value<QPixmap>()
                         .toImage()
                         .convertToFormat(QImage::Format_RGB32),
                 expected);
    QVERIFY(browser.tip(0).endsWith(QLatin1String("\n1600x1200")));
}

void ThumbnailModelTest::rename_data()
{
    QTest::addColumn<QString>("target");
    QTest::addColumn<bool>("renamed");
    QTest::newRow("free name") << "renamed.png" << true;
    QTest::newRow("name of another file") << "other.png" << false;
    QTest::newRow("dot dot") << ".." << false;
    QTest::newRow("into another folder") << "sub/moved.png" << false;
    QTest::newRow("cut short by NUL") << QString::fromLatin1("cut\0.png", 8) << false;
}

void ThumbnailModelTest::rename()
{
    QFETCH(QString, target);
    QFETCH(bool, renamed);
    QTemporaryDir dir;
    const QString original = dir.filePath(QStringLiteral("original.png"));
    const QString other = dir.filePath(QStringLiteral("other.png"));
    QVERIFY(ImageFixtures::writeImage(original, { 40, 30 }));
    QVERIFY(ImageFixtures::writeImage(other, { 10, 10 }));
    QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("sub")));
    const qint64 otherSize = QFileInfo(other).size();
    Browser browser;
    browser.model->setFolder(dir.path());
    browser.view.setCurrentIndex(browser.proxy.index(1, 0)); // other.png

    const QString newPath = dir.filePath(target);
    const QModelIndex index = browser.model->index(0); // original.png
    // A rename that did not happen is not reported as done.
    QCOMPARE(browser.model->setData(index, newPath, Qt::EditRole), renamed);
    if (renamed) {
        QTRY_VERIFY(!QFile::exists(original) && browser.model->rowCount() == 2
                    && browser.model->index(1).data(ThumbnailListModel::FilePathRole) == newPath);
        QCOMPARE(browser.view.currentIndex().data(ThumbnailListModel::FilePathRole).toString(),
                 newPath);
    } else {
        QVERIFY(QFile::exists(original));
        QCOMPARE(QFileInfo(other).size(), otherSize);
        QVERIFY(!QFile::exists(dir.filePath(QStringLiteral("sub/moved.png"))));
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files).size(), 2);
        QCOMPARE(browser.model->currentFile, QString());
    }
}

void ThumbnailModelTest::scrollingCancelsTheBatch()
{
    QTemporaryDir dir;
    const QString first = dir.filePath(QStringLiteral("img 00.png"));
    QVERIFY(ImageFixtures::writeImage(first, { 900, 700 }));
    for (int i = 1; i < 60; ++i)
        QVERIFY(QFile::copy(
                first, dir.filePath(QStringLiteral("img %1.png").arg(i, 2, 10, QLatin1Char('0')))));
    Browser browser;
    QVERIFY(QTest::qWaitForWindowExposed(&browser.view));
    browser.model->setFolder(dir.path());
    // Lay the rows out and plan at once, as the creation timer would 300 ms later.
    QVERIFY(browser.view.visualRect(browser.proxy.index(0, 0)).isValid());
    browser.model->timerSetImage();
    QVERIFY(browser.model->isBatchRunning());
    const QList<int> firstScreen = browser.view.visibleItems().keys();
    QVERIFY(!firstScreen.isEmpty());

    // Scrolling before any result arrived cancels the batch of the first screen ...
    browser.view.scrollTo(browser.proxy.index(59, 0));
    const QList<int> lastScreen = browser.view.visibleItems().keys();
    QVERIFY(!lastScreen.contains(firstScreen.first()));

    // ... and the next batch makes the rows now visible, and only those.
    QTRY_VERIFY(std::all_of(lastScreen.cbegin(), lastScreen.cend(),
                            [&](int row) { return browser.ready(row); }));
    for (int row : firstScreen)
        QVERIFY2(!browser.ready(row), qPrintable(QString::number(row)));
}

void ThumbnailModelTest::scrollingBurstPlansTwice()
{
    QTemporaryDir dir;
    QVERIFY(writeImages(dir.path(), 90));
    Browser browser;
    QVERIFY(QTest::qWaitForWindowExposed(&browser.view));
    browser.model->setFolder(dir.path());
    QTRY_VERIFY(!browser.timer("creationTimer")->isActive() && !browser.model->isBatchRunning());
    QCoreApplication::processEvents();
    QSignalSpy started(browser.watcher(), &QFutureWatcherBase::started);
    QScrollBar *bar = browser.view.verticalScrollBar();
    for (int step = 1; step <= 6; ++step)
        bar->setValue(step * bar->pageStep() / 2);
    // One batch at the burst's start and one after it settled, which makes the last screen.
    const QList<int> screen = browser.view.visibleItems().keys();
    QTRY_VERIFY(std::all_of(screen.cbegin(), screen.cend(),
                            [&](int row) { return browser.ready(row); }));
    QTRY_VERIFY(!browser.timer("creationTimer")->isActive() && !browser.model->isBatchRunning());
    QCoreApplication::processEvents();
    QCOMPARE(started.count(), 2);
}

void ThumbnailModelTest::firstScreenAtOnce_data()
{
    QTest::addColumn<bool>("scrolledBefore");
    QTest::addColumn<int>("sortMode");
    QTest::addColumn<int>("sortOrder");
    QTest::addColumn<QString>("first");
    QTest::newRow("by name") << false << 1 << 0 << "img 000.png";
    // The sort puts other rows on the first screen than the listing did.
    QTest::newRow("newest first") << false << 3 << 1 << "img 059.png";
    // Scrolling another folder just before left the planning timer running; the proxy,
    // sorted already, sorts the new rows without being told again.
    QTest::newRow("right after scrolling") << true << 3 << 1 << "img 059.png";
}

void ThumbnailModelTest::firstScreenAtOnce()
{
    QFETCH(bool, scrolledBefore);
    QFETCH(int, sortMode);
    QFETCH(int, sortOrder);
    QFETCH(QString, first);
    QTemporaryDir dir;
    QTemporaryDir before;
    QVERIFY(writeImages(dir.path(), 60) && writeImages(before.path(), 60));
    ThumbnailPanel panel(QStringLiteral("Thumbnails"));
    panel.sortMode = sortMode;
    panel.sortOrder = sortOrder;
    panel.resize(400, 300);
    panel.show();
    QVERIFY(QTest::qWaitForWindowExposed(&panel));
    ThumbnailListView *view = panel.view();
    auto *timer = panel.model()->findChild<QTimer *>(QStringLiteral("creationTimer"));
    QFutureWatcherBase *watcher = panel.model()->findChild<QFutureWatcherBase *>();
    const auto screenShown = [&] {
        const QList<int> rows = view->visibleItems().keys();
        return !rows.isEmpty() && std::all_of(rows.cbegin(), rows.cend(), [&](int row) {
            return showsThumbnail(panel.model(), row);
        });
    };
    if (scrolledBefore) {
        panel.setFolder(before.path());
        QTRY_VERIFY(!timer->isActive() && !panel.model()->isBatchRunning());
        // The second step cancels the batch the first started at once.
        view->verticalScrollBar()->setValue(view->verticalScrollBar()->maximum());
        view->verticalScrollBar()->setValue(view->verticalScrollBar()->maximum() / 2);
        QCoreApplication::processEvents();
        QVERIFY(timer->isActive());
    }

    // Which comes first: a batch that goes on, or the planning timer's timeout.
    QStringList events;
    connect(timer, &QTimer::timeout, this, [&] { events << QStringLiteral("timer"); });
    connect(watcher, &QFutureWatcherBase::started, this, [&] {
        events << (watcher->isCanceled() ? QStringLiteral("cancelled") : QStringLiteral("batch"));
    });
    panel.setFolder(dir.path());
    QCOMPARE(view->model()->index(0, 0).data().toString(), first);
    QTRY_VERIFY(screenShown());
    QTRY_VERIFY(!panel.model()->isBatchRunning());
    const int batch = events.indexOf(QStringLiteral("batch"));
    const int timeout = events.indexOf(QStringLiteral("timer"));
    QVERIFY2(batch >= 0 && (timeout < 0 || batch < timeout), qPrintable(events.join(' ')));
}

void ThumbnailModelTest::thumbnailsWithinBudget_data()
{
    QTest::addColumn<int>("budget"); // in thumbnails
    QTest::newRow("two screens") << 24;
    // The rows on screen stay even so.
    QTest::newRow("less than a screen") << 2;
}

void ThumbnailModelTest::thumbnailsWithinBudget()
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
            count += showsThumbnail(browser.model, row);
        return count;
    };
    const auto allShown = [&](const QList<int> &rows) {
        return std::all_of(rows.cbegin(), rows.cend(),
                           [&](int row) { return showsThumbnail(browser.model, row); });
    };
    QScrollBar *bar = browser.view.verticalScrollBar();
    QList<int> firstScreen;
    for (int value = 0;; value += bar->pageStep()) {
        bar->setValue(qMin(value, bar->maximum()));
        // Planned at once, as once the scrolling stopped.
        browser.model->screenChanged(ThumbnailListModel::Planning::AtOnce);
        const QList<int> screen = browser.view.visibleItems().keys();
        if (firstScreen.isEmpty())
            firstScreen = screen;
        QTRY_VERIFY(allShown(screen) && !browser.model->isBatchRunning());
        QVERIFY2(held() <= qMax(budget, screen.size()),
                 qPrintable(QStringLiteral("%1 held at %2").arg(held()).arg(value)));
        if (value >= bar->maximum())
            break;
    }
    // The first screen's thumbnails were let go; what the tooltip, the status bar and the
    // sorting use of them stays.
    QVERIFY(!allShown(firstScreen));
    for (int row : qAsConst(firstScreen))
        QVERIFY(browser.tip(row).endsWith(QLatin1String("\n40x30")));
    bar->setValue(0);
    browser.model->screenChanged(ThumbnailListModel::Planning::AtOnce);
    QTRY_VERIFY(allShown(firstScreen));
}

Q_IMPORT_PLUGIN(BlindImagePlugin)
VIREON_TEST_MAIN(ThumbnailModelTest)
#include "tst_thumbnailmodel.moc"
