#include "browser/imagefile.h"
#include "imagefixtures.h"
#include "modalanswerer.h"
#include "scene/cutimagecommand.h"
#include "scene/modifyimagecommand.h"
#include "scene/pageitem.h"
#include "scene/vrimageitem.h"
#include "testmain.h"
#include "testwindow.h"

#include <QColorSpace>
#include <QImageReader>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QProcess>

#include <csignal>
#include <sys/prctl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// A tool painting over the page, as a crop frame does.
class OverlayTool : public LVTool
{
public:
    using LVTool::LVTool;
    int id() const override { return 9; }
    QString title() const override { return "Overlay"; }
    void drawForeground(QPainter *p, const QRectF &) override { p->fillRect(0, 0, 9, 9, Qt::red); }
};

class DocWindow : public TestWindow
{
public:
    DocWindow() { toolWatcher->addTool(new OverlayTool(this)); }
    using MainWindow::loadWatcher;
    // Loads and waits until the result has been handled; the document it shows in.
    MdiChild *load(const QString &file, bool newWindow = true)
    {
        QSignalSpy finished(loadWatcher.get(), &QFutureWatcherBase::finished);
        if (loadImage(file, newWindow) && !loadWatcher->isFinished())
            finished.wait(30000);
        QCoreApplication::processEvents();
        return activeDocument();
    }
    QList<MdiChild *> documents() const { return mdiArea->findChildren<MdiChild *>(); }
    // The documents' files, without folder and suffix, in alphabetical order.
    QString names() const
    {
        QStringList result;
        for (MdiChild *doc : documents())
            result << QFileInfo(doc->currentFilePath()).completeBaseName();
        result.sort();
        return result.join(' ');
    }
};

VRImageItem *imageOf(MdiChild *doc)
{
    return dynamic_cast<VRImageItem *>(doc->lvScene()->currentPage()->objects().value(0));
}

// One undoable edit: a white rectangle cut out of the image.
void cut(MdiChild *doc, const QRect &rect = QRect(0, 0, 5, 5))
{
    doc->undoStack()->push(new ModifyImageCommand(doc->lvScene()->currentPage(), imageOf(doc),
                                                  std::make_shared<CutImageCommand>(rect)));
}

// Title, modified mark and undo steps: what the user sees of a document's state.
QString state(MdiChild *doc)
{
    return QStringLiteral("%1 %2 %3")
            .arg(doc->windowTitle())
            .arg(int(doc->isWindowModified()))
            .arg(doc->undoStack()->count());
}

QByteArray contents(const QString &path)
{
    QFile file(path); // never a pipe or a device: they would block or never end
    return QFileInfo(path).isFile() && file.open(QIODevice::ReadOnly) ? file.readAll() : "";
}

// Runs exiftool, the independent reader and writer of photo metadata, for its output.
QByteArray exiftool(const QStringList &arguments)
{
    QProcess process;
    process.start("exiftool", arguments);
    const bool ok = process.waitForFinished(60000) && process.exitCode() == 0;
    return ok ? process.readAllStandardOutput() : "exiftool failed: see scripts/install-deps";
}

// A format Qt reads and cannot write.
const QByteArray gifBytes
        = QByteArray::fromBase64("R0lGODlhAQABAIAAAP///wAAACH5BAEAAAAALAAAAAABAAEAAAICRAEAOw==");

enum Meanwhile { Nothing, Nested, Edited, Other, Unsupported, Cancelled, Bad, BadNew };
enum SaveFault { Gif, ReadOnlyFolder, LinkToPipe, DiskFull, DiskFullFlush };
const char *targets[] = { "photo.gif", "locked.png", "pipe-link.png", "full.jpg", "flush.png" };
enum PhotoCase { SavedAs, OverItself, ToPng, Removed, Pipe, FromPng, Damaged, OddTurn };
const char *photoCases[]
        = { "saved as JPEG",    "saved over itself", "saved as PNG", "photo removed",
            "photo now a pipe", "PNG saved as JPEG", "damaged Exif", "orientation 9" };

} // namespace

class DocumentTest : public QObject
{
    Q_OBJECT

    QString path(const QString &name) const { return dir->filePath(name); }
    QString writeImage(const QString &name, const QSize &size) const
    {
        return ImageFixtures::writeImage(path(name), size) ? path(name) : QString();
    }
    std::unique_ptr<DocWindow> win;
    std::unique_ptr<QTemporaryDir> dir;

private slots:
    void init()
    {
        TestEnvironment::clearSettings();
        dir = std::make_unique<QTemporaryDir>();
        win = std::make_unique<DocWindow>();
    }

