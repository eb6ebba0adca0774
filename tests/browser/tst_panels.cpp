#include "browser/statusbar.h"
#include "browser/thumbnaileditor.h"
#include "browser/thumbnaillistmodel.h"
#include "browser/thumbnaillistview.h"
#include "browser/thumbnailpanel.h"
#include "browser/thumbnailsortfilterproxymodel.h"
#include "browser/treepanel.h"
#include "browserfixtures.h"
#include "imagefixtures.h"
#include "modalanswerer.h"
#include "platform/drivewatcher.h"
#include "platform/folderwritewatcher.h"
#include "platform/recyclebin.h"
#include "testinput.h"
#include "testmain.h"

#include <QClipboard>
#include <QDrag>
#include <QFileSystemModel>
#include <QMimeData>
#include <QStandardPaths>
#include <QTreeView>

#include <atomic>
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

Q_DECLARE_METATYPE(QAbstractItemDelegate::EndEditHint)

using BrowserFixtures::rowNames;
using BrowserFixtures::touch;

namespace {

// A view whose drags are recorded instead of handed to the system's drag loop.
class RecordingView : public ThumbnailListView
{
public:
    QList<QList<QUrl>> drags;

protected:
    void execDrag(QDrag *drag) override
    {
        drags << drag->mimeData()->urls();
        delete drag;
    }
};

// A drop whose source proposes Move, as file managers do.
struct MoveDrop : QDropEvent
{
    explicit MoveDrop(QMimeData *mime)
        : QDropEvent(QPointF(10, 10), Qt::CopyAction | Qt::MoveAction, mime, Qt::LeftButton,
                     Qt::NoModifier)
    {
        default_action = Qt::MoveAction;
        setDropAction(Qt::MoveAction);
        setAccepted(false);
    }
};

} // namespace

// The thumbnail panel's file operations, renaming and sorting, the status bar, and the
// folder tree with its mount watcher.
class PanelsTest : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup() { panel.reset(); }
    void transfer_data();
    void transfer();
    void trash();
    void dragCarriesTheSelection_data();
    void dragCarriesTheSelection();
    void selectionSumBeyond4GiB();
    void rename_data();
    void rename();
    void sorting_data();
    void sorting();
    void statusTexts_data();
    void statusTexts();
    void treeFollowsFolders();
    void driveWatcher();
    void writeWatcherForgetsTheOldFolder();

private:
    QString path(const QString &name) const { return folder + '/' + name; }
    QStringList names() const { return QDir(folder).entryList(QDir::Files | QDir::System); }
    std::unique_ptr<QTemporaryDir> top;
    QString folder;
    std::unique_ptr<ThumbnailPanel> panel;
};

void PanelsTest::init()
{
    top = std::make_unique<QTemporaryDir>(QDir::homePath() + "/top-XXXXXX");
    folder = top->filePath("folder");
    QVERIFY(QDir().mkpath(folder + "/sub"));
    panel = std::make_unique<ThumbnailPanel>("Thumbnails");
    panel->resize(800, 400);
    panel->show();
}

void PanelsTest::transfer_data()
{
    QTest::addColumn<QString>("how");
    QTest::addColumn<QString>("name"); // of the file copied, empty for a picture
    QTest::addColumn<QStringList>("present");
    QTest::addColumn<QString>("created"); // empty: nothing copied
    const auto row = [](const char *how, const QString &name, const QStringList &present,
                        const QString &created) {
        QTest::newRow(qPrintable(how + (": " + name + " -> " + created)))
                << how << name << present << created;
    };
    row("paste", "a.jpg", { "a.jpg", "a copy.jpg", "a copy 2.jpg" }, "a copy 3.jpg");
    row("paste", "a.b.c.jpg", { "a.b.c.jpg", "a.b.c copy.jpg" }, "a.b.c copy 2.jpg");
    row("paste", "Фото мая.png", { "Фото мая.png" }, "Фото мая copy.png");
    row("paste", "", { "Clipboard.png" }, "Clipboard copy.png");
    row("paste, with what is no regular file", "photo.png", {}, "photo.png");
    // A drop copies; a source that honoured Move would delete its originals.
    row("drop", "holiday.png", { "holiday.png" }, "holiday copy.png");
    row("drop, source gone", "holiday.png", {}, "");
    row("drop, shown folder gone", "holiday.png", {}, "");
}

