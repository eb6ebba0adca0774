#include "app/mainwindow.h"
#include "blindimageformat.h"
#include "browser/imagefile.h"
#include "document/mdichild.h"
#include "framework/lvcombobox.h"
#include "framework/lvtool.h"
#include "framework/lvtoolwatcher.h"
#include "imagefixtures.h"
#include "modalanswerer.h"
#include "scene/cutimagecommand.h"
#include "scene/modifyimagecommand.h"
#include "scene/pageitem.h"
#include "scene/scene.h"
#include "scene/vrimageitem.h"
#include "testmain.h"
#include "testmemory.h"

#include <QBuffer>
#include <QColorSpace>
#include <QComboBox>
#include <QImageReader>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPainter>
#include <QProcess>
#include <QRandomGenerator>
#include <QScopeGuard>
#include <QStandardPaths>
#include <QUndoStack>

#include <csignal>
#include <optional>
#include <sys/prctl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

class TestWindow : public MainWindow
{
public:
    TestWindow() : MainWindow(true) {}
    using LVMainWindow::mdiArea;
    using LVMainWindow::zoomBox;
    using MainWindow::loadWatcher;

    LVMdiChild *newDocument()
    {
        LVMdiChild *doc = createMdiChild();
        doc->newFile();
        doc->showMaximized();
        return doc;
    }

    // Loads and waits until the result has been handled.
    bool loadAndWait(const QString &file, bool newWindow = true)
    {
        QSignalSpy finished(loadWatcher.get(), &QFutureWatcherBase::finished);
        const bool ok = loadImage(file, newWindow);
        if (loadWatcher->isRunning() || !loadWatcher->isFinished())
            finished.wait(30000);
        QCoreApplication::processEvents();
        return ok;
    }
    QList<MdiChild *> documents() const
    {
        QList<MdiChild *> result;
        for (QMdiSubWindow *window : mdiArea->subWindowList())
            result << qobject_cast<MdiChild *>(window->widget());
        return result;
    }
};

// A tool that paints a red frame over the scene, as a crop rectangle does.
class OverlayTool : public LVTool
{
public:
    using LVTool::LVTool;
    int id() const override { return 7; }
    QString title() const override { return QStringLiteral("Overlay"); }
    void drawForeground(QPainter *painter, const QRectF &) override
    {
        painter->fillRect(QRectF(2, 2, 10, 10), Qt::red);
    }
};

// A tool whose settings differ per document.
class StateTool : public LVTool
{
public:
    using LVTool::LVTool;
    int id() const override { return 9; }
    QString title() const override { return QStringLiteral("State"); }
    LVTool *saveState() override
    {
        auto *state = new StateTool(nullptr);
        state->value = value;
        return state;
    }
    void restoreState(LVTool *state) override
    {
        value = state ? static_cast<StateTool *>(state)->value : -1;
    }
    int value = 0;
};

VRImageItem *imageOf(MdiChild *doc)
{
    const auto objects = doc->lvScene()->currentPage()->objects();
    return objects.isEmpty() ? nullptr : dynamic_cast<VRImageItem *>(objects.first());
}

// One undoable edit: the top left corner cut out.
void cutCorner(MdiChild *doc)
{
    doc->undoStack()->push(
            new ModifyImageCommand(doc->lvScene()->currentPage(), imageOf(doc),
                                   std::make_shared<CutImageCommand>(QRectF(0, 0, 5, 5))));
}

QByteArray contents(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Formats Qt reads and cannot write.
const QByteArray gifBytes
        = QByteArray::fromBase64("R0lGODlhAQABAIAAAP///wAAACH5BAEAAAAALAAAAAABAAEAAAICRAEAOw==");
const QByteArray svgBytes = "<svg xmlns='http://www.w3.org/2000/svg' width='40' height='30'>"
                            "<rect width='40' height='30' fill='blue'/></svg>";

// While it lives, the process acts as an ordinary user, so that file permissions hold
// in a test run as root too.
class OrdinaryUser
{
public:
    OrdinaryUser() : switched(::geteuid() == 0 && ::seteuid(65534) == 0) {}
    ~OrdinaryUser()
    {
        if (switched && ::seteuid(0) == 0)
            ::prctl(PR_SET_DUMPABLE, 1);
    }

private:
    const bool switched;
};

// While it lives, no file of the process may grow beyond limit bytes, as on a full disk.
class FileSizeLimit
{
public:
    explicit FileSizeLimit(rlim_t limit) : handler(::signal(SIGXFSZ, SIG_IGN))
    {
        ::getrlimit(RLIMIT_FSIZE, &previous);
        rlimit low = previous;
        low.rlim_cur = limit;
        ::setrlimit(RLIMIT_FSIZE, &low);
    }
    ~FileSizeLimit()
    {
        ::setrlimit(RLIMIT_FSIZE, &previous);
        ::signal(SIGXFSZ, handler);
    }

private:
    rlimit previous {};
    const sighandler_t handler;
};

// Runs exiftool, the independent reader and writer of photo metadata.
bool exiftool(const QStringList &arguments, QByteArray *output = nullptr)
{
    const QString program = QStandardPaths::findExecutable(QStringLiteral("exiftool"));
    if (program.isEmpty())
        qWarning("exiftool is missing: run scripts/install-deps");
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForFinished(60000) || process.exitStatus() != QProcess::NormalExit
        || process.exitCode() != 0)
        return false;
    if (output)
        *output = process.readAllStandardOutput();
    return true;
}

// Every tag exiftool finds, by group and name ("IFD0:Make"), as numbers where they are.
QVariantMap photoTags(const QString &path)
{
    QByteArray json;
    exiftool({ "-j", "-n", "-G1", "-all", "-JPEGQualityEstimate", path }, &json);
    return QJsonDocument::fromJson(json).array().first().toObject().toVariantMap();
}

enum PhotoCase {
    SavedAs,
    SavedOverItself,
    SavedAsPngFirst,
    PngSource,
    PngTarget,
    DamagedExif,
    SourceRemoved,
    SourceIsPipe
};
enum SaveFault { GifFile, SvgFile, ReadOnlyFolder, LinkToDevFull, DiskFullWriting, DiskFullFlush };
enum SaveEntry { SaveAction, SaveQuestion, SaveAsDialog };
enum Meanwhile { NothingHappens, AskerClosed, AskerClosedInNestedLoop, AskerEdited };
enum NextRequest { AnotherFile, UnsupportedSuffix, QuestionCancelled };

} // namespace

