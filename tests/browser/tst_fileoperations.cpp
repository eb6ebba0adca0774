#include "browser/statusbar.h"
#include "browser/thumbnaillistmodel.h"
#include "browser/thumbnaillistview.h"
#include "browser/thumbnailpanel.h"
#include "browser/thumbnailsortfilterproxymodel.h"
#include "imagefixtures.h"
#include "modalanswerer.h"
#include "platform/recyclebin.h"
#include "testinput.h"
#include "testmain.h"
#include "testmemory.h"

#include <QAction>
#include <QClipboard>
#include <QDrag>
#include <QMimeData>
#include <QSettings>
#include <QStandardPaths>

#include <atomic>
#include <fcntl.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace {

// A view whose drags are recorded instead of handed to the system's drag loop.
class RecordingView : public ThumbnailListView
{
public:
    using ThumbnailListView::ThumbnailListView;
    QList<QList<QUrl>> drags;

protected:
    void execDrag(QDrag *drag) override
    {
        drags << drag->mimeData()->urls();
        delete drag;
    }
};

QStringList names(const QString &folder)
{
    return QDir(folder).entryList(QDir::Files, QDir::Name);
}

void touch(const QString &path, qint64 size = 10)
{
    QFile file(path);
    file.open(QIODevice::WriteOnly);
    file.resize(size);
}

// A drop whose source proposes Move, as file managers do.
class MoveDrop : public QDropEvent
{
public:
    explicit MoveDrop(QMimeData *mime)
        : QDropEvent(QPointF(10, 10), Qt::CopyAction | Qt::MoveAction, mime, Qt::LeftButton,
                     Qt::NoModifier)
    {
        default_action = Qt::MoveAction;
        setDropAction(Qt::MoveAction);
    }
};

// Drags a payload over the panel and drops it, as the system's drag loop does; the action
// the drop reports back to its source, IgnoreAction when it was refused.
Qt::DropAction dropOn(QWidget *target, QMimeData *mime)
{
    QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction | Qt::MoveAction, mime, Qt::LeftButton,
                          Qt::NoModifier);
    QApplication::sendEvent(target, &enter);
    MoveDrop drop(mime);
    drop.setAccepted(false);
    QApplication::sendEvent(target, &drop);
    return drop.isAccepted() ? drop.dropAction() : Qt::IgnoreAction;
}

} // namespace

class FileOperationsTest : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void pasteFiles_data();
    void pasteFiles();
    void pasteSkipsWhatIsNoRegularFile();
    void pasteImageTwice();
    void drop_data();
    void drop();
    void nothingToPaste();
    void deleteAsksOnce_data();
    void deleteAsksOnce();
    void trashWithoutDataFolder();
    void contextMenuEnabling();
    void copyImage_data();
    void copyImage();
    void dragCarriesTheSelection_data();
    void dragCarriesTheSelection();
    void selectionSumBeyond4GiB();

private:
    void showFolder(const QString &path);
    std::unique_ptr<QTemporaryDir> dir;
    std::unique_ptr<ThumbnailPanel> panel;
};

void FileOperationsTest::init()
{
    dir = std::make_unique<QTemporaryDir>(QDir::homePath() + QStringLiteral("/folder-XXXXXX"));
    panel = std::make_unique<ThumbnailPanel>(QStringLiteral("Thumbnails"));
    panel->resize(800, 400);
    panel->show();
}

void FileOperationsTest::showFolder(const QString &path)
{
    panel->setFolder(path);
    QCoreApplication::processEvents();
}

void FileOperationsTest::pasteFiles_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QStringList>("present");
    QTest::addColumn<QString>("created");
    QTest::newRow("free name") << "a.jpg" << QStringList() << "a.jpg";
    QTest::newRow("numbered copies") << "a.jpg" << QStringList{"a.jpg", "a copy.jpg", "a copy 2.jpg"}
                                     << "a copy 3.jpg";
    QTest::newRow("dotted name keeps its middle")
            << "a.b.c.jpg" << QStringList{"a.b.c.jpg"} << "a.b.c copy.jpg";
    QTest::newRow("dotted name, numbered")
            << "a.b.c.jpg" << QStringList{"a.b.c.jpg", "a.b.c copy.jpg"} << "a.b.c copy 2.jpg";
    QTest::newRow("spaces and letters") << "Фото мая.png" << QStringList{"Фото мая.png"}
                                        << "Фото мая copy.png";
}