void PanelsTest::transfer()
{
    QFETCH(QString, how);
    QFETCH(QString, name);
    QFETCH(QStringList, present);
    QFETCH(QString, created);
    QTemporaryDir source;
    for (const QString &file : present)
        QVERIFY(touch(path(file), 7));
    QList<QUrl> urls { QUrl::fromLocalFile(source.filePath(name)), QUrl("https://a.org/x.jpg") };
    const QByteArray fifo = QFile::encodeName(source.filePath("pipe.png"));
    std::atomic<bool> stop { false };
    std::thread writer;
    if (how.endsWith("no regular file")) {
        QVERIFY(::mkfifo(fifo.constData(), 0600) == 0
                && QFile::link(fifo, source.filePath("link.png"))
                && QDir(source.path()).mkdir("folder.png"));
        urls << ThumbnailListView::fileUrls(
                { fifo, source.filePath("link.png"), source.filePath("folder.png") });
        // A writer that serves every reader of the pipe, so that reading it ends instead of
        // waiting: a copy of it would then show as a file.
        writer = std::thread([&stop, fifo] {
            while (!stop)
                ::close(::open(fifo.constData(), O_WRONLY | O_CLOEXEC));
        });
    }
    QVERIFY(QDir().mkdir(path("shown")));
    panel->setFolder(how.endsWith("folder gone") ? path("shown") : folder);
    QVERIFY(QDir().rmdir(path("shown")));
    auto *mime = new QMimeData;
    if (how.startsWith("paste") && name.isEmpty())
        mime->setImageData(ImageFixtures::pattern(QSize(12, 8)));
    else if (name.isEmpty())
        mime->setData("application/x-something", "data");
    else if (touch(source.filePath(name), 123))
        mime->setUrls(urls);
    if (how.endsWith("source gone"))
        QVERIFY(QFile::remove(source.filePath(name)));
    if (how.startsWith("paste")) {
        QApplication::clipboard()->setMimeData(mime);
        panel->view()->paste();
        if (writer.joinable()) {
            stop = true; // with a reader open, the writer's open() returns
            const int reader = ::open(fifo.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
            writer.join();
            ::close(reader);
        }
    } else {
        QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction | Qt::MoveAction, mime, Qt::LeftButton,
                              Qt::NoModifier);
        QApplication::sendEvent(panel.get(), &enter);
        MoveDrop drop(mime);
        QApplication::sendEvent(panel.get(), &drop);
        QCOMPARE(drop.isAccepted() ? drop.dropAction() : Qt::IgnoreAction,
                 created.isEmpty() ? Qt::IgnoreAction : Qt::CopyAction);
        delete mime;
    }
    QStringList expected = present;
    if (!created.isEmpty())
        expected << created;
    expected.sort();
    QCOMPARE(names(), expected);
    // Nothing that was there is overwritten.
    for (const QString &file : present)
        QCOMPARE(QFileInfo(path(file)).size(), 7);
    if (!created.isEmpty())
        QVERIFY(name.isEmpty() ? QImage(path(created)).size() == QSize(12, 8)
                               : QFileInfo(path(created)).size() == 123);
}