class DocumentTest : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void fitting_data();
    void fitting();
    void modifiedMarkFollowsTheStack();
    void arrowKeyMarksTheDocument();
    void closeAsks_data();
    void closeAsks();
    void orientation_data();
    void orientation();
    void orientationNeverReadsOutside_data();
    void orientationNeverReadsOutside();
    void memoryStaysBounded_data();
    void memoryStaysBounded();
    void loading_data();
    void loading();
    void onlyTheNewestLoadArrives_data();
    void onlyTheNewestLoadArrives();
    void loadGoesToTheAskingDocument_data();
    void loadGoesToTheAskingDocument();
    void alreadyShownFileIsActivated();
    void reuseActiveDocument();
    void savingWritesThePage();
    void savingToUnknownFormatFails();
    void failedSaveKeepsTheFile_data();
    void failedSaveKeepsTheFile();
    void readOnlyFormatIsSavedAsPng_data();
    void readOnlyFormatIsSavedAsPng();
    void savingLeavesOverlaysOut();
    void openEditSaveEndToEnd();
    void toolStateFollowsTheFocus();
    void photoSaving_data();
    void photoSaving();

private:
    QString writeImage(const QString &name, const QSize &size);
    QString writePhoto(const QString &name);
    std::unique_ptr<TestWindow> window;
    std::unique_ptr<QTemporaryDir> dir;
};

void DocumentTest::init()
{
    TestEnvironment::clearSettings();
    dir = std::make_unique<QTemporaryDir>();
    window = std::make_unique<TestWindow>();
    window->resize(1000, 800);
    window->show();
    QApplication::setActiveWindow(window.get());
}

void DocumentTest::cleanup()
{
    // An answerer left waiting by a failed test must not answer the next test's dialogs.
    qDeleteAll(qApp->findChildren<ModalAnswerer *>(QString(), Qt::FindDirectChildrenOnly));
    for (MdiChild *doc : window->documents())
        doc->undoStack()->clear();
    window.reset();
}

QString DocumentTest::writeImage(const QString &name, const QSize &size)
{
    const QString path = dir->filePath(name);
    if (!ImageFixtures::pattern(size, QImage::Format_RGB32).save(path, "PNG"))
        return QString();
    return path;
}

void DocumentTest::fitting_data()
{
    QTest::addColumn<int>("widthLess");
    QTest::addColumn<bool>("fitted");
    QTest::newRow("fits with its margin") << 40 << false;
    QTest::newRow("ten pixels narrower than the view") << 10 << true;
    QTest::newRow("twice as wide") << -1 << true;
}

void DocumentTest::fitting()
{
    QFETCH(int, widthLess);
    QFETCH(bool, fitted);
    auto *doc = static_cast<MdiChild *>(window->newDocument());
    const QSize viewport = doc->viewport()->size();
    const int width = widthLess < 0 ? 2 * viewport.width() : viewport.width() - widthLess;
    const QImage image = ImageFixtures::pattern(QSize(width, viewport.height() / 2));
    doc->insertImage(image);
    doc->setImage(image);

    const double scale = doc->transform().m11();
    QCOMPARE(doc->lvScene()->currentPage()->rect, QRect(QPoint(), image.size()));
    QCOMPARE(scale < 1.0, fitted);
    // The margin of 20 around the page is fitted too, and the percentage is truncated.
    if (fitted)
        QVERIFY(qAbs(scale - viewport.width() / double(width + 40)) < 0.01);
    QCOMPARE(window->zoomBox->currentText(), QStringLiteral("%1 %").arg(int(scale * 100)));
    QCOMPARE(doc->transform().m22(), scale);
}

void DocumentTest::modifiedMarkFollowsTheStack()
{
    const QString file = writeImage(QStringLiteral("mark.png"), QSize(30, 20));
    QVERIFY(window->loadAndWait(file));
    MdiChild *doc = window->documents().value(0);
    QVERIFY(doc);
    QCOMPARE(doc->windowTitle(), QStringLiteral("mark.png"));
    QVERIFY(!doc->isWindowModified());
    QCOMPARE(doc->undoStack()->count(), 0);

    cutCorner(doc);
    QCOMPARE(doc->windowTitle(), QStringLiteral("mark.png[*]"));
    QVERIFY(doc->isWindowModified());
    doc->undoStack()->undo();
    QCOMPARE(doc->windowTitle(), QStringLiteral("mark.png"));
    QVERIFY(!doc->isWindowModified());
    // Nothing to ask when every edit is undone.
    QVERIFY(doc->maybeSave());
}

void DocumentTest::arrowKeyMarksTheDocument()
{
    const QString file = writeImage(QStringLiteral("nudge.png"), QSize(40, 30));
    QVERIFY(window->loadAndWait(file));
    MdiChild *doc = window->documents().value(0);
    QVERIFY(doc);
    VRImageItem *image = imageOf(doc);
    QVERIFY(image);
    const QPoint inside = doc->mapFromScene(image->mapToScene(QPointF(20, 15)));
    QTest::mouseClick(doc->viewport(), Qt::LeftButton, Qt::NoModifier, inside);
    QVERIFY(image->isSelected());

    QTest::keyClick(doc, Qt::Key_Right);
    QCOMPARE(image->pos(), QPointF(10, 0));
    QVERIFY(doc->isWindowModified());
    doc->undoStack()->undo();
    QCOMPARE(image->pos(), QPointF(0, 0));
    QVERIFY(!doc->isWindowModified());
}

void DocumentTest::closeAsks_data()
{
    QTest::addColumn<int>("answer");
    QTest::addColumn<bool>("closes");
    QTest::addColumn<bool>("saved");
    QTest::newRow("save") << int(QMessageBox::Save) << true << true;
    QTest::newRow("discard") << int(QMessageBox::Discard) << true << false;
    QTest::newRow("cancel") << int(QMessageBox::Cancel) << false << false;
}

void DocumentTest::closeAsks()
{
    QFETCH(int, answer);
    QFETCH(bool, closes);
    QFETCH(bool, saved);
    const QString file = writeImage(QStringLiteral("ask.png"), QSize(30, 20));
    QVERIFY(window->loadAndWait(file));
    MdiChild *doc = window->documents().value(0);
    cutCorner(doc);

    ModalAnswerer *answerer = ModalAnswerer::messageBox(QMessageBox::StandardButton(answer));
    doc->subWindow->close();
    QVERIFY(answerer->answered());
    QCOMPARE(answerer->text(),
             QStringLiteral("'ask.png' has been modified.\nDo you want to save your changes?"));
    QTRY_COMPARE(window->documents().size(), closes ? 0 : 1);
    QCOMPARE(QImage(file).pixelColor(1, 1) == QColor(Qt::white), saved);
}