void FileOperationsTest::pasteFiles()
{
    QFETCH(QString, name);
    QFETCH(QStringList, present);
    QFETCH(QString, created);
    QTemporaryDir source;
    const QString original = source.filePath(name);
    touch(original, 123);
    for (const QString &file : present)
        touch(dir->filePath(file), 7);
    showFolder(dir->path());

    auto *mime = new QMimeData;
    mime->setUrls({QUrl::fromLocalFile(original), QUrl(QStringLiteral("https://example.org/x.jpg"))});
    QApplication::clipboard()->setMimeData(mime);
    panel->view()->paste();
    QStringList expected = present;
    expected << created;
    expected.sort();
    QCOMPARE(names(dir->path()), expected);
    QCOMPARE(QFileInfo(dir->filePath(created)).size(), 123);
    // Nothing that was there is overwritten.
    for (const QString &file : present)
        QCOMPARE(QFileInfo(dir->filePath(file)).size(), 7);
}

void FileOperationsTest::pasteImageTwice()
{
    showFolder(dir->path());
    QApplication::clipboard()->setImage(ImageFixtures::pattern(QSize(12, 8)));
    panel->view()->paste();
    panel->view()->paste();
    QCOMPARE(names(dir->path()), QStringList({"Clipboard copy.png", "Clipboard.png"}));
    QCOMPARE(QImage(dir->filePath(QStringLiteral("Clipboard copy.png"))).size(), QSize(12, 8));
}