void PanelsTest::trash()
{
    // A fresh account: no data folder yet. The files must reach a real trash, not a
    // "files" folder beside the working directory.
    const QString data = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    QDir(data).removeRecursively();
    QTemporaryDir work;
    const QString previous = QDir::currentPath();
    QDir::setCurrent(work.path());
    for (const char *name : { "one.png", "two.png", "kept.png" })
        QVERIFY(touch(path(name)));
    panel->setFolder(folder);
    ThumbnailListView *view = panel->view();
    for (const bool yes : { false, true }) {
        view->setCurrentFile(path("one.png"));
        view->selectionModel()->select(view->model()->index(2, 0), QItemSelectionModel::Select);
        ModalAnswerer *answer = ModalAnswerer::messageBox(yes ? QMessageBox::Yes : QMessageBox::No);
        view->remove();
        QCOMPARE(answer->text(), "Are you sure you want to remove 2 file(s) to trash?");
        QCOMPARE(names().join(' '), yes ? "kept.png" : "kept.png one.png two.png");
    }
    QVERIFY(!QFileInfo::exists(work.filePath("files")));
    for (const QString name : { "one.png", "two.png" }) {
        QFile info(data + "/Trash/info/" + name + ".trashinfo");
        QVERIFY(QFile::exists(data + "/Trash/files/" + name) && info.open(QIODevice::ReadOnly)
                && info.readAll().contains(("\nPath=" + path(name)).toUtf8()));
    }
    // With no data folder to be had, a file is not reported as trashed, and stays.
    QVERIFY(QDir(data).removeRecursively() && QFile(data).open(QIODevice::WriteOnly)
            && !moveToRecycleBin(path("kept.png")) && QFileInfo::exists(path("kept.png"))
            && QFile::remove(data));
    QDir::setCurrent(previous);
}

void PanelsTest::dragCarriesTheSelection_data()
{
    QTest::addColumn<QString>("landing");
    QTest::addColumn<QString>("leaving");
    QTest::newRow("folder unchanged") << QString() << QString();
    // The folder is listed again between the press and the move.
    QTest::newRow("a dragged file leaves") << QString() << "first one.png";
}

void PanelsTest::dragCarriesTheSelection()
{
    QFETCH(QString, landing);
    QFETCH(QString, leaving);
    RecordingView view;
    ThumbnailListModel model(&view);
    ThumbnailSortFilterProxyModel proxy;
    proxy.setSourceModel(&model);
    view.setModel(&proxy);
    view.show();
    QStringList expected { path("first one.png"), path("второй.png") };
    QVERIFY(touch(expected.at(0)) && touch(expected.at(1)));
    model.setFolder(folder);
    proxy.sort(0);
    view.selectAll();
    const QPoint start = view.visualRect(proxy.index(0, 0)).center();
    const QPoint step(QApplication::startDragDistance() - 1, 0);
    for (QMouseEvent event : { mouseEvent(QEvent::MouseButtonPress, start, Qt::LeftButton),
                               mouseEvent(QEvent::MouseMove, start + step, Qt::LeftButton) })
        QApplication::sendEvent(view.viewport(), &event);
    QVERIFY(view.drags.isEmpty());
    QVERIFY(landing.isEmpty() || touch(path(landing)));
    QVERIFY(leaving.isEmpty()
            || (QFile::remove(path(leaving)) && expected.removeAll(path(leaving))));
    model.tDirectoryChanged();
    auto move = mouseEvent(QEvent::MouseMove, start + step + QPoint(1, 0), Qt::LeftButton);
    QApplication::sendEvent(view.viewport(), &move);
    QCOMPARE(view.drags.size(), 1);
    QStringList dragged;
    for (const QUrl &url : view.drags.first()) {
        // Three slashes and no raw space, as file managers expect.
        QVERIFY(QRegularExpression("^file:///[^/ ][^ ]*$")
                        .match(url.toString(QUrl::FullyEncoded))
                        .hasMatch());
        dragged << url.toLocalFile();
    }
    dragged.sort();
    QCOMPARE(dragged, expected);
}

