#include "browser/exifdata.h"
#include "browser/thumbnailcache.h"
#include "browser/thumbnaillistmodel.h"
#include "browser/thumbnaillistview.h"
#include "browser/thumbnailmaker.h"
#include "imagefixtures.h"
#include "testmain.h"
#include "testmemory.h"

#include <QBuffer>
#include <QProcess>
#include <QRandomGenerator>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QThreadPool>
#include <QtEndian>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utime.h>

namespace {

QByteArray encoded(const QImage &image, const char *format = "JPG")
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, format, 95);
    return bytes;
}

QImage solid(const QSize &size, const QColor &colour = Qt::blue)
{
    QImage image(size, QImage::Format_RGB32);
    image.fill(colour);
    return image;
}

// A JPEG of a plain blue picture whose Exif block records orientation 1 and, in its second
// directory, a 160 x 120 pattern preview. Offsets in the TIFF block: the link to the second
// directory at 22, its entry count at 26, the compression at 36, the preview's offset at 48
// and length at 60, the preview itself from 68.
QByteArray jpegWithPreview(const QSize &size)
{
    const QByteArray thumb = encoded(ImageFixtures::pattern(QSize(160, 120)));
    QByteArray tiff;
    QDataStream out(&tiff, QIODevice::WriteOnly);
    out.setByteOrder(QDataStream::LittleEndian);
    out.writeRawData("II", 2);
    out << quint16(42) << quint32(8);
    out << quint16(1) << quint16(0x0112) << quint16(3) << quint32(1) << quint32(1) << quint32(26);
    out << quint16(3) << quint16(0x0103) << quint16(3) << quint32(1) << quint32(6);
    out << quint16(0x0201) << quint16(4) << quint32(1) << quint32(68);
    out << quint16(0x0202) << quint16(4) << quint32(1) << quint32(thumb.size()) << quint32(0);
    tiff += thumb;
    const QByteArray main = encoded(solid(size));
    return main.left(2) + ImageFixtures::jpegSegment(0xE1, QByteArray("Exif\0\0", 6) + tiff)
            + main.mid(2);
}

// Where the TIFF block of jpegWithPreview starts: behind the start of image, the marker,
// the length and "Exif\0\0".
constexpr int tiffStart = 12;

QByteArray littleEndian32(quint32 value)
{
    QByteArray bytes(4, Qt::Uninitialized);
    qToLittleEndian(value, bytes.data());
    return bytes;
}

// Points the user's cache at a temporary folder while it lives.
class CacheHome
{
public:
    CacheHome() : previous(qgetenv("XDG_CACHE_HOME"))
    {
        qputenv("XDG_CACHE_HOME", QFile::encodeName(dir.path()));
    }
    ~CacheHome() { qputenv("XDG_CACHE_HOME", previous); }
    QString thumbnails() const { return dir.path() + QStringLiteral("/thumbnails"); }

private:
    QTemporaryDir dir;
    QByteArray previous;
};

ThumbnailCache::Source sourceOf(const QString &path)
{
    return ThumbnailCache().source(path);
}

bool setModified(const QString &path, qint64 seconds)
{
    const struct utimbuf times = { time_t(seconds), time_t(seconds) };
    return ::utime(QFile::encodeName(path).constData(), &times) == 0;
}

int mode(const QString &path)
{
    struct stat status;
    return ::stat(QFile::encodeName(path).constData(), &status) == 0 ? int(status.st_mode & 0777)
                                                                     : -1;
}

} // namespace

class ThumbnailCacheTest : public QObject
{
    Q_OBJECT
private slots:
    void uri_data();
    void uri();
    void validEntries_data();
    void validEntries();
    void writesEntries_data();
    void writesEntries();
    void unwritableCache_data();
    void unwritableCache();
    void failedDecodesWaitForAChange();
    void fileChangedWhileMaking_data();
    void fileChangedWhileMaking();
    void cameraPreviews_data();
    void cameraPreviews();
    void damagedPreviews_data();
    void damagedPreviews();
    void randomlyDamagedExif();
    void cachedRowsComeFirst();
};