// A 48 x 32 camera photo to be turned upright (orientation 6), with the metadata a camera
// and a photo manager write: maker, date, place, sizes, preview, XMP, colour profile.
QString DocumentTest::writePhoto(const QString &name)
{
    const QString path = dir->filePath(name);
    const QString preview = dir->filePath(QStringLiteral("preview.jpg"));
    const QString profile = dir->filePath(QStringLiteral("profile.icc"));
    const bool written = ImageFixtures::pattern(QSize(48, 32)).save(path, "JPEG", 95)
            && ImageFixtures::pattern(QSize(24, 16)).save(preview, "JPEG")
            && ImageFixtures::writeFile(profile, QColorSpace(QColorSpace::SRgb).iccProfile())
            && exiftool({ "-n", "-Make=Kestrel", "-DateTimeOriginal=2024:05:17 10:20:30",
                          "-GPSLatitude=48.8583", "-GPSLatitudeRef=N", "-GPSLongitude=2.2945",
                          "-GPSLongitudeRef=E", "-Orientation=6", "-ExifImageWidth=48",
                          "-ExifImageHeight=32", "-XMP-tiff:Orientation=6",
                          "-XMP-dc:Creator=Ada Field", "-ThumbnailImage<=" + preview,
                          "-ICC_Profile<=" + profile, "-overwrite_original", path });
    return written ? path : QString();
}

void DocumentTest::orientation_data()
{
    QTest::addColumn<int>("tag");
    QTest::addColumn<QString>("writer");
    QTest::addColumn<QString>("corners");
    // Where each corner of the stored picture shows once it is upright, for the eight
    // orientations: plain, mirrored, upside down, flipped, and the four that swap sides.
    const char *shown[] = { "abcd", "badc", "dcba", "cdab", "acbd", "cadb", "dbca", "bdac" };
    for (int tag = 1; tag <= 8; ++tag) {
        for (const char *writer :
             { "big-endian", "little-endian", "behind a profile", "behind XMP", "exiftool" })
            QTest::addRow("%d %s", tag, writer) << tag << writer << shown[tag - 1];
    }
}

void DocumentTest::orientation()
{
    QFETCH(int, tag);
    QFETCH(QString, writer);
    QFETCH(QString, corners);
    const QSize size(48, 32);
    QByteArray leading;
    if (writer == QLatin1String("behind a profile") || writer == QLatin1String("exiftool"))
        leading = ImageFixtures::iccProfileSegment();
    else if (writer == QLatin1String("behind XMP"))
        leading = ImageFixtures::jpegSegment(
                0xE1,
                QByteArray("http://ns.adobe.com/xap/1.0/\0<x:xmpmeta xmlns:x='adobe:ns:meta/'/>"));
    const QString path = dir->filePath(QStringLiteral("turned.jpg"));
    QVERIFY(ImageFixtures::writeFile(
            path,
            ImageFixtures::jpegWithOrientation(size, writer == QLatin1String("exiftool") ? 1 : tag,
                                               writer != QLatin1String("little-endian"), leading)));
    if (writer == QLatin1String("exiftool")) {
        // An independent writer rewrites the Exif block where it stands, behind the profile.
        const QString exiftool = QStandardPaths::findExecutable(QStringLiteral("exiftool"));
        QVERIFY2(!exiftool.isEmpty(), "exiftool is missing: run scripts/install-deps");
        QProcess process;
        process.start(exiftool,
                      { QStringLiteral("-n"), QStringLiteral("-Orientation=%1").arg(tag),
                        QStringLiteral("-overwrite_original"), path });
        QVERIFY(process.waitForFinished(60000));
        QCOMPARE(process.exitCode(), 0);
    }
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray jpeg = file.readAll();
    if (!leading.isEmpty())
        QVERIFY(jpeg.indexOf(leading.mid(4, 8)) < jpeg.indexOf(QByteArray("Exif\0\0", 6)));
    QCOMPARE(imageOrientation(jpeg), tag);

    // The loader shows the picture upright.
    const ImageInfo info = loadImageFile({path, true});
    QCOMPARE(info.image.size(), tag >= 5 ? size.transposed() : size);
    QCOMPARE(ImageFixtures::corners(info.image), corners);
}

void DocumentTest::orientationNeverReadsOutside_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<int>("orientation");
    // Little-endian orientation 6 behind a colour profile, far enough into the file for
    // every read to be reached.
    const QByteArray jpeg = ImageFixtures::jpegWithOrientation(QSize(16, 8), 6, false,
                                                               ImageFixtures::iccProfileSegment());
    const int exif = jpeg.indexOf(QByteArray("Exif\0\0", 6));
    const int tiff = exif + 6;
    const auto changed = [&](int pos, const QByteArray &bytes) {
        return QByteArray(jpeg).replace(pos, bytes.size(), bytes);
    };
    QTest::newRow("whole") << jpeg << 6;
    QTest::newRow("directory far outside")
            << changed(tiff + 4, QByteArray("\xF0\x00\x00\x7F", 4)) << 1;
    QTest::newRow("directory at the largest offset") << changed(tiff + 4, "\xFF\xFF\xFF\xFF") << 1;
    QTest::newRow("entry count running past the end, no orientation")
            << changed(tiff + 8, "\xFF\xFF\x13\x01") << 1;
    QTest::newRow("orientation stored as LONG") << changed(tiff + 12, "\x04\x00") << 1;
    QTest::newRow("orientation 9") << changed(tiff + 18, "\x09\x00") << 1;
    QTest::newRow("value in the far half of its field")
            << changed(tiff + 18, QByteArray("\x00\x00\x06\x00", 4)) << 6;
    QTest::newRow("unknown byte order") << changed(tiff, "IM") << 1;
    QTest::newRow("segment longer than the file") << changed(exif - 2, "\xFF\xFF") << 6;
    QTest::newRow("segment length below two") << changed(exif - 2, QByteArray("\x00\x01", 2)) << 1;
    QTest::newRow("segment too short for its identifier")
            << changed(exif - 2, QByteArray("\x00\x05", 2)) << 1;
    QTest::newRow("fill bytes before the marker")
            << QByteArray(jpeg).insert(exif - 4, "\xFF\xFF\xFF") << 6;
    QByteArray plain;
    QBuffer buffer(&plain);
    buffer.open(QIODevice::WriteOnly);
    ImageFixtures::pattern(QSize(16, 8)).save(&buffer, "JPG");
    QTest::newRow("Exif only behind the start of scan") << plain + jpeg.mid(exif - 4, 36) << 1;
    QTest::newRow("start-of-image marker alone") << jpeg.left(2) << 1;
    QTest::newRow("empty") << QByteArray() << 1;
    // Every cut through the block: no turn before the value is there, the turn once the
    // whole entry is.
    for (int length = exif - 4; length <= tiff + 22; ++length) {
        const int expected = length >= tiff + 22 ? 6 : -1;
        QTest::addRow("cut after %d bytes", length)
                << jpeg.left(length) << (length < tiff + 20 ? 1 : expected);
    }
}