void PanelsTest::selectionSumBeyond4GiB()
{
    StatusBar bar;
    const auto selected = [&] { return bar.thirdText().section("  ", 1); };
    QVERIFY(touch(path("big1.png"), qint64(3) << 30) && touch(path("big2.png"), qint64(3) << 30));
    panel->view()->setStatusBar(&bar);
    panel->setFolder(folder);
    panel->view()->selectAll();
    QCOMPARE(selected(), "Selected 2 file(s) 6144.00 MB");
    // A re-listing drops the selection; the sum follows.
    QVERIFY(touch(path("new.png")));
    panel->model()->tDirectoryChanged();
    QCOMPARE(selected(), "Selected 0 file(s) 0 B");
    // A selected file written anew: the sum takes its new size.
    panel->view()->selectAll();
    QVERIFY(touch(path("big1.png"), qint64(1) << 30));
    QTRY_COMPARE(selected(), "Selected 3 file(s) 4096.00 MB");
    panel->view()->setStatusBar(nullptr);
}

void PanelsTest::rename_data()
{
    QTest::addColumn<QStringList>("present"); // "->name": a dangling link
    QTest::addColumn<QString>("typed"); // over a.b.jpg's "a.b", shown selected
    QTest::addColumn<int>("key");
    QTest::addColumn<QString>("relisting"); // "watch" or "listing", during the edit or question
    QTest::addColumn<QString>("offered"); // by the question about a name taken
    QTest::addColumn<QString>("renamed");
    const auto row = [](const char *tag, const QStringList &present, const QString &typed,
                        const QString &renamed, const QString &offered = "",
                        const char *relisting = "", int key = Qt::Key_Return) {
        QTest::newRow(tag) << present << typed << key << relisting << offered << renamed;
    };
    row("whole name up to the last dot", {}, "a.2024.beach", "a.2024.beach.jpg");
    row("keypad Enter", {}, "Фото", "Фото.jpg", "", "", Qt::Key_Enter);
    row("other keys edit", {}, "b", "a.b.jpg", "", "", Qt::Key_Z);
    // Refused: each of these would otherwise hide, move or truncate the file.
    for (const char *typed : { "", ".", "..", "sub/moved", "../moved", "two\nlines" })
        row(*typed ? typed : "empty", {}, typed, "a.b.jpg");
    row("NUL", {}, QString("cut") + QChar(0) + "here", "a.b.jpg");
    row("taken, no", { "x.jpg" }, "x", "a.b.jpg", "x 2.jpg");
    row("taken, yes: next free number", { "x.jpg", "x 2.jpg" }, "x", "x 3.jpg", "x 3.jpg");
    row("taken by a dangling link", { "x.jpg", "->x 2.jpg" }, "x", "x 3.jpg", "x 3.jpg");
    row("taken, dotted name", { "x.y.jpg" }, "x.y", "x.y 2.jpg", "x.y 2.jpg");
    // The folder watch's re-listing waits for the editor; a new listing of the folder
    // takes the editor away, but the question still finishes the rename safely.
    row("file lands while editing", { "x.jpg" }, "b", "b.jpg", "", "watch");
    row("file lands during the question", { "x.jpg" }, "x", "x 2.jpg", "x 2.jpg", "watch");
    row("folder listed during the question", { "x.jpg" }, "x", "x 2.jpg", "x 2.jpg", "listing");
    // Asked directly, as a caller that skipped the editor's checks would: nothing is replaced.
    row("directly, free name", {}, "x.jpg", "x.jpg", "", "", 0);
    row("directly, name of another file", { "x.jpg" }, "x.jpg", "a.b.jpg", "", "", 0);
    row("directly, name of a dangling link", { "->x.jpg" }, "x.jpg", "a.b.jpg", "", "", 0);
    for (const char *target : { "..", "sub/moved.jpg" })
        row(qPrintable(QString("directly, ") + target), {}, target, "a.b.jpg", "", "", 0);
    row("directly, cut short by NUL", {}, QString::fromLatin1("cut\0.jpg", 8), "a.b.jpg", "", "",
        0);
}