void ThumbnailCacheTest::uri_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QByteArray>("uri");
    QTest::addColumn<QString>("md5");
    QTest::newRow("spaces, #, %, non-ASCII")
            << QString::fromUtf8("/home/ana/My Photos/#1 100% Über café.jpg")
            << QByteArray("file:///home/ana/My%20Photos/%231%20100%25%20%C3%9Cber%20caf%C3%A9.jpg")
            << "cb4d3c88fab9f8ccd98704ab47bb519e";
    QTest::newRow("brackets kept") << "/tmp/plain(1).jpg" << QByteArray("file:///tmp/plain(1).jpg")
                                   << "bf054cff4b20f72b04c3ae4a8dbea220";
}

void ThumbnailCacheTest::uri()
{
    QFETCH(QString, path);
    QFETCH(QByteArray, uri);
    QFETCH(QString, md5);
    QCOMPARE(ThumbnailCache::uri(path), uri);
    QCOMPARE(ThumbnailCache::entryName(uri), md5 + QStringLiteral(".png"));
}

void ThumbnailCacheTest::validEntries_data()
{
    QTest::addColumn<QString>("folder");
    QTest::addColumn<QSize>("entrySize");
    QTest::addColumn<QString>("change"); // of the entry's keys or time
    QTest::addColumn<bool>("used");
    QTest::newRow("normal") << "normal" << QSize(128, 96) << "" << true;
    QTest::newRow("large") << "large" << QSize(256, 192) << "" << true;
    QTest::newRow("no size and dimensions recorded")
            << "normal" << QSize(128, 96) << "bare" << true;
    QTest::newRow("other URI") << "normal" << QSize(128, 96) << "uri" << false;
    QTest::newRow("other MTime") << "normal" << QSize(128, 96) << "mtime" << false;
    QTest::newRow("other Size") << "normal" << QSize(128, 96) << "size" << false;
    QTest::newRow("written before the file changed")
            << "normal" << QSize(128, 96) << "older" << false;
    QTest::newRow("smaller than the thumbnail") << "normal" << QSize(32, 24) << "" << false;
    // Planted by someone else: neither may cost the memory or the thread that reads it.
    QTest::newRow("larger than any cache size") << "large" << QSize(1600, 1200) << "" << false;
    QTest::newRow("a pipe") << "normal" << QSize(128, 96) << "fifo" << false;
    QTest::newRow("a text chunk claiming 512 MiB")
            << "normal" << QSize(128, 96) << "chunk" << false;
}

void ThumbnailCacheTest::validEntries()
{
    QFETCH(QString, folder);
    QFETCH(QSize, entrySize);
    QFETCH(QString, change);
    QFETCH(bool, used);
    CacheHome home;
    QTemporaryDir dir;
    const QString path = dir.filePath(QString::fromUtf8("My Photos #1 100% Über.jpg"));
    QVERIFY(ImageFixtures::writeImage(path, QSize(400, 300)));
    const ThumbnailCache::Source source = sourceOf(path);
    QVERIFY(source.isValid());
    QCOMPARE(source.uri, ThumbnailCache::uri(QFileInfo(path).canonicalFilePath()));
    const QString entry
            = home.thumbnails() + QLatin1Char('/') + folder + QLatin1Char('/') + source.name;
    // As another program might have written it; a null value leaves a key out.
    QImage image = solid(entrySize);
    const bool bare = change == QLatin1String("bare");
    const QString keys[][2] = {
        { "Thumb::URI", change == "uri" ? "file:///elsewhere.jpg" : QString::fromUtf8(source.uri) },
        { "Thumb::MTime", QString::number(source.modified + (change == "mtime")) },
        { "Thumb::Size", bare ? QString() : QString::number(source.size + (change == "size")) },
        { "Thumb::Image::Width", bare ? QString() : "400" },
        { "Thumb::Image::Height", bare ? QString() : "300" }
    };
    for (const auto &key : keys) {
        if (!key[1].isNull())
            image.setText(key[0], key[1]);
    }
    QVERIFY(QDir().mkpath(QFileInfo(entry).path()) && image.save(entry, "PNG"));
    if (change == QLatin1String("fifo"))
        QVERIFY(QFile::remove(entry) && ::mkfifo(QFile::encodeName(entry).constData(), 0600) == 0);
    if (change == QLatin1String("older")) {
        const qint64 now = QFileInfo(path).lastModified().toSecsSinceEpoch();
        QVERIFY(setModified(entry, now - 5));
    }
    if (change == QLatin1String("chunk")) {
        // Right after the header, where the decoder meets it while learning the size.
        QFile file(entry);
        QVERIFY(file.open(QIODevice::ReadWrite));
        QByteArray bytes = file.readAll();
        bytes.insert(33, QByteArray::fromHex("20000000") + "tEXt" + "Comment");
        QVERIFY(file.seek(0) && file.write(bytes) == bytes.size());
    }

    const qint64 peak = peakAddressSpace();
    const ThumbnailInfo info = ThumbnailMaker::make(path);
    QVERIFY2(peakAddressSpace() - peak < (qint64(64) << 20), "what the entry claims is allocated");
    QCOMPARE(info.imageSize, QSize(400, 300));
    QCOMPARE(info.image.size(), QSize(96, 72));
    // The entry's blue shows that the file was not decoded; the pattern that it was.
    QCOMPARE(info.image.pixelColor(48, 36) == QColor(Qt::blue), used);
    if (used)
        return;
    // Ignored entries are replaced by a valid one.
    const QImage written(home.thumbnails() + QStringLiteral("/normal/") + source.name);
    QCOMPARE(written.size(), QSize(128, 96));
    QCOMPARE(written.text("Thumb::URI").toUtf8(), source.uri);
    QCOMPARE(written.text("Thumb::MTime").toLongLong(), source.modified);
    QCOMPARE(written.text("Thumb::Size").toLongLong(), source.size);
    QCOMPARE(ThumbnailMaker::make(path).image, info.image);
}