void DocumentTest::orientationNeverReadsOutside()
{
    // In the sanitizer build a read past the data fails the test.
    QFETCH(QByteArray, bytes);
    QFETCH(int, orientation);
    const int found = imageOrientation(bytes);
    if (orientation > 0)
        QCOMPARE(found, orientation);
    else
        QVERIFY(found == 1 || found == 6);
}

void DocumentTest::memoryStaysBounded_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<qint64>("fileSize");
    QTest::addColumn<QSize>("shown");
    QByteArray small;
    QBuffer buffer(&small);
    buffer.open(QIODevice::WriteOnly);
    ImageFixtures::pattern(QSize(40, 30)).save(&buffer, "PNG");
    QTest::newRow("png claiming 100000x100000")
            << ImageFixtures::pngHeaderClaiming(100000, 100000) << qint64(0) << QSize();
    // Icons report the size of their directory entry, not of the picture inside.
    QTest::newRow("icon holding a png claiming 30000x30000")
            << ImageFixtures::icoHolding(ImageFixtures::pngHeaderClaiming(30000, 30000))
            << qint64(0) << QSize();
    // Eight bytes a pixel once decoded.
    QTest::newRow("16-bit png claiming 16000x16000")
            << ImageFixtures::pngHeaderClaiming(16000, 16000, 16) << qint64(0) << QSize();
    // Fits alone, but not together with its turned copy.
    QTest::newRow("jpeg claiming 12000x12000, turned")
            << ImageFixtures::jpegClaiming(QSize(16, 16), QSize(12000, 12000), 6) << qint64(0)
            << QSize();
    QTest::newRow("format that learns its size while decoding")
            << BlindImageFormat::file(64, 48) << qint64(0) << QSize();
    // Sparse files: a small picture at the start, then nothing the decoder needs.
    QTest::newRow("small png in a 900 MB file") << small << (qint64(900) << 20) << QSize(40, 30);
    QTest::newRow("small png in a 1.5 GB file") << small << (qint64(1536) << 20) << QSize();
}

void DocumentTest::memoryStaysBounded()
{
    QFETCH(QByteArray, bytes);
    QFETCH(qint64, fileSize);
    QFETCH(QSize, shown);
    const QString path = dir->filePath(QStringLiteral("photo.png"));
    QVERIFY(ImageFixtures::writeFile(path, bytes));
    if (fileSize > 0)
        QVERIFY(QFile::resize(path, fileSize));
    const int decodes = BlindImageFormat::decodes();
    const qint64 peakBefore = peakAddressSpace();
    QVERIFY(window->loadAndWait(path));
    QVERIFY(peakAddressSpace() - peakBefore < qint64(512) << 20);
    QCOMPARE(BlindImageFormat::decodes(), decodes);
    // A refused file in a new window leaves no window behind.
    QCOMPARE(window->documents().size(), shown.isValid() ? 1 : 0);
    if (shown.isValid())
        QCOMPARE(imageOf(window->documents().first())->currentImage().size(), shown);
}

void DocumentTest::loading_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("format");
    QTest::addColumn<bool>("shown");
    QTest::newRow("capital suffix") << "PHOTO.JPG" << QByteArray("JPG") << true;
    QTest::newRow("png") << "plain.png" << QByteArray("PNG") << true;
    QTest::newRow("unsupported suffix") << "notes.xyz" << QByteArray("PNG") << false;
    QTest::newRow("garbage") << "broken.png" << QByteArray() << false;
}

void DocumentTest::loading()
{
    QFETCH(QString, name);
    QFETCH(QByteArray, format);
    QFETCH(bool, shown);
    const QString path = dir->filePath(name);
    if (format.isEmpty()) {
        QVERIFY(ImageFixtures::writeFile(path, QByteArray(500, 'x')));
    } else {
        QVERIFY(ImageFixtures::pattern(QSize(20, 10)).save(path, format.constData()));
    }
    QVERIFY(window->loadAndWait(path));
    QCOMPARE(window->documents().size(), shown ? 1 : 0);
    if (shown) {
        MdiChild *doc = window->documents().first();
        QCOMPARE(doc->currentFilePath(), path);
        QCOMPARE(imageOf(doc)->currentImage().size(), QSize(20, 10));
        QCOMPARE(window->dirOpen, dir->path());
    }
}

void DocumentTest::onlyTheNewestLoadArrives_data()
{
    QTest::addColumn<int>("next");
    QTest::newRow("another file") << int(AnotherFile);
    QTest::newRow("unsupported suffix") << int(UnsupportedSuffix);
    QTest::newRow("save question cancelled") << int(QuestionCancelled);
}