void PanelsTest::rename()
{
    QFETCH(QStringList, present);
    QFETCH(QString, typed);
    QFETCH(int, key);
    QFETCH(QString, relisting);
    QFETCH(QString, offered);
    QFETCH(QString, renamed);
    QStringList expected { renamed };
    for (QString file : present) {
        QVERIFY(file.startsWith("->") ? QFile::link(top->filePath("gone"), path(file.remove(0, 2)))
                                      : touch(path(file), 5));
        expected << file;
    }
    QVERIFY(touch(path("a.b.jpg"), 9));
    panel->setFolder(folder);
    panel->view()->setCurrentFile(path("a.b.jpg"));
    QPointer<ThumbnailEditor> editor;
    if (!key) {
        // Asked directly, as a caller that skipped the editor's checks would.
        QCOMPARE(panel->model()->setData(panel->model()->indexOf(path("a.b.jpg")), path(typed)),
                 renamed != "a.b.jpg");
    } else {
        panel->view()->edit(panel->view()->currentIndex());
        editor = qobject_cast<ThumbnailEditor *>(
                panel->view()->indexWidget(panel->view()->currentIndex()));
        QVERIFY(editor);
        QCOMPARE(editor->textCursor().selectedText(), "a.b");
        qRegisterMetaType<QAbstractItemDelegate::EndEditHint>();
        QSignalSpy closed(panel->view()->itemDelegate(), &QAbstractItemDelegate::closeEditor);
        // As typed: the editor keeps it when its item changes.
        editor->setPlainText(typed);
        editor->document()->setModified(true);
        editor->moveCursor(QTextCursor::End);
        const auto relist = [&] {
            // The edited item changes too, as when its thumbnail is made.
            panel->model()->updateThumbnail(path("a.b.jpg"));
            touch(path("new.jpg"));
            if (relisting == "watch")
                panel->model()->tDirectoryChanged();
            else
                panel->setFolder(folder);
            // What the re-listing let go is deleted now, inside the question's event loop.
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        };
        if (!relisting.isEmpty())
            expected << "new.jpg";
        ModalAnswerer *answer = nullptr;
        if (!offered.isEmpty()) {
            const bool yes = renamed == offered;
            answer = relisting.isEmpty()
                    ? ModalAnswerer::messageBox(yes ? QMessageBox::Yes : QMessageBox::No)
                    : ModalAnswerer::messageBox(QMessageBox::Yes, relist);
        } else if (!relisting.isEmpty()) {
            relist();
            QVERIFY(editor && editor->isVisible() && editor->toPlainText() == typed);
        }
        QTest::keyClick(editor, Qt::Key(key));
        if (answer)
            QCOMPARE(answer->text(),
                     QString("'%1' already exists. Do you want to rename '%2' to '%3'?")
                             .arg(path(typed + ".jpg"), path("a.b.jpg"), path(offered)));
        if (relisting.isEmpty())
            QCOMPARE(closed.count(), int(key != Qt::Key_Z));
    }
    // Every file below the temporary folder, none moved out of the shown one.
    QStringList found;
    for (QDirIterator it(top->path(), QDir::Files | QDir::System, QDirIterator::Subdirectories);
         it.hasNext();)
        found << QDir(folder).relativeFilePath(it.next());
    found.sort();
    expected.sort();
    QCOMPARE(found, expected);
    QCOMPARE(QFileInfo(path(renamed)).size(), 9);
    if (key == Qt::Key_Z)
        QCOMPARE(editor->toPlainText(), typed + 'z');
    if (relisting.isEmpty())
        return;
    // The waiting re-listing comes once the editor has closed.
    const auto listed = [this] {
        QStringList names = rowNames(panel->model());
        names.sort();
        return names;
    };
    QTRY_COMPARE(listed(), expected);
    QTRY_COMPARE(panel->view()->currentIndex().data().toString(), renamed);
}