    void cleanup()
    {
        // An answerer left waiting by a failed test must not answer the next test's dialogs.
        qDeleteAll(qApp->findChildren<ModalAnswerer *>(QString(), Qt::FindDirectChildrenOnly));
        for (MdiChild *doc : win->documents())
            doc->undoStack()->clear();
        win.reset();
    }

    void loadFinishingLate_data()
    {
        QTest::addColumn<int>("meanwhile");
        QTest::addColumn<QString>("files");
        QTest::newRow("asker still open") << int(Nothing) << "b wide";
        QTest::newRow("asker closed in a nested loop") << int(Nested) << "b wide";
        QTest::newRow("asker edited") << int(Edited) << "a b wide";
        QTest::newRow("another file asked for") << int(Other) << "C a b";
        QTest::newRow("unsupported file asked for") << int(Unsupported) << "a b";
        QTest::newRow("save question cancelled") << int(Cancelled) << "a b";
        QTest::newRow("unreadable file") << int(Bad) << "a b";
        QTest::newRow("unreadable file, new window") << int(BadNew) << "a b";
    }

    void loadFinishingLate()
    {
        QFETCH(int, meanwhile);
        QFETCH(QString, files);
        QPointer<MdiChild> asker = win->load(writeImage("a.png", QSize(20, 10)));
        MdiChild *other = win->load(writeImage("b.png", QSize(30, 20)));
        writeImage("C.JPG", QSize(30, 40));
        writeImage("wide.png", QSize(1600, 100));
        // A picture refused all the same: its file is past the largest one read.
        QVERIFY(asker && other && QFile::copy(path("b.png"), path("bad.png"))
                && QFile::resize(path("bad.png"), qint64(1536) << 20));
        cut(other);
        // As from a menu or a dialog: the window closed there outlives the load, deleted
        // only when that loop returns. Queued ahead of the load's results, so it comes first.
        QEventLoop outer;
        const auto closeInNestedLoop = [&] {
            asker->subWindow->close();
            QEventLoop inner;
            connect(win->loadWatcher.get(), &QFutureWatcherBase::finished, &inner,
                    &QEventLoop::quit);
            inner.exec();
            outer.quit();
        };
        if (meanwhile == Nested)
            QMetaObject::invokeMethod(&outer, closeInNestedLoop, Qt::QueuedConnection);
        // Asked for by a, which has nothing to save; the user turns to b during the load.
        win->mdiArea->setActiveSubWindow(asker->subWindow);
        QVERIFY(win->loadImage(path(meanwhile >= Bad ? "bad.png" : "wide.png"),
                               meanwhile == BadNew));
        win->mdiArea->setActiveSubWindow(other->subWindow);
        ModalAnswerer::messageBox(meanwhile == Cancelled ? QMessageBox::Cancel
                                                         : QMessageBox::Discard);
        if (meanwhile == Edited)
            cut(asker);
        else if (meanwhile == Nested)
            outer.exec();
        // Another file asked for drops the load read meanwhile, as does cancelling the question.
        else if (meanwhile >= Other && meanwhile <= Cancelled) {
            win->loadWatcher->waitForFinished();
            QCOMPARE(win->loadImage(path(meanwhile == Unsupported ? "notes.xyz" : "C.JPG")),
                     meanwhile != Cancelled);
        }
        QTRY_VERIFY_WITH_TIMEOUT(win->loadWatcher->isFinished(), 30000);

        QTRY_COMPARE(win->names(), files);
        QVERIFY(other->undoStack()->count() == 1 && other->transform().m11() == 1.0);
        MdiChild *doc = win->activeDocument();
        if (files.contains("wide")) { // in front, fitted with the margin of 20 around the page
            QCOMPARE(imageOf(doc)->currentImage().size(), QSize(1600, 100));
            QVERIFY(doc->lvScene()->currentPage()->objects().size() == 1
                    && state(doc) == "wide.png 0 0" && (doc == asker) == (meanwhile == Nothing));
            QVERIFY(qAbs(doc->transform().m11() - doc->viewport()->width() / 1640.0) < 0.01);
        }
    }

    void failedSaveKeepsTheFile_data()
    {
        QTest::addColumn<int>("fault");
        QTest::addColumn<QString>("entry");
        for (const char *entry : { "Save", "close, Save", "Save As" }) {
            for (int fault = Gif; fault <= DiskFullFlush; ++fault)
                QTest::addRow("%s, %s", targets[fault], entry) << fault << QString(entry);
        }
    }