void DocumentTest::onlyTheNewestLoadArrives()
{
    QFETCH(int, next);
    const QString first = writeImage(QStringLiteral("first.png"), QSize(1200, 900));
    const QString second = writeImage(QStringLiteral("second.png"), QSize(20, 10));
    MdiChild *asked = nullptr;
    if (next == QuestionCancelled) {
        QVERIFY(window->loadAndWait(second));
        asked = window->documents().first();
    }
    QVERIFY(window->loadImage(first));
    QFuture<ImageInfo> firstLoad = window->loadWatcher->future();
    if (next == AnotherFile) {
        QVERIFY(window->loadAndWait(second));
    } else if (next == UnsupportedSuffix) {
        QVERIFY(window->loadImage(dir->filePath(QStringLiteral("notes.xyz")), false));
    } else {
        cutCorner(asked);
        ModalAnswerer *answerer = ModalAnswerer::messageBox(QMessageBox::Cancel);
        QVERIFY(!window->loadImage(second, false));
        QVERIFY(answerer->answered());
    }
    // The first result, wherever it was, never reaches a document.
    firstLoad.waitForFinished();
    QCoreApplication::processEvents();
    const QStringList expected = next == UnsupportedSuffix ? QStringList() : QStringList { second };
    QStringList shown;
    for (MdiChild *doc : window->documents())
        shown << doc->currentFilePath();
    QCOMPARE(shown, expected);
    if (asked)
        QCOMPARE(asked->undoStack()->count(), 1);
}

void DocumentTest::loadGoesToTheAskingDocument_data()
{
    QTest::addColumn<int>("meanwhile");
    QTest::newRow("asker still open") << int(NothingHappens);
    QTest::newRow("asker closed") << int(AskerClosed);
    QTest::newRow("asker closed in a nested event loop") << int(AskerClosedInNestedLoop);
    QTest::newRow("asker edited") << int(AskerEdited);
}

void DocumentTest::loadGoesToTheAskingDocument()
{
    QFETCH(int, meanwhile);
    const QString a = writeImage(QStringLiteral("a.png"), QSize(20, 10));
    const QString b = writeImage(QStringLiteral("b.png"), QSize(30, 20));
    const QString big = writeImage(QStringLiteral("big.png"), QSize(1600, 1200));
    QVERIFY(window->loadAndWait(a));
    QVERIFY(window->loadAndWait(b));
    QPointer<MdiChild> asker = window->documents().at(0);
    MdiChild *other = window->documents().at(1);
    cutCorner(other);

    // As from a menu or a dialog: the window closed there outlives the load, deleted only
    // when that loop returns. Queued ahead of the load's results, so it comes first.
    QEventLoop outer;
    if (meanwhile == AskerClosedInNestedLoop) {
        QMetaObject::invokeMethod(
                &outer,
                [&] {
                    asker->subWindow->close();
                    QEventLoop inner;
                    connect(window->loadWatcher.get(), &QFutureWatcherBase::finished, &inner,
                            &QEventLoop::quit);
                    QTimer::singleShot(30000, &inner, &QEventLoop::quit);
                    inner.exec();
                    outer.quit();
                },
                Qt::QueuedConnection);
    }
    // The question goes to a, which has nothing to save; the user turns to b during the load.
    window->mdiArea->setActiveSubWindow(asker->subWindow);
    QVERIFY(window->loadImage(big, false));
    window->mdiArea->setActiveSubWindow(other->subWindow);
    if (meanwhile == AskerClosed)
        asker->subWindow->close();
    else if (meanwhile == AskerEdited)
        cutCorner(asker);
    else if (meanwhile == AskerClosedInNestedLoop)
        outer.exec();
    QTRY_VERIFY_WITH_TIMEOUT(window->loadWatcher->isFinished(), 30000);
    QCoreApplication::processEvents();

    QCOMPARE(other->currentFilePath(), b);
    QCOMPARE(other->undoStack()->count(), 1);
    MdiChild *shown = nullptr;
    for (MdiChild *doc : window->documents()) {
        if (doc->currentFilePath() == big)
            shown = doc;
    }
    QVERIFY(shown);
    QCOMPARE(imageOf(shown)->currentImage().size(), QSize(1600, 1200));
    // It comes to the front, fitted to the area like any image just shown.
    QCOMPARE(window->activeDocument(), shown);
    const QSize viewport = shown->viewport()->size();
    const double fit = qMin(viewport.width() / 1640.0, viewport.height() / 1240.0);
    QVERIFY2(qAbs(shown->transform().m11() - fit) < 0.01,
             qPrintable(QString::number(shown->transform().m11())));
    QCOMPARE(shown == asker, meanwhile == NothingHappens);
    QTRY_COMPARE(window->documents().size(), meanwhile == AskerEdited ? 3 : 2);
    if (meanwhile == AskerEdited) {
        QCOMPARE(asker->currentFilePath(), a);
        QCOMPARE(asker->undoStack()->count(), 1);
    }
}

void DocumentTest::alreadyShownFileIsActivated()
{
    const QString a = writeImage(QStringLiteral("a.png"), QSize(20, 10));
    const QString b = writeImage(QStringLiteral("b.png"), QSize(20, 10));
    QVERIFY(window->loadAndWait(a));
    QVERIFY(window->loadAndWait(b));
    QCOMPARE(window->documents().size(), 2);
    window->openFile(a);
    QCOMPARE(window->documents().size(), 2);
    QCOMPARE(window->activeMdiChild()->currentFilePath(), a);
    QVERIFY(!window->isLoading());
}

void DocumentTest::reuseActiveDocument()
{
    const QString a = writeImage(QStringLiteral("a.png"), QSize(20, 10));
    const QString b = writeImage(QStringLiteral("b.png"), QSize(30, 40));
    QVERIFY(window->loadAndWait(a));
    MdiChild *doc = window->documents().first();
    QVERIFY(window->loadAndWait(b, false));
    QCOMPARE(window->documents(), QList<MdiChild *>{doc});
    QCOMPARE(doc->lvScene()->currentPage()->objects().size(), 1);
    QCOMPARE(imageOf(doc)->currentImage().size(), QSize(30, 40));
    QCOMPARE(doc->windowTitle(), QStringLiteral("b.png"));
    QVERIFY(!doc->isWindowModified());
    QCOMPARE(doc->undoStack()->count(), 0);
    // An unreadable file leaves the document as it was.
    const QString broken = dir->filePath(QStringLiteral("broken.png"));
    QVERIFY(ImageFixtures::writeFile(broken, "not an image"));
    QVERIFY(window->loadAndWait(broken, false));
    QCOMPARE(doc->currentFilePath(), b);
    QCOMPARE(imageOf(doc)->currentImage().size(), QSize(30, 40));
}