void PanelsTest::sorting_data()
{
    QTest::addColumn<QStringList>("files"); // each a minute older than the one before it
    QTest::addColumn<QVector<qint64>>("sizes");
    QTest::addColumn<QVector<int>>("sortings"); // mode, order: at the start, then chosen
    QTest::addColumn<QStringList>("expected");
    QTest::addColumn<QStringList>("relisted"); // these, with d.gif and b.png added, a.png gone
    const QStringList photos { "b.jpg", "photo.png", "C.gif", "photo.jpg", "A.png" };
    const QStringList abc { "c.png", "a.png", "b.png" };
    const QStringList ace { "a.png", "c.jpg", "e.png" };
    const auto row = [](const char *tag, const QStringList &files, const QVector<qint64> &sizes,
                        const QVector<int> &sortings, const QStringList &expected,
                        const QStringList &relisted = {}) {
        QTest::newRow(tag) << files << sizes << sortings << expected << relisted;
    };
    row("name ignores case, equal base names keep listing order", photos, {}, { 1, 0 },
        { "A.png", "b.jpg", "C.gif", "photo.jpg", "photo.png" });
    row("name descending, equal base names keep listing order", photos, {}, { 1, 1 },
        { "photo.jpg", "photo.png", "C.gif", "b.jpg", "A.png" });
    // A fresh listing sorted first in descending order: the name keys are cached as it goes.
    QStringList dozen;
    for (char c = 'a'; c <= 'l'; ++c)
        dozen.prepend(QString(c) + ".png");
    row("name descending, first sort of a dozen", dozen, {}, { 1, 1 }, dozen);
    row("base name ends at the first dot", { "ab.png", "a b.png", "a.z.png" }, {}, { 1, 0 },
        { "a.z.png", "a b.png", "ab.png" });
    row("type follows the last dot, then name", { "b.png", "a.bmp.png", "c.jpg", "B.gif" }, {},
        { 2, 0 }, { "B.gif", "c.jpg", "a.bmp.png", "b.png" });
    row("modified", { "d.png", "c.png", "a.png" }, {}, { 3, 0 }, { "a.png", "c.png", "d.png" });
    row("size descending, past 4 GiB, then name", abc, { 30, (qint64(4) << 30) + 10, 30 }, { 4, 1 },
        { "a.png", "c.png", "b.png" });
    row("none at the start keeps the listing", abc, { 3, 1, 2 }, { 0, 1 },
        { "a.png", "b.png", "c.png" });
    row("name, relisted", ace, { 30, 20, 40 }, { 1, 1 }, { "e.png", "c.jpg", "a.png" },
        { "e.png", "d.gif", "c.jpg", "b.png" });
    row("type, relisted", ace, { 30, 20, 40 }, { 2, 1 }, { "e.png", "a.png", "c.jpg" },
        { "e.png", "b.png", "c.jpg", "d.gif" });
    row("none after ascending size, relisted", ace, { 30, 20, 40 }, { 4, 0, 0, 0, 0, 1 },
        { "c.jpg", "a.png", "e.png" }, { "c.jpg", "e.png" });
    row("none after descending size, relisted", ace, { 30, 20, 40 }, { 4, 1, 0, 1, 0, 0 },
        { "e.png", "a.png", "c.jpg" }, { "e.png", "c.jpg" });
}