    void failedSaveKeepsTheFile()
    {
        QFETCH(int, fault);
        QFETCH(QString, entry);
        // The closed folder is open to the ordinary user it is tried with, but for writing.
        const auto open = QFileDevice::Permissions(QFlag(0x7555));
        const QString folder = fault == ReadOnlyFolder ? path("locked") : dir->path();
        const QString target = folder + '/' + targets[fault];
        // A JPEG of it too large for the write buffer, when the write itself is to run out of room.
        const QString source = writeImage("in.png", QSize(40, 30) * (fault == DiskFull ? 10 : 1));
        QVERIFY(QFile::setPermissions(dir->path(), open) && QDir().mkpath(folder));
        if (fault == LinkToPipe)
            QVERIFY(::mkfifo(QFile::encodeName(path("pipe")).constData(), 0600) == 0
                    && QFile::link(path("pipe"), target));
        else
            QVERIFY(ImageFixtures::writeFile(target, fault == Gif ? gifBytes : contents(source)));
        // Only the folder is closed: the file itself could be overwritten in place.
        QVERIFY(QFile::setPermissions(target, QFileDevice::Permissions(QFlag(0x6666))));
        MdiChild *doc = win->load(source);
        QVERIFY(doc);
        if (entry != "Save As")
            doc->setCurrentFile(target);
        cut(doc);
        const QByteArray before = contents(target);
        const QStringList listing = QDir(folder).entryList(QDir::AllEntries | QDir::System);

        // A format Qt only reads is offered Save As, which the user declines here.
        const auto no = fault == Gif && entry != "Save As" ? QMessageBox::Cancel : QMessageBox::Ok;
        ModalAnswerer *answerer = entry == "Save" ? ModalAnswerer::messageBox(no)
                : entry == "Save As"
                ? ModalAnswerer::fileDialog(target)
                          ->thenMessageBox(QMessageBox::Yes)
                          ->thenMessageBox(no)
                : ModalAnswerer::messageBox(QMessageBox::Save)->thenMessageBox(no);
        // Only through the save: a folder closed to an ordinary user, or a disk taking 64 bytes.
        QVERIFY(QFile::setPermissions(folder,
                                      fault == ReadOnlyFolder ? open & ~QFile::WriteOwner : open));
        const bool user = fault == ReadOnlyFolder && ::geteuid() == 0 && ::seteuid(65534) == 0;
        rlimit limit {};
        ::getrlimit(RLIMIT_FSIZE, &limit);
        const rlimit full { fault >= DiskFull ? 64 : limit.rlim_cur, limit.rlim_max };
        ::signal(SIGXFSZ, SIG_IGN); // a failed write, not the end of the process
        ::setrlimit(RLIMIT_FSIZE, &full);
        const bool saved = entry == "Save" ? doc->save()
                : entry == "Save As"       ? doc->saveAs()
                                           : doc->subWindow->close();
        ::setrlimit(RLIMIT_FSIZE, &limit);
        if (user && ::seteuid(0) == 0)
            ::prctl(PR_SET_DUMPABLE, 1);
        QVERIFY(QFile::setPermissions(folder, open));

        const QString text = answerer->text(), old = entry == "Save As" ? source : target;
        QVERIFY(!saved && text.contains(no == QMessageBox::Ok ? targets[fault] : "own format"));
        QCOMPARE(contents(target), before);
        QCOMPARE(QFileInfo(target).symLinkTarget(), fault == LinkToPipe ? path("pipe") : "");
        QCOMPARE(QDir(folder).entryList(QDir::AllEntries | QDir::System), listing);
        // The document stays as it was, bound to its old name, with its edit.
        QCOMPARE(win->documents(), QList<MdiChild *> { doc });
        QCOMPARE(doc->currentFilePath(), old);
        QCOMPARE(state(doc), QFileInfo(old).fileName() + "[*] 1 1");
    }

    void photoSaving_data()
    {
        QTest::addColumn<int>("photoCase");
        // Metadata are best effort, but the pixels are always written.
        for (int photoCase = SavedAs; photoCase <= OddTurn; ++photoCase)
            QTest::newRow(photoCases[photoCase]) << photoCase;
    }