void DocumentTest::savingWritesThePage()
{
    const QString source = writeImage(QStringLiteral("source.png"), QSize(40, 30));
    QVERIFY(window->loadAndWait(source));
    MdiChild *doc = window->documents().first();
    doc->scale(0.5, 0.5);
    doc->undoStack()->push(new ModifyImageCommand(
            doc->lvScene()->currentPage(), imageOf(doc),
            std::make_shared<CutImageCommand>(QRectF(10, 5, 8, 6))));
    imageOf(doc)->setSelected(true);

    const QString target = dir->filePath(QStringLiteral("x.png"));
    QVERIFY(doc->saveFile(target));
    QImage expected = ImageFixtures::pattern(QSize(40, 30), QImage::Format_RGB32);
    QPainter painter(&expected);
    painter.fillRect(QRect(10, 5, 8, 6), Qt::white);
    painter.end();
    const QImage written(target);
    QCOMPARE(written.size(), QSize(40, 30));
    QCOMPARE(written.convertToFormat(QImage::Format_RGB32), expected);
    QCOMPARE(doc->windowTitle(), QStringLiteral("x.png"));
    QVERIFY(!doc->isWindowModified());
    QCOMPARE(doc->undoStack()->count(), 0);
    QCOMPARE(doc->transform().m11(), 0.5);
}

void DocumentTest::savingToUnknownFormatFails()
{
    const QString source = writeImage(QStringLiteral("source.png"), QSize(40, 30));
    QVERIFY(window->loadAndWait(source));
    MdiChild *doc = window->documents().first();
    cutCorner(doc);
    const QString target = dir->filePath(QStringLiteral("x.nowriter"));
    ModalAnswerer *answerer = ModalAnswerer::messageBox(QMessageBox::Ok);
    QVERIFY(!doc->saveFile(target));
    QVERIFY(answerer->answered());
    QCOMPARE(answerer->title(), QStringLiteral("Vireon"));
    QCOMPARE(answerer->text(),
             QStringLiteral("Cannot write file %1:\nError opening file for writing.").arg(target));
    QVERIFY(doc->isWindowModified());
    QCOMPARE(doc->undoStack()->count(), 1);
    QVERIFY(!QFile::exists(target));
}

void DocumentTest::failedSaveKeepsTheFile_data()
{
    QTest::addColumn<int>("fault");
    QTest::addColumn<int>("entry");
    QTest::newRow("gif, Save") << int(GifFile) << int(SaveAction);
    QTest::newRow("gif, save question") << int(GifFile) << int(SaveQuestion);
    QTest::newRow("gif, Save As") << int(GifFile) << int(SaveAsDialog);
    QTest::newRow("svg, Save") << int(SvgFile) << int(SaveAction);
    QTest::newRow("read-only folder, Save") << int(ReadOnlyFolder) << int(SaveAction);
    QTest::newRow("read-only folder, save question") << int(ReadOnlyFolder) << int(SaveQuestion);
    QTest::newRow("read-only folder, Save As") << int(ReadOnlyFolder) << int(SaveAsDialog);
    QTest::newRow("link to /dev/full, Save") << int(LinkToDevFull) << int(SaveAction);
    QTest::newRow("link to /dev/full, Save As") << int(LinkToDevFull) << int(SaveAsDialog);
    QTest::newRow("disk full while writing, Save") << int(DiskFullWriting) << int(SaveAction);
    QTest::newRow("disk full at the last flush, Save") << int(DiskFullFlush) << int(SaveAction);
    QTest::newRow("disk full at the last flush, save question")
            << int(DiskFullFlush) << int(SaveQuestion);
    QTest::newRow("disk full at the last flush, Save As")
            << int(DiskFullFlush) << int(SaveAsDialog);
}

void DocumentTest::failedSaveKeepsTheFile()
{
    QFETCH(int, fault);
    QFETCH(int, entry);
    // Open to the ordinary user the permission cases act as (who may keep root's group).
    const auto readable = QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther | QFile::ExeOwner
            | QFile::ExeGroup | QFile::ExeOther;
    QVERIFY(QFile::setPermissions(dir->path(), readable | QFile::WriteOwner));
    const QString source = writeImage(QStringLiteral("source.png"), QSize(40, 30));
    if (fault == DiskFullWriting) {
        // Noise: too much for the write buffer, so the write itself runs out of room.
        QImage noise(400, 300, QImage::Format_RGB32);
        QRandomGenerator random(7);
        for (int y = 0; y < noise.height(); ++y)
            random.fillRange(reinterpret_cast<quint32 *>(noise.scanLine(y)), noise.width());
        QVERIFY(noise.save(source));
    }
    const QString locked = dir->filePath(QStringLiteral("locked"));
    QString target = dir->filePath(QStringLiteral("photo.png"));
    if (fault == GifFile) {
        target = dir->filePath(QStringLiteral("photo.gif"));
        QVERIFY(ImageFixtures::writeFile(target, gifBytes));
    } else if (fault == SvgFile) {
        if (!QImageReader::supportedImageFormats().contains("svg"))
            QSKIP("No SVG image plugin");
        target = dir->filePath(QStringLiteral("drawing.svg"));
        QVERIFY(ImageFixtures::writeFile(target, svgBytes));
    } else if (fault == ReadOnlyFolder) {
        QVERIFY(QDir().mkdir(locked));
        target = locked + QStringLiteral("/photo.png");
        QVERIFY(QFile::copy(source, target));
        // Only the folder is closed: the file itself could be overwritten in place.
        QVERIFY(QFile::setPermissions(target,
                                      QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther
                                              | QFile::WriteOwner | QFile::WriteGroup
                                              | QFile::WriteOther));
    } else if (fault == LinkToDevFull) {
        target = dir->filePath(QStringLiteral("full.png"));
        QVERIFY(QFile::link(QStringLiteral("/dev/full"), target));
    } else {
        QVERIFY(QFile::copy(source, target));
    }
    // The document comes from the file that must survive, or goes there with Save As.
    const bool bound = entry != SaveAsDialog && fault != LinkToDevFull;
    QVERIFY(window->loadAndWait(bound ? target : source));
    MdiChild *doc = window->documents().value(0);
    QVERIFY(doc);
    if (entry != SaveAsDialog && fault == LinkToDevFull)
        doc->setCurrentFile(target);
    cutCorner(doc);
    const QString path = doc->currentFilePath();
    const QString title = doc->windowTitle();
    const QByteArray before = fault == LinkToDevFull ? QByteArray() : contents(target);
    const QDir folder = QFileInfo(target).absoluteDir();
    const auto listing = [&] {
        return folder.entryList(QDir::AllEntries | QDir::Hidden | QDir::System
                                | QDir::NoDotAndDotDot);
    };
    const QStringList filesBefore = listing();

    // A format Qt only reads is offered Save As, which the user declines here.
    const bool readOnlyFormat = (fault == GifFile || fault == SvgFile) && entry != SaveAsDialog;
    const auto last = readOnlyFormat ? QMessageBox::Cancel : QMessageBox::Ok;
    ModalAnswerer *answerer = entry == SaveAction ? ModalAnswerer::messageBox(last)
            : entry == SaveQuestion
            ? ModalAnswerer::messageBox(QMessageBox::Save)->thenMessageBox(last)
            : ModalAnswerer::fileDialog(target)
                      ->thenMessageBox(QMessageBox::Yes)
                      ->thenMessageBox(last);
    bool saved = true;
    {
        const auto unlock
                = qScopeGuard([&] { QFile::setPermissions(locked, readable | QFile::WriteOwner); });
        if (fault == ReadOnlyFolder)
            QVERIFY(QFile::setPermissions(locked, readable));
        std::optional<OrdinaryUser> user;
        std::optional<FileSizeLimit> limit;
        if (fault == ReadOnlyFolder || fault == LinkToDevFull)
            user.emplace();
        if (fault == DiskFullWriting || fault == DiskFullFlush)
            limit.emplace(64);
        saved = entry == SaveAction     ? doc->save()
                : entry == SaveAsDialog ? doc->saveAs()
                                        : window->loadImage(source, false);
    }
    QVERIFY(!saved);
    QVERIFY(answerer->answered());
    QCOMPARE(answerer->title(), QStringLiteral("Vireon"));
    QVERIFY2(answerer->text().contains(QFileInfo(target).fileName()), qPrintable(answerer->text()));
    if (fault == LinkToDevFull) {
        QCOMPARE(QFileInfo(target).symLinkTarget(), QStringLiteral("/dev/full"));
        QVERIFY(QFileInfo::exists(QStringLiteral("/dev/full")));
        QVERIFY(!QFileInfo(QStringLiteral("/dev/full")).isFile());
    } else {
        QCOMPARE(contents(target), before);
    }
    QCOMPARE(listing(), filesBefore);
    // The document stays as it was, bound to its old name, with its edit.
    QCOMPARE(window->documents(), QList<MdiChild *> { doc });
    QCOMPARE(doc->currentFilePath(), path);
    QCOMPARE(doc->windowTitle(), title);
    QVERIFY(doc->isWindowModified());
    QCOMPARE(doc->undoStack()->count(), 1);
    QVERIFY(!window->isLoading());
}