void PanelsTest::sorting()
{
    QFETCH(QStringList, files);
    QFETCH(QVector<qint64>, sizes);
    QFETCH(QVector<int>, sortings);
    QFETCH(QStringList, expected);
    QFETCH(QStringList, relisted);
    const QDateTime now = QDateTime::currentDateTime();
    for (int i = 0; i < files.size(); ++i) {
        QFile file(path(files.at(i)));
        QVERIFY(file.open(QIODevice::WriteOnly) && file.resize(sizes.value(i))
                && file.setFileTime(now.addSecs(-60 * i), QFileDevice::FileModificationTime));
    }
    ThumbnailListView *view = panel->view();
    panel->sortMode = sortings.at(0);
    panel->sortOrder = sortings.at(1);
    panel->setFolder(folder);
    for (int i = 2; i + 1 < sortings.size(); i += 2)
        view->setSorting(sortings.at(i), sortings.at(i + 1));
    QCOMPARE(rowNames(panel->proxy()), expected);
    const int mode = sortings.at(sortings.size() - 2);
    const int order = sortings.last();
    if (!relisted.isEmpty()) {
        QVERIFY(QFile::remove(path("a.png")) && touch(path("d.gif"), 25)
                && touch(path("b.png"), 35));
        panel->model()->tDirectoryChanged();
        QStringList listed = rowNames(panel->proxy());
        QCOMPARE(listed.size(), 4);
        listed.erase(std::remove_if(listed.begin(), listed.end(),
                                    [&](const QString &name) { return !relisted.contains(name); }),
                     listed.end());
        QCOMPARE(listed, relisted);
    } else if (mode != 0) {
        // The result does not depend on the order shown before...
        view->setSorting(2, 1);
        view->setSorting(mode, order);
        QCOMPARE(rowNames(panel->proxy()), expected);
        // ...and the other order keeps the current file.
        view->setCurrentFile(path(expected.last()));
        view->setSorting(mode, 1 - order);
        QCOMPARE(view->currentIndex().data().toString(), expected.last());
    }
}

void PanelsTest::statusTexts_data()
{
    QTest::addColumn<QPoint>("position"); // over a picture of the given size
    QTest::addColumn<QSize>("size");
    QTest::addColumn<QRectF>("selection");
    QTest::addColumn<qint64>("bytes");
    QTest::addColumn<QString>("first");
    QTest::addColumn<QString>("sizeText");
    const auto row
            = [](const char *tag, const QPoint &position, const QRectF &selection, qint64 bytes,
                 const QString &first, const QString &sizeText, const QSize &size = { 40, 30 }) {
                  QTest::newRow(tag) << position << size << selection << bytes << first << sizeText;
              };
    row("inside, tiny selection", { 3, 5 }, { 1, 1, 0.4, 0.4 }, 1023, "3, 5    ", "1023 B");
    row("left of it, rounded", { -1, 5 }, { 2.5, 7.49, 10.5, 3.2 }, 1024, "        3,7 11x3",
        "1.00 KB");
    row("right edge, drawn upwards", { 40, 0 }, { 10, 10, -4, -2 }, 1048575, "        6,8 4x2",
        "1024.00 KB");
    row("last pixel", { 39, 29 }, {}, 1572864, "39, 29    ", "1.50 MB");
    row("below it", { 0, 30 }, {}, qint64(5) << 30, "         ", "5120.00 MB");
    row("panorama", { 39999, 29999 }, { 0, 0, 40000, 30000 }, 5, "39999, 29999   0,0 40000x30000",
        "5 B", { 40000, 30000 });
}

void PanelsTest::statusTexts()
{
    QFETCH(QPoint, position);
    QFETCH(QSize, size);
    QFETCH(QRectF, selection);
    QFETCH(qint64, bytes);
    QFETCH(QString, first);
    QFETCH(QString, sizeText);
    auto bar = std::make_unique<StatusBar>();
    bar->setImageSize(size);
    bar->setPosition(position);
    bar->setSelectionRect(selection);
    bar->setFileSize(bytes);
    const QDateTime time(QDate(2026, 12, 28), QTime(23, 58));
    bar->setDateTime(time);
    bar->setTotal(12345, bytes);
    bar->setSelected(2, 2048);
    QCOMPARE(bar->firstText(), first);
    QCOMPARE(bar->secondText(),
             QLocale().toString(time, QLocale::ShortFormat) + "  " + sizeText
                     + QStringLiteral("  %1x%2").arg(size.width()).arg(size.height()));
    QCOMPARE(bar->thirdText(), "Total 12345 file(s) " + sizeText + "  Selected 2 file(s) 2.00 KB");
}