void FileOperationsTest::pasteSkipsWhatIsNoRegularFile()
{
    QTemporaryDir source;
    const QString fifo = source.filePath(QStringLiteral("pipe.png"));
    QCOMPARE(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    QVERIFY(QFile::link(fifo, source.filePath(QStringLiteral("link to pipe.png"))));
    QVERIFY(QDir(source.path()).mkdir(QStringLiteral("folder.png")));
    touch(source.filePath(QStringLiteral("photo.png")), 5);
    // A writer that serves every reader of the pipe, so that reading it ends instead of
    // waiting: a copy of it would then show as a file.
    std::atomic<bool> stop{false};
    std::thread writer([&] {
        while (!stop) {
            const int fd = ::open(QFile::encodeName(fifo).constData(), O_WRONLY | O_CLOEXEC);
            if (fd >= 0)
                ::close(fd);
        }
    });
    showFolder(dir->path());
    QMimeData mime;
    QStringList paths;
    for (const QString &name : QDir(source.path()).entryList(QDir::AllEntries | QDir::System
                                                             | QDir::NoDotAndDotDot))
        paths << source.filePath(name);
    mime.setUrls(ThumbnailListView::fileUrls(paths));
    const bool pasted = panel->pasteMimeData(&mime);

    // Release the writer: with a reader open its open() returns.
    stop = true;
    const int reader = ::open(QFile::encodeName(fifo).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    writer.join();
    ::close(reader);
    QVERIFY(pasted);
    QCOMPARE(QDir(dir->path()).entryList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot),
             QStringList{"photo.png"});
    QCOMPARE(QFileInfo(dir->filePath(QStringLiteral("photo.png"))).size(), 5);
}

void FileOperationsTest::drop_data()
{
    QTest::addColumn<QString>("change");
    QTest::addColumn<int>("action");
    QTest::addColumn<QStringList>("after");
    // Dropping one's own thumbnails copies them; a source that honoured Move would delete
    // its originals, so the drop never reports anything but Copy.
    QTest::newRow("own file") << QString() << int(Qt::CopyAction)
                              << QStringList{"holiday copy.png", "holiday.png"};
    QTest::newRow("source gone") << "source gone" << int(Qt::IgnoreAction) << QStringList();
    QTest::newRow("shown folder gone")
            << "folder gone" << int(Qt::IgnoreAction) << QStringList{"holiday.png"};
}

void FileOperationsTest::drop()
{
    QFETCH(QString, change);
    QFETCH(int, action);
    QFETCH(QStringList, after);
    const QString file = dir->filePath(QStringLiteral("holiday.png"));
    QVERIFY(ImageFixtures::writeImage(file, QSize(10, 10)));
    const QString shown = dir->filePath(QStringLiteral("shown"));
    QVERIFY(QDir().mkdir(shown));
    showFolder(change == QLatin1String("folder gone") ? shown : dir->path());
    QMimeData mime;
    mime.setUrls(ThumbnailListView::fileUrls({file}));
    if (change == QLatin1String("source gone"))
        QVERIFY(QFile::remove(file));
    QVERIFY(QDir().rmdir(shown));
    QCOMPARE(int(dropOn(panel.get(), &mime)), action);
    QCOMPARE(names(dir->path()), after);
}

void FileOperationsTest::nothingToPaste()
{
    showFolder(dir->path());
    QMimeData mime;
    mime.setData(QStringLiteral("application/x-something"), "data");
    QVERIFY(!panel->pasteMimeData(&mime));
    QVERIFY(!panel->pasteMimeData(nullptr));
    QCOMPARE(dropOn(panel.get(), &mime), Qt::IgnoreAction);
    QVERIFY(names(dir->path()).isEmpty());
}

void FileOperationsTest::deleteAsksOnce_data()
{
    QTest::addColumn<int>("answer");
    QTest::newRow("no") << int(QMessageBox::No);
    QTest::newRow("yes") << int(QMessageBox::Yes);
}

void FileOperationsTest::deleteAsksOnce()
{
    QFETCH(int, answer);
    const QStringList files{dir->filePath(QStringLiteral("one.png")),
                            dir->filePath(QStringLiteral("two.png")),
                            dir->filePath(QStringLiteral("kept.png"))};
    for (const QString &file : files)
        QVERIFY(ImageFixtures::writeImage(file, QSize(4, 4)));
    showFolder(dir->path());
    ThumbnailListView *view = panel->view();
    view->setCurrentFile(files.at(0));
    const QPersistentModelIndex first = view->currentIndex();
    view->setCurrentFile(files.at(1));
    view->selectionModel()->select(first, QItemSelectionModel::Select);
    QCOMPARE(view->selectionModel()->selectedIndexes().size(), 2);

    ModalAnswerer *answerer = ModalAnswerer::messageBox(QMessageBox::StandardButton(answer));
    view->remove();
    QVERIFY(answerer->answered());
    QCOMPARE(answerer->text(), QStringLiteral("Are you sure you want to remove 2 file(s) to trash?"));
    if (answer == QMessageBox::No) {
        QCOMPARE(names(dir->path()).size(), 3);
        return;
    }
    QCOMPARE(names(dir->path()), QStringList{"kept.png"});
    const QString trash =
            QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) + "/Trash";
    for (const QString &name : {QStringLiteral("one.png"), QStringLiteral("two.png")}) {
        QVERIFY2(QFile::exists(trash + "/files/" + name), qPrintable(trash));
        QFile info(trash + "/info/" + name + ".trashinfo");
        QVERIFY(info.open(QIODevice::ReadOnly));
        QVERIFY(info.readAll().contains(("Path=" + dir->filePath(name)).toUtf8()));
    }
}