void ThumbnailCacheTest::writesEntries_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QSize>("entrySize"); // invalid: no entry
    QTest::addColumn<QString>("mimeType");
    QTest::newRow("turned photo") << ImageFixtures::jpegWithOrientation(QSize(800, 600), 6)
                                  << QSize(96, 128) << "image/jpeg";
    QTest::newRow("wide png") << encoded(ImageFixtures::pattern(QSize(800, 100)), "PNG")
                              << QSize(128, 16) << "image/png";
    QTest::newRow("small picture") << encoded(solid(QSize(120, 90))) << QSize() << "";
    // Another program's picture of the cache, shown from inside it.
    QTest::newRow("inside the cache") << encoded(solid(QSize(400, 300))) << QSize() << "inside";
}

void ThumbnailCacheTest::writesEntries()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QSize, entrySize);
    QFETCH(QString, mimeType);
    CacheHome home;
    QTemporaryDir dir;
    const QString normal = home.thumbnails() + QStringLiteral("/normal");
    const bool inside = mimeType == QLatin1String("inside");
    QVERIFY(QDir().mkpath(inside ? normal + QStringLiteral("/shown") : dir.path()));
    const QString path = (inside ? normal + QStringLiteral("/shown") : dir.path())
            + QStringLiteral("/picture");
    QVERIFY(ImageFixtures::writeFile(path, bytes));
    const ThumbnailCache::Source source = sourceOf(path);

    const ThumbnailInfo made = ThumbnailMaker::make(path);
    QVERIFY(!made.image.isNull());
    const QStringList entries = QDir(normal).entryList(QDir::Files | QDir::Hidden);
    if (!entrySize.isValid()) {
        QCOMPARE(entries, QStringList());
        return;
    }
    // Written whole under its final name, nothing left beside it.
    QCOMPARE(entries, QStringList { source.name });
    const QImage entry(normal + QLatin1Char('/') + source.name);
    QCOMPARE(entry.size(), entrySize);
    QCOMPARE(entry.text("Thumb::URI").toUtf8(), source.uri);
    QCOMPARE(entry.text("Thumb::MTime"), QString::number(source.modified));
    QCOMPARE(entry.text("Thumb::Size"), QString::number(QFileInfo(path).size()));
    QCOMPARE(QSize(entry.text("Thumb::Image::Width").toInt(),
                   entry.text("Thumb::Image::Height").toInt()),
             made.imageSize);
    QCOMPARE(entry.text("Thumb::Mimetype"), mimeType);
    QVERIFY(!entry.text("Software").isEmpty());
    QCOMPARE(mode(home.thumbnails()), 0700);
    QCOMPARE(mode(normal), 0700);
    QCOMPARE(mode(normal + QLatin1Char('/') + source.name), 0600);
    // The entry gives exactly the thumbnail the first visit showed.
    const ThumbnailInfo again = ThumbnailMaker::make(path);
    QCOMPARE(again.imageSize, made.imageSize);
    QCOMPARE(again.image, made.image);
}