void PanelsTest::treeFollowsFolders()
{
    for (const char *folder : { "alpha/deep/deeper", "beta", ".hidden" })
        QVERIFY(QDir().mkpath(path(folder)));
    QVERIFY(touch(path("alpha/notes.txt")));
    TreePanel tree("Tree");
    QTreeView *view = tree.view();
    // Where the tree goes; nowhere for a missing folder, a file or nothing.
    const QStringList targets { "alpha/deep/deeper", "beta/", "alpha/missing", "alpha/notes.txt",
                                "" };
    const QStringList reached { "alpha/deep/deeper", "beta", "", "", "" };
    for (int i = 0; i < targets.size(); ++i) {
        tree.setCurrentFolder(folder);
        // The main window follows the tree through this signal.
        QSignalSpy changed(view->selectionModel(), &QItemSelectionModel::currentChanged);
        tree.setCurrentFolder(targets.at(i).isEmpty() ? QString() : path(targets.at(i)));
        QCOMPARE(changed.count(), int(!reached.at(i).isEmpty()));
        QCOMPARE(tree.model()->filePath(view->currentIndex()),
                 reached.at(i).isEmpty() ? folder : path(reached.at(i)));
        QCOMPARE(view->currentIndex().column(), 0);
        for (QModelIndex index = view->currentIndex(); index.isValid(); index = index.parent())
            QVERIFY(view->isExpanded(index));
    }
}

void PanelsTest::driveWatcher()
{
    const auto openFiles
            = [] { return QDir("/proc/self/fd").entryList(QDir::Files | QDir::System).size(); };
    const int filesBefore = openFiles();
    {
        DriveWatcher watcher;
        QVERIFY(watcher.start() && watcher.start());
        watcher.stop();
        watcher.stop();
        QVERIFY(!watcher.isWatching() && openFiles() == filesBefore);
        // With no file descriptors left to open, the mount table cannot be watched...
        rlimit limit = {};
        QCOMPARE(::getrlimit(RLIMIT_NOFILE, &limit), 0);
        rlimit none = limit;
        none.rlim_cur = 0;
        QTest::ignoreMessage(QtWarningMsg, "DriveWatcher: Failed to watch the mount table: 24");
        QCOMPARE(::setrlimit(RLIMIT_NOFILE, &none), 0);
        const bool started = watcher.start();
        QCOMPARE(::setrlimit(RLIMIT_NOFILE, &limit), 0);
        QVERIFY(!started && !watcher.isWatching());
        // ...and a later attempt is not spoiled by the failure.
        QVERIFY(watcher.start() && watcher.isWatching());
    }
    QCOMPARE(openFiles(), filesBefore);

    // Changes every tenth of a second that never stop, each within the tree's delay of the
    // last: it refreshes neither for every change nor only once they stop.
    TreePanel tree("Tree");
    tree.driveWatcher()->stop(); // only the changes sent here count
    QSignalSpy refreshed(&tree, &TreePanel::modelRefreshed);
    QTimer ticker;
    connect(&ticker, &QTimer::timeout, tree.driveWatcher(), &DriveWatcher::driveChanged);
    for (int i = 0; i < 5; ++i)
        emit tree.driveWatcher()->driveChanged();
    ticker.start(100);
    QVERIFY(refreshed.wait(10000));
    QCOMPARE(refreshed.count(), 1);
}

// A file finished in the folder left behind, its event still unread, is no file of the new
// folder, though it may bear a name found there.
void PanelsTest::writeWatcherForgetsTheOldFolder()
{
    QTemporaryDir old;
    FolderWriteWatcher watcher;
    QStringList written;
    connect(&watcher, &FolderWriteWatcher::fileWritten, this,
            [&](const QString &name) { written << name; });
    QVERIFY(watcher.setFolder(old.path()));
    QVERIFY(ImageFixtures::writeFile(old.filePath("left.png"), "old"));
    QVERIFY(watcher.setFolder(folder));
    QVERIFY(ImageFixtures::writeFile(path("new.png"), "new"));
    QTRY_VERIFY(written.contains("new.png"));
    QCOMPARE(written, QStringList { "new.png" });
}

VIREON_TEST_MAIN(PanelsTest)
#include "tst_panels.moc"