void FileOperationsTest::trashWithoutDataFolder()
{
    // A fresh account: no data folder yet. The file must reach a real trash, not a
    // "files" folder beside the working directory.
    const QString dataHome = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    QDir(dataHome).removeRecursively();
    QVERIFY(!QFileInfo::exists(dataHome));
    QTemporaryDir work;
    const QString previous = QDir::currentPath();
    QDir::setCurrent(work.path());

    const QString file = dir->filePath(QStringLiteral("gone.png"));
    touch(file);
    QString trashed;
    const bool moved = moveToRecycleBin(file, &trashed);
    QDir::setCurrent(previous);
    QVERIFY(moved);
    QVERIFY(QFileInfo(trashed).isAbsolute());
    QVERIFY(trashed.startsWith(dataHome + QStringLiteral("/Trash/files/")));
    QVERIFY(QFile::exists(trashed));
    QVERIFY(!QFile::exists(file));
    QVERIFY(!QFileInfo::exists(work.filePath(QStringLiteral("files"))));

    // A file that does not exist is not reported as trashed.
    QVERIFY(!moveToRecycleBin(dir->filePath(QStringLiteral("missing.png"))));
}

void FileOperationsTest::contextMenuEnabling()
{
    QVERIFY(ImageFixtures::writeImage(dir->filePath(QStringLiteral("a.png")), QSize(4, 4)));
    showFolder(dir->path());
    ThumbnailListView *view = panel->view();
    view->clearSelection();
    QApplication::clipboard()->clear();
    const QPoint empty(view->viewport()->width() - 2, view->viewport()->height() - 2);
    view->prepareFileActions(empty);
    for (QAction *action : {view->openAction(), view->deleteAction(), view->copyAction(),
                            view->copyImageAction(), view->pasteAction()})
        QVERIFY2(!action->isEnabled(), qPrintable(action->text()));

    QApplication::clipboard()->setImage(ImageFixtures::pattern(QSize(3, 3)));
    view->prepareFileActions(empty);
    QVERIFY(view->pasteAction()->isEnabled());

    // Over an item everything applies to it.
    const QPoint onItem = view->visualRect(view->model()->index(0, 0)).center();
    view->prepareFileActions(onItem);
    QVERIFY(view->openAction()->isEnabled());
    QVERIFY(view->copyImageAction()->isEnabled());
    QSignalSpy opened(view, &ThumbnailListView::openInNewWindow);
    view->open();
    QCOMPARE(opened.value(0).value(0).toString(), dir->filePath(QStringLiteral("a.png")));
}

void FileOperationsTest::copyImage_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QSize>("copied");
    QTest::addColumn<QString>("corners");
    QTest::newRow("photo mirrored and turned")
            << "photo.jpg" << ImageFixtures::jpegWithOrientation(QSize(48, 32), 7) << QSize(32, 48)
            << "dbca";
    QTest::newRow("png claiming 17000x17000")
            << "huge.png" << ImageFixtures::pngHeaderClaiming(17000, 17000) << QSize() << "";
    QTest::newRow("icon holding a png claiming 30000x30000")
            << "huge.ico"
            << ImageFixtures::icoHolding(ImageFixtures::pngHeaderClaiming(30000, 30000)) << QSize()
            << "";
}

void FileOperationsTest::copyImage()
{
    QFETCH(QString, name);
    QFETCH(QByteArray, bytes);
    QFETCH(QSize, copied);
    QFETCH(QString, corners);
    QVERIFY(ImageFixtures::writeFile(dir->filePath(name), bytes));
    showFolder(dir->path());
    ThumbnailListView *view = panel->view();
    const QImage before = ImageFixtures::pattern(QSize(3, 3));
    QApplication::clipboard()->setImage(before);

    const qint64 peakBefore = peakAddressSpace();
    view->prepareFileActions(view->visualRect(view->model()->index(0, 0)).center());
    view->copyImageAction()->trigger();
    QVERIFY(peakAddressSpace() - peakBefore < qint64(512) << 20);
    const QImage image = QApplication::clipboard()->image();
    // The picture as it is shown, or, when it cannot be read safely, the clipboard as it was.
    if (copied.isValid()) {
        QCOMPARE(image.size(), copied);
        QCOMPARE(ImageFixtures::corners(image), corners);
    } else {
        QCOMPARE(image.convertToFormat(QImage::Format_ARGB32), before);
    }
}

void FileOperationsTest::dragCarriesTheSelection_data()
{
    QTest::addColumn<QString>("landing");
    QTest::addColumn<QString>("leaving");
    QTest::newRow("folder unchanged") << QString() << QString();
    // The folder is listed again between the press and the move.
    QTest::newRow("a file lands") << "new.png" << QString();
    QTest::newRow("a dragged file leaves") << QString() << "first one.png";
}