void DocumentTest::readOnlyFormatIsSavedAsPng_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("proposed");
    QTest::newRow("gif") << "photo.gif" << gifBytes << "photo.png";
    if (QImageReader::supportedImageFormats().contains("svg"))
        QTest::newRow("svg") << "my.drawing.svg" << svgBytes << "my.drawing.png";
}

void DocumentTest::readOnlyFormatIsSavedAsPng()
{
    QFETCH(QString, name);
    QFETCH(QByteArray, bytes);
    QFETCH(QString, proposed);
    const QString original = dir->filePath(name);
    QVERIFY(ImageFixtures::writeFile(original, bytes));
    QVERIFY(window->loadAndWait(original));
    MdiChild *doc = window->documents().value(0);
    QVERIFY(doc);
    const QSize size = imageOf(doc)->currentImage().size();
    cutCorner(doc);

    const QString png = dir->filePath(proposed);
    ModalAnswerer *offer = ModalAnswerer::messageBox(QMessageBox::Save);
    ModalAnswerer *dialog = offer->thenFileDialog(png);
    QVERIFY(doc->save());
    QVERIFY(dialog->answered());
    QCOMPARE(dialog->text(), png);
    QCOMPARE(contents(original), bytes);
    QImageReader written(png);
    QCOMPARE(written.format(), QByteArray("png"));
    QCOMPARE(written.size(), size);
    QCOMPARE(doc->currentFilePath(), png);
    QVERIFY(!doc->isWindowModified());
}

void DocumentTest::savingLeavesOverlaysOut()
{
    auto *tool = new OverlayTool(window.get());
    window->toolWatcher->addTool(tool);
    const QString source = writeImage(QStringLiteral("source.png"), QSize(40, 30));
    QVERIFY(window->loadAndWait(source));
    window->setProgramMode(7);
    MdiChild *doc = window->documents().first();
    // The overlay is on screen...
    QImage screen(doc->viewport()->size(), QImage::Format_RGB32);
    QPainter painter(&screen);
    doc->render(&painter, QRectF(), doc->viewport()->rect());
    painter.end();
    QVERIFY(screen.pixelColor(doc->mapFromScene(QPointF(5, 5))) == QColor(Qt::red));
    // ...but not in the file.
    const QString target = dir->filePath(QStringLiteral("clean.png"));
    QVERIFY(doc->saveFile(target));
    QCOMPARE(QImage(target).convertToFormat(QImage::Format_RGB32),
             ImageFixtures::pattern(QSize(40, 30), QImage::Format_RGB32));
}

void DocumentTest::openEditSaveEndToEnd()
{
    const QString source = writeImage(QStringLiteral("holiday.png"), QSize(64, 48));
    ModalAnswerer *open = ModalAnswerer::fileDialog(source);
    window->open();
    QVERIFY(open->answered());
    QTRY_COMPARE(window->documents().size(), 1);
    MdiChild *doc = window->documents().first();
    QCOMPARE(doc->currentFilePath(), source);

    doc->undoStack()->push(new ModifyImageCommand(
            doc->lvScene()->currentPage(), imageOf(doc),
            std::make_shared<CutImageCommand>(QRectF(0, 0, 16, 16))));
    const QString target = dir->filePath(QStringLiteral("edited.png"));
    ModalAnswerer *save = ModalAnswerer::fileDialog(target);
    window->saveAs();
    QVERIFY(save->answered());
    QImage expected = ImageFixtures::pattern(QSize(64, 48), QImage::Format_RGB32);
    QPainter painter(&expected);
    painter.fillRect(QRect(0, 0, 16, 16), Qt::white);
    painter.end();
    QCOMPARE(QImage(target).convertToFormat(QImage::Format_RGB32), expected);
    QCOMPARE(doc->currentFilePath(), target);
    // The source file is untouched.
    QCOMPARE(QImage(source).convertToFormat(QImage::Format_RGB32),
             ImageFixtures::pattern(QSize(64, 48), QImage::Format_RGB32));
}