void ThumbnailCacheTest::unwritableCache_data()
{
    QTest::addColumn<bool>("readOnly"); // else a file stands where a folder should
    QTest::newRow("read-only folder") << true;
    QTest::newRow("file in the way") << false;
}

void ThumbnailCacheTest::unwritableCache()
{
    QFETCH(bool, readOnly);
    CacheHome home;
    QVERIFY(QDir().mkpath(home.thumbnails()));
    if (readOnly)
        QVERIFY(QFile::setPermissions(home.thumbnails(), QFile::ReadOwner | QFile::ExeOwner));
    else
        QVERIFY(ImageFixtures::writeFile(home.thumbnails() + QStringLiteral("/normal"), "x"));
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("photo.jpg"));
    QVERIFY(ImageFixtures::writeImage(path, QSize(400, 300)));

    const ThumbnailInfo info = ThumbnailMaker::make(path);
    QFile::setPermissions(home.thumbnails(),
                          QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    QCOMPARE(info.imageSize, QSize(400, 300));
    QCOMPARE(ImageFixtures::corners(info.image), QStringLiteral("abcd"));
    // Permissions do not hold back the superuser.
    if (!readOnly || ::geteuid() != 0)
        QVERIFY(!QFileInfo::exists(home.thumbnails() + QStringLiteral("/normal/")
                                   + sourceOf(path).name));
}

void ThumbnailCacheTest::failedDecodesWaitForAChange()
{
    CacheHome home;
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("photo.jpg"));
    const QByteArray good = ImageFixtures::jpegWithOrientation(QSize(300, 200), 1);
    QVERIFY(ImageFixtures::writeFile(path, QByteArray(good.size(), 'x')));
    const qint64 modified = QFileInfo(path).lastModified().toSecsSinceEpoch() - 10;
    QVERIFY(setModified(path, modified));

    QTest::ignoreMessage(QtDebugMsg, QRegularExpression("----------- error .*photo.jpg"));
    QCOMPARE(ThumbnailMaker::make(path).imageSize, QSize(0, 0));
    const ThumbnailCache::Source source = sourceOf(path);
    const QImage mark(ThumbnailCache().failPath(source));
    QCOMPARE(mark.text("Thumb::URI").toUtf8(), source.uri);
    QCOMPARE(mark.text("Thumb::MTime").toLongLong(), modified);
    QCOMPARE(ThumbnailCache().failPath(source),
             home.thumbnails() + QStringLiteral("/fail/vireon-3.0/") + source.name);

    // A decodable file that looks as before (name, time, size) is not tried again...
    QVERIFY(ImageFixtures::writeFile(path, good));
    QVERIFY(setModified(path, modified));
    QTest::ignoreMessage(QtDebugMsg, QRegularExpression("----------- error .*photo.jpg"));
    QCOMPARE(ThumbnailMaker::make(path).imageSize, QSize(0, 0));
    // ...until it changes.
    QVERIFY(setModified(path, modified + 5));
    QCOMPARE(ThumbnailMaker::make(path).imageSize, QSize(300, 200));
}

void ThumbnailCacheTest::fileChangedWhileMaking_data()
{
    QTest::addColumn<bool>("failed"); // else decoded from the file as it was
    QTest::newRow("thumbnail") << false;
    // Met empty or half written.
    QTest::newRow("failure") << true;
}