void FileOperationsTest::dragCarriesTheSelection()
{
    QFETCH(QString, landing);
    QFETCH(QString, leaving);
    RecordingView view;
    ThumbnailListModel model(&view);
    ThumbnailSortFilterProxyModel proxy;
    proxy.setSourceModel(&model);
    view.setModel(&proxy);
    view.resize(600, 300);
    view.show();
    const QStringList files{dir->filePath(QStringLiteral("first one.png")),
                            dir->filePath(QStringLiteral("второй.png"))};
    for (const QString &file : files)
        QVERIFY(ImageFixtures::writeImage(file, QSize(4, 4)));
    model.setFolder(dir->path());
    proxy.sort(0);
    view.selectAll();

    QWidget *viewport = view.viewport();
    const QPoint start = view.visualRect(proxy.index(0, 0)).center();
    auto press = mouseEvent(QEvent::MouseButtonPress, start, Qt::LeftButton);
    QApplication::sendEvent(viewport, &press);
    const int distance = QApplication::startDragDistance();
    auto shortMove = mouseEvent(QEvent::MouseMove, start + QPoint(distance - 1, 0), Qt::LeftButton);
    QApplication::sendEvent(viewport, &shortMove);
    QVERIFY(view.drags.isEmpty());
    if (!landing.isEmpty())
        QVERIFY(ImageFixtures::writeImage(dir->filePath(landing), QSize(4, 4)));
    if (!leaving.isEmpty())
        QVERIFY(QFile::remove(dir->filePath(leaving)));
    model.tDirectoryChanged();
    auto longMove = mouseEvent(QEvent::MouseMove, start + QPoint(distance, 0), Qt::LeftButton);
    QApplication::sendEvent(viewport, &longMove);
    QCOMPARE(view.drags.size(), 1);

    QStringList dragged;
    for (const QUrl &url : view.drags.first()) {
        QVERIFY(url.isLocalFile());
        QVERIFY(url.toString(QUrl::FullyEncoded).startsWith(QStringLiteral("file:///")));
        QVERIFY(!url.toString(QUrl::FullyEncoded).startsWith(QStringLiteral("file:////")));
        QVERIFY(!url.toString(QUrl::FullyEncoded).contains(QLatin1Char(' ')));
        dragged << url.toLocalFile();
    }
    dragged.sort();
    QStringList expected = files;
    expected.removeAll(dir->filePath(leaving));
    expected.sort();
    QCOMPARE(dragged, expected);
}

void FileOperationsTest::selectionSumBeyond4GiB()
{
    // Sparse files: large sizes without the disk space.
    const qint64 three = qint64(3) << 30;
    touch(dir->filePath(QStringLiteral("big1.png")), three);
    touch(dir->filePath(QStringLiteral("big2.png")), three);
    StatusBar bar;
    panel->view()->setStatusBar(&bar);
    showFolder(dir->path());
    panel->view()->selectAll();
    QCOMPARE(bar.thirdText().section(QStringLiteral("  "), 1),
             QStringLiteral("Selected 2 file(s) 6144.00 MB"));
    // A re-listing drops the selection; the sum follows.
    touch(dir->filePath(QStringLiteral("new.png")));
    panel->model()->tDirectoryChanged();
    QCOMPARE(bar.thirdText().section(QStringLiteral("  "), 1),
             QStringLiteral("Selected 0 file(s) 0 B"));
    // A selected file written anew: the sum takes its new size.
    panel->view()->selectAll();
    touch(dir->filePath(QStringLiteral("big1.png")), qint64(1) << 30);
    QTRY_COMPARE(bar.thirdText().section(QStringLiteral("  "), 1),
                 QStringLiteral("Selected 3 file(s) 4096.00 MB"));
    panel->view()->setStatusBar(nullptr);
}

VIREON_TEST_MAIN(FileOperationsTest)
#include "tst_fileoperations.moc"