    void photoSaving()
    {
        QFETCH(int, photoCase);
        // A 48 x 32 camera photo to be turned upright (orientation 6), with what a camera and a
        // photo manager write: maker, date, place, sizes, preview (itself), XMP, profile.
        static QTemporaryDir made;
        const QString photo = made.filePath("photo.jpg"), profile = made.filePath("icc");
        if (!QFile::exists(photo) && ImageFixtures::writeImage(photo, QSize(48, 32))
            && ImageFixtures::writeFile(profile, QColorSpace(QColorSpace::SRgb).iccProfile()))
            exiftool({ "-n", "-Make=Kestrel", "-DateTimeOriginal=2024:05:17 10:20:30",
                       "-GPSLatitude=48.8583", "-GPSLatitudeRef=N", "-GPSLongitude=2.2945",
                       "-GPSLongitudeRef=E", "-Orientation=6", "-ExifImageWidth=48",
                       "-ExifImageHeight=32", "-XMP-tiff:Orientation=6",
                       "-XMP-dc:Creator=Ada Field", "-ThumbnailImage<=" + photo,
                       "-ICC_Profile<=" + profile, "-overwrite_original", photo });
        const QString source = path(photoCase == FromPng ? "photo.png" : "photo.jpg");
        QVERIFY(photoCase == FromPng ? ImageFixtures::writeImage(source, QSize(32, 48))
                                     : QFile::copy(photo, source));
        if (photoCase == OddTurn)
            exiftool({ "-n", "-Orientation=9", "-overwrite_original", source });
        if (photoCase == Damaged) { // the first directory lies far beyond the segment
            QByteArray bytes = contents(source);
            bytes.replace(bytes.indexOf(QByteArray("Exif\0\0MM\0*", 10)) + 10, 4,
                          "\xff\xff\xff\x7f");
            QVERIFY(ImageFixtures::writeFile(source, bytes));
        }
        QCOMPARE(imageOrientation(contents(source)), photoCase >= FromPng ? 1 : 6);
        MdiChild *doc = win->load(source);
        QVERIFY(doc);
        doc->scale(0.5, 0.5);
        // Edited, undone, edited again: the mark and the title follow every step.
        cut(doc, QRect(12, 12, 6, 6));
        doc->undoStack()->undo();
        QCOMPARE(state(doc), QFileInfo(source).fileName() + " 0 1");
        doc->undoStack()->redo();
        QCOMPARE(state(doc), QFileInfo(source).fileName() + "[*] 1 1");
        // A tool's overlay is on screen, but not in the file, which holds the page at scale 1.
        imageOf(doc)->setSelected(true);
        win->setProgramMode(9);
        QCOMPARE(doc->viewport()->grab().toImage().pixel(doc->mapFromScene(QPointF(5, 5))),
                 qRgb(255, 0, 0));
        QVERIFY((photoCase != Removed && photoCase != Pipe)
                || (QFile::remove(source)
                    && (photoCase == Removed || ::mkfifo(QFile::encodeName(source), 0600) == 0)));
        const QImage page = doc->renderPage().convertToFormat(QImage::Format_RGB32);
        QCOMPARE(page, imageOf(doc)->currentImage().convertToFormat(QImage::Format_RGB32));
        // Stood upright as 32 x 48 where the photo says how; orientation 9 says nothing.
        QCOMPARE(ImageFixtures::corners(page), photoCase >= FromPng ? "abcd" : "cadb");
        const QString target = path(photoCase == OverItself      ? "photo.jpg"
                                            : photoCase == ToPng ? "edited.png"
                                                                 : "EDITED.JPG");
        ModalAnswerer::messageBox(QMessageBox::Ok); // a failure must not wait for the user
        QVERIFY(doc->saveFile(target) && doc->transform().m11() == 0.5);
        QCOMPARE(state(doc), QFileInfo(target).fileName() + " 0 0");

        // A second reader, turning the picture as its metadata say, shows what the document did.
        QImageReader reader(target);
        reader.setAutoTransform(true);
        const QImage shown = reader.read().convertToFormat(QImage::Format_RGB32);
        QVERIFY(shown.size() == page.size()
                && ImageFixtures::corners(shown) == ImageFixtures::corners(page));
        if (photoCase > OverItself)
            return;
        // Everything carried over, upright and of the new size; no loss beyond the quality set.
        QCOMPARE(exiftool({ "-n", "-f", "-p",
                            "$Make|$DateTimeOriginal|$GPSLatitude $GPSLongitude|$Creator|"
                            "$ProfileDescription|$Orientation $XMP:Orientation|$ExifImageWidth "
                            "$ExifImageHeight|$JPEGQualityEstimate",
                            target }),
                 QByteArray("Kestrel|2024:05:17 10:20:30|48.8583 2.2945|Ada Field|sRGB|1 1|32 48|")
                         + QByteArray::number(MdiChild::jpegQuality) + '\n');
        // The embedded preview shows the new pixels too.
        const QImage thumb = QImage::fromData(exiftool({ "-b", "-ThumbnailImage", target }));
        QVERIFY(thumb.size() == page.size()
                && ImageFixtures::corners(thumb) == ImageFixtures::corners(page));
    }
};

VIREON_TEST_MAIN(DocumentTest)

#include "tst_document.moc"