void ThumbnailCacheTest::fileChangedWhileMaking()
{
    QFETCH(bool, failed);
    CacheHome home;
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("photo.bmp"));
    QVERIFY(solid(QSize(400, 300), Qt::blue).save(path));
    const qint64 second = QFileInfo(path).lastModified().toSecsSinceEpoch() - 10;
    QVERIFY(setModified(path, second));
    const ThumbnailCache cache;
    const ThumbnailCache::Source source = cache.source(path);

    // Rewritten while the thumbnail is made, within the second and to the same size.
    QVERIFY(solid(QSize(400, 300), Qt::red).save(path));
    const struct timespec times[2]
            = { { time_t(second), 500000000 }, { time_t(second), 500000000 } };
    QVERIFY(::utimensat(AT_FDCWD, QFile::encodeName(path).constData(), times, 0) == 0);
    QCOMPARE(QFileInfo(path).size(), source.size);
    // As the maker stores what it made of the file as it was.
    if (failed)
        cache.storeFailure(source);
    else
        cache.store(source, solid(QSize(128, 96), Qt::blue), QSize(400, 300),
                    QStringLiteral("image/bmp"));

    const ThumbnailInfo info = ThumbnailMaker::make(path);
    QCOMPARE(info.imageSize, QSize(400, 300));
    QCOMPARE(info.image.pixelColor(48, 36), QColor(Qt::red));
}

void ThumbnailCacheTest::cameraPreviews_data()
{
    QTest::addColumn<QSize>("size");
    QTest::addColumn<QSize>("previewSize");
    QTest::addColumn<int>("orientation");
    QTest::addColumn<QString>("corners"); // aaaa: the photo was decoded instead
    QTest::addColumn<QSize>("imageSize");
    QTest::newRow("upright") << QSize(1600, 1200) << QSize(160, 120) << 1 << "abcd"
                             << QSize(1600, 1200);
    QTest::newRow("upside down") << QSize(1600, 1200) << QSize(160, 120) << 3 << "dcba"
                                 << QSize(1600, 1200);
    QTest::newRow("turned right") << QSize(1600, 1200) << QSize(160, 120) << 6 << "cadb"
                                  << QSize(1200, 1600);
    QTest::newRow("turned left") << QSize(1600, 1200) << QSize(160, 120) << 8 << "bdac"
                                 << QSize(1200, 1600);
    QTest::newRow("aspect within 2 %")
            << QSize(1600, 1190) << QSize(160, 120) << 1 << "abcd" << QSize(1600, 1190);
    QTest::newRow("letterboxed") << QSize(1600, 900) << QSize(160, 120) << 1 << "aaaa"
                                 << QSize(1600, 900);
    QTest::newRow("too small") << QSize(1600, 1200) << QSize(64, 48) << 6 << "aaaa"
                               << QSize(1200, 1600);
}

void ThumbnailCacheTest::cameraPreviews()
{
    QFETCH(QSize, size);
    QFETCH(QSize, previewSize);
    QFETCH(int, orientation);
    QFETCH(QString, corners);
    QFETCH(QSize, imageSize);
    const QString exiftool = QStandardPaths::findExecutable(QStringLiteral("exiftool"));
    if (exiftool.isEmpty())
        QSKIP("exiftool (libimage-exiftool-perl) is not installed");
    CacheHome home;
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("IMG_0001.JPG"));
    const QString thumb = dir.filePath(QStringLiteral("thumb.jpg"));
    QVERIFY(solid(size).save(path, "JPG", 90));
    QVERIFY(ImageFixtures::pattern(previewSize).save(thumb, "JPG", 95));
    QProcess tool;
    tool.start(exiftool,
               { QStringLiteral("-q"), QStringLiteral("-overwrite_original"),
                 QStringLiteral("-ThumbnailImage<=") + thumb,
                 QStringLiteral("-Orientation#=%1").arg(orientation), path });
    QVERIFY(tool.waitForFinished(60000) && tool.exitCode() == 0);

    const ThumbnailInfo info = ThumbnailMaker::make(path);
    QCOMPARE(info.imageSize, imageSize);
    QCOMPARE(info.image.size(), ThumbnailMaker::fittedSize(imageSize));
    QCOMPARE(ImageFixtures::corners(info.image), corners);
}