void DocumentTest::toolStateFollowsTheFocus()
{
    auto *tool = new StateTool(window.get());
    window->toolWatcher->addTool(tool);
    QVERIFY(window->loadAndWait(writeImage(QStringLiteral("a.png"), QSize(20, 10))));
    QVERIFY(window->loadAndWait(writeImage(QStringLiteral("b.png"), QSize(20, 10))));
    MdiChild *a = window->documents().at(0);
    MdiChild *b = window->documents().at(1);

    window->mdiArea->setActiveSubWindow(a->subWindow);
    a->setFocus();
    window->setProgramMode(9);
    tool->value = 42;
    b->setFocus();
    QTRY_COMPARE(a->savedToolId, 9);
    QCOMPARE(static_cast<StateTool *>(a->savedToolState.get())->value, 42);

    // Elsewhere the user leaves the tool; coming back restores it with a's settings.
    window->setProgramMode(0);
    tool->value = 7;
    a->setFocus();
    QTRY_COMPARE(window->programMode(), 9);
    QCOMPARE(tool->value, 42);
    QCOMPARE(window->toolWatcher->switchedName, QStringLiteral("a.png"));
    // The page change the switch caused is over: a later one deactivates again.
    QVERIFY(!window->toolWatcher->focusSwitched);
}

void DocumentTest::photoSaving_data()
{
    QTest::addColumn<int>("photoCase");
    QTest::addColumn<bool>("kept");
    QTest::newRow("photo saved as another JPEG") << int(SavedAs) << true;
    QTest::newRow("photo saved over itself") << int(SavedOverItself) << true;
    // The PNG holds no metadata; the photo it came from still does.
    QTest::newRow("photo saved as PNG, then as JPEG") << int(SavedAsPngFirst) << true;
    // Metadata are best effort: the pixels are always written.
    QTest::newRow("PNG saved as JPEG") << int(PngSource) << false;
    QTest::newRow("photo saved as PNG") << int(PngTarget) << false;
    QTest::newRow("damaged Exif") << int(DamagedExif) << false;
    QTest::newRow("photo removed meanwhile") << int(SourceRemoved) << false;
    QTest::newRow("photo replaced by a pipe") << int(SourceIsPipe) << false;
}

void DocumentTest::photoSaving()
{
    QFETCH(int, photoCase);
    QFETCH(bool, kept);
    const QString source = photoCase == PngSource
            ? writeImage(QStringLiteral("photo.png"), QSize(32, 48))
            : writePhoto(QStringLiteral("photo.jpg"));
    QVERIFY(!source.isEmpty());
    if (photoCase == DamagedExif) {
        // The first directory lies far beyond the segment.
        QByteArray bytes = contents(source);
        const int tiff = bytes.indexOf(QByteArray("Exif\0\0", 6)) + 6;
        QVERIFY(tiff > 6 && bytes.mid(tiff, 2) == "MM");
        bytes.replace(tiff + 4, 4, QByteArray("\xff\xff\xff\x00", 4));
        QVERIFY(ImageFixtures::writeFile(source, bytes));
    }
    const QVariantMap before = photoTags(source);
    QVERIFY(window->loadAndWait(source));
    MdiChild *doc = window->documents().first();
    const auto edit = [doc] {
        doc->undoStack()->push(
                new ModifyImageCommand(doc->lvScene()->currentPage(), imageOf(doc),
                                       std::make_shared<CutImageCommand>(QRectF(12, 12, 6, 6))));
    };
    edit();
    if (photoCase == SavedAsPngFirst) {
        QVERIFY(doc->saveFile(dir->filePath(QStringLiteral("edited.png"))));
        edit();
    }
    if (photoCase == SourceRemoved || photoCase == SourceIsPipe)
        QVERIFY(QFile::remove(source));
    if (photoCase == SourceIsPipe)
        QCOMPARE(::mkfifo(QFile::encodeName(source).constData(), 0600), 0);
    const QImage page = doc->renderPage().convertToFormat(QImage::Format_RGB32);
    const QString target = photoCase == SavedOverItself
            ? source
            : dir->filePath(photoCase == PngTarget ? "edited.png" : "edited.jpg");
    QVERIFY(doc->isWindowModified());
    QVERIFY(doc->saveFile(target));
    QVERIFY(!doc->isWindowModified());

    // A second reader, turning the picture as its metadata say, shows what the document did.
    QImageReader reader(target);
    reader.setAutoTransform(true);
    const QImage shown = reader.read().convertToFormat(QImage::Format_RGB32);
    if (photoCase == PngTarget) {
        QCOMPARE(shown, page);
        return;
    }
    QCOMPARE(shown.size(), page.size());
    QCOMPARE(ImageFixtures::corners(shown), ImageFixtures::corners(page));
    const QVariantMap after = photoTags(target);
    QCOMPARE(after.value("File:JPEGQualityEstimate").toInt(), MdiChild::jpegQuality);
    if (!kept)
        return;
    // Orientation 6: the stored 48 x 32 picture stood upright as 32 x 48.
    QCOMPARE(page.size(), QSize(32, 48));
    QCOMPARE(ImageFixtures::corners(page), QStringLiteral("cadb"));
    for (const char *tag :
         { "IFD0:Make", "ExifIFD:DateTimeOriginal", "GPS:GPSLatitude", "GPS:GPSLongitude",
           "XMP-dc:Creator", "ICC_Profile:ProfileDescription" })
        QVERIFY2(before.contains(tag) && after.value(tag) == before.value(tag), tag);
    QCOMPARE(after.value("IFD0:Orientation").toInt(), 1);
    QCOMPARE(after.value("XMP-tiff:Orientation").toInt(), 1);
    QCOMPARE(QSize(after.value("ExifIFD:ExifImageWidth").toInt(),
                   after.value("ExifIFD:ExifImageHeight").toInt()),
             page.size());
    // The embedded preview shows the new pixels too.
    QByteArray preview;
    QVERIFY(exiftool({ "-b", "-ThumbnailImage", target }, &preview));
    const QImage previewImage = QImage::fromData(preview);
    QCOMPARE(previewImage.size(), page.size());
    QCOMPARE(ImageFixtures::corners(previewImage), ImageFixtures::corners(page));
}

Q_IMPORT_PLUGIN(BlindImagePlugin)
VIREON_TEST_MAIN(DocumentTest)

#include "tst_document.moc"