void ThumbnailCacheTest::damagedPreviews_data()
{
    QTest::addColumn<int>("position"); // in the TIFF block
    QTest::addColumn<QByteArray>("bytes"); // written there
    QTest::addColumn<bool>("usable");
    QTest::newRow("intact") << 0 << QByteArray("II") << true;
    QTest::newRow("next directory outside") << 22 << littleEndian32(0x7FFFFFF0) << false;
    QTest::newRow("next directory at 4 GiB") << 22 << littleEndian32(0xFFFFFFFF) << false;
    QTest::newRow("more entries than the block holds") << 26 << QByteArray("\xFF\xFF") << false;
    QTest::newRow("offset past the block") << 48 << littleEndian32(40000) << false;
    QTest::newRow("offset at 4 GiB") << 48 << littleEndian32(0xFFFFFFF0) << false;
    QTest::newRow("offset inside the header") << 48 << littleEndian32(0) << false;
    QTest::newRow("offset at no JPEG") << 48 << littleEndian32(8) << false;
    QTest::newRow("length past the block") << 60 << littleEndian32(30000) << false;
    QTest::newRow("length of 4 GiB") << 60 << littleEndian32(0xFFFFFFFF) << false;
    QTest::newRow("not compressed") << 36 << littleEndian32(1) << false;
    QTest::newRow("preview data wiped") << 80 << QByteArray(2000, '\0') << false;
}

void ThumbnailCacheTest::damagedPreviews()
{
    QFETCH(int, position);
    QFETCH(QByteArray, bytes);
    QFETCH(bool, usable);
    QByteArray file = jpegWithPreview(QSize(400, 300));
    file.replace(tiffStart + position, bytes.size(), bytes);
    const ExifData exif = ExifData::read(file);
    QCOMPARE(exif.orientation, 1);
    if (exif.hasPreview())
        QVERIFY(exif.previewOffset + exif.previewLength <= file.size());

    CacheHome home;
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("photo.jpg"));
    QVERIFY(ImageFixtures::writeFile(path, file));
    const ThumbnailInfo info = ThumbnailMaker::make(path);
    QCOMPARE(info.imageSize, QSize(400, 300));
    QCOMPARE(ImageFixtures::corners(info.image), QLatin1String(usable ? "abcd" : "aaaa"));
}

void ThumbnailCacheTest::randomlyDamagedExif()
{
    const QByteArray intact = jpegWithPreview(QSize(64, 48));
    const int segmentEnd = tiffStart + 68 + 200;
    QRandomGenerator random(20261206);
    for (int round = 0; round < 2000; ++round) {
        QByteArray file = intact;
        for (int flips = 1 + random.bounded(6); flips > 0; --flips)
            file[2 + random.bounded(segmentEnd)] = char(random.bounded(256));
        if (round % 4 == 0)
            file.truncate(random.bounded(segmentEnd + 4));
        const ExifData exif = ExifData::read(file);
        QVERIFY(exif.orientation >= 1 && exif.orientation <= 8);
        if (exif.hasPreview())
            QVERIFY2(exif.previewOffset >= tiffStart
                             && exif.previewOffset + exif.previewLength <= file.size(),
                     qPrintable(QString::number(round)));
    }
}

void ThumbnailCacheTest::cachedRowsComeFirst()
{
    CacheHome home;
    QTemporaryDir dir;
    for (int i = 0; i < 6; ++i)
        QVERIFY(ImageFixtures::writeImage(dir.filePath(QStringLiteral("%1.png").arg(i)),
                                          QSize(200, 150)));
    for (int i : { 3, 5 }) {
        const QString path = dir.filePath(QStringLiteral("%1.png").arg(i));
        QVERIFY(ThumbnailCache().store(sourceOf(path), solid(QSize(128, 96)), QSize(200, 150),
                                       QString()));
    }
    // One worker makes the thumbnails in the order of the batch.
    const int threads = QThreadPool::globalInstance()->maxThreadCount();
    QThreadPool::globalInstance()->setMaxThreadCount(1);
    ThumbnailListView view;
    auto *model = new ThumbnailListModel(&view);
    view.setModel(model);
    view.resize(700, 400);
    view.show();
    QVERIFY(QTest::qWaitForWindowExposed(&view));
    QList<int> order;
    connect(model, &QAbstractItemModel::dataChanged, this,
            [&](const QModelIndex &index) { order << index.row(); });
    model->setFolder(dir.path());
    QTRY_COMPARE(order.size(), 6);
    QThreadPool::globalInstance()->setMaxThreadCount(threads);
    QCOMPARE(order, (QList<int> { 3, 5, 0, 1, 2, 4 }));
    view.setModel(nullptr);
}

VIREON_TEST_MAIN(ThumbnailCacheTest)
#include "tst_thumbnailcache.moc"
