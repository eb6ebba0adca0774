#include "browser/statusbar.h"
#include "browser/thumbnaillistmodel.h"
#include "browser/thumbnaillistview.h"
#include "browser/thumbnailpanel.h"
#include "browser/treepanel.h"
#include "imagefixtures.h"
#include "modalanswerer.h"
#include "testmain.h"
#include "testwindow.h"

#include <QFileSystemModel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QSettings>
#include <QToolBar>
#include <QTreeView>

namespace {

// image0.png, ... 40 + 10 * i by 30 ('o') or undecodable ('-'), a text file; settings afresh.
struct Folder
{
    explicit Folder(const QString &kinds)
    {
        ImageFixtures::writeFile(dir.filePath(QStringLiteral("notes.txt")), "not an image");
        for (int i = 0; i < kinds.size(); ++i) {
            files << dir.filePath(QStringLiteral("image%1.png").arg(i));
            kinds.at(i) == '-' ? ImageFixtures::writeFile(files.last(), "no image in here")
                               : ImageFixtures::writeImage(files.last(), QSize(40 + 10 * i, 30));
        }
        TestEnvironment::clearSettings();
        QSettings().setValue(QStringLiteral("currentTreeFolder"), dir.path());
    }
    QTemporaryDir dir;
    QStringList files;
};

QString currentThumbnail(MainWindow &window)
{
    const QModelIndex current = window.thumbnails()->view()->currentIndex();
    return current.data(ThumbnailListModel::FilePathRole).toString();
}

// Chooses file in the list; the active document once it shows the file, else null.
MdiChild *choose(MainWindow &window, const QString &file)
{
    window.thumbnails()->view()->setCurrentFile(file);
    const auto shown = [&] {
        return window.activeDocument() && window.activeDocument()->currentFilePath() == file;
    };
    return QTest::qWaitFor(shown, 10000) ? window.activeDocument() : nullptr;
}

QList<QWidget *> panels(MainWindow &window)
{
    return { window.findChild<QToolBar *>(QStringLiteral("MainTools")), window.folderTree(),
             window.tools(), window.thumbnails(), window.statusBarWidget() };
}

} // namespace

// The main window on folders of generated images, driven as a user drives it.
class ApplicationTest : public QObject
{
    Q_OBJECT
private slots:
    void documents();
    void fullScreen_data();
    void fullScreen();
    void settingsSurviveARestart_data();
    void settingsSurviveARestart();
};

void ApplicationTest::documents()
{
    Folder folder(QStringLiteral("oooo"));
    const QStringList &files = folder.files;
    TestWindow window;
    ThumbnailListView *view = window.thumbnails()->view();
    // The status bar tells the file shown by its size.
    const auto describes = [&](int i) {
        return window.statusBarWidget()->secondText().endsWith(QString("  %1x30").arg(40 + 10 * i));
    };
    // Choosing a thumbnail opens it; the next one replaces it in the same document.
    MdiChild *doc = choose(window, files.at(2));
    QVERIFY(doc && describes(2));
    QVERIFY(choose(window, files.at(3)) == doc && describes(3));

    // Cancel on the question a move asks puts the list back, though the folder was re-listed.
    doc->undoStack()->push(new QUndoCommand(QStringLiteral("edit")));
    ModalAnswerer *answer = ModalAnswerer::messageBox(QMessageBox::Cancel, [&] {
        ImageFixtures::writeImage(folder.dir.filePath(QStringLiteral("landed.png")), QSize(8, 8));
        window.thumbnails()->model()->tDirectoryChanged();
    });
    QTest::keyClick(view, Qt::Key_Left);
    QVERIFY(answer->answered() && doc->isWindowModified());
    QVERIFY(window.thumbnails()->model()->count() == 5 && doc->currentFilePath() == files.at(3));
    QCOMPARE(currentThumbnail(window), files.at(3));
    QCOMPARE(view->selectionModel()->selectedIndexes(), QModelIndexList { view->currentIndex() });
    // The next move is the user's own, not pulled back.
    doc->undoStack()->clear();
    QCOMPARE(choose(window, files.at(1)), doc);
    window.openFile(files.at(0));
    QTRY_VERIFY(window.mdiArea->subWindowList().size() == 2 && describes(0));

    // A cancelled quit keeps the changed document and writes nothing; the unchanged one went.
    doc->undoStack()->push(new QUndoCommand(QStringLiteral("edit")));
    answer = ModalAnswerer::messageBox(QMessageBox::Cancel);
    QVERIFY(!window.close() && answer->answered() && window.isVisible() && doc->isWindowModified());
    QTRY_VERIFY(window.mdiArea->currentSubWindow() == doc->subWindow && describes(1));
    QCOMPARE(QSettings().allKeys(), QStringList { "currentTreeFolder" });
}

void ApplicationTest::fullScreen_data()
{
    // The folder, the image shown at first (-1: one not in the list), the keys pressed full
    // screen (Tick: the slide show's), the list's and the window's image then, how it ends.
    QTest::addColumn<QString>("kinds");
    QTest::addColumn<int>("start");
    QTest::addColumn<QString>("keys");
    QTest::addColumn<int>("current");
    QTest::addColumn<int>("shown");
    QTest::addColumn<QString>("leave");
    QTest::newRow("next from the last") << "ooo" << 2 << "Right" << 0 << 0 << "Escape";
    QTest::newRow("previous from the first") << "ooo" << 0 << "Left" << 2 << 2 << "F11";
    QTest::newRow("next on the only one") << "o" << 0 << "Right" << 0 << 0 << "Escape";
    QTest::newRow("next, none current") << "ooo" << -1 << "Right" << 0 << 0 << "F11";
    QTest::newRow("previous, none current") << "ooo" << -1 << "Left" << 0 << 0 << "Escape";
    // The show steps at once, then per tick; an unreadable file leaves the image shown.
    QTest::newRow("show starts") << "o-oo" << 2 << "Space" << 3 << 3 << "Escape";
    QTest::newRow("show passes a bad file") << "o-oo" << 2 << "Space Tick Tick" << 1 << 0 << "F11";
    QTest::newRow("show goes on") << "o-oo" << 2 << "Space Tick Tick Tick" << 2 << 2 << "Escape";
    QTest::newRow("show, then next") << "o-oo" << 2 << "Space Right" << 0 << 0 << "Escape";
    QTest::newRow("show, then space") << "o-oo" << 2 << "Space Space" << 3 << 3 << "close";
}

void ApplicationTest::fullScreen()
{
    QFETCH(QString, kinds);
    QFETCH(int, start);
    QFETCH(QString, keys);
    QFETCH(int, shown);
    QFETCH(QString, leave);
    Folder folder(kinds);
    TestWindow window;
    // Outside the folder, which would be re-listed under the key press.
    const QString other = QDir::home().filePath(QStringLiteral("elsewhere.png"));
    ImageFixtures::writeImage(other, QSize(20, 20));
    const QString first = folder.files.value(start, other);
    MdiChild *doc = start < 0 ? window.open(QImage(other), other) : choose(window, first);
    QVERIFY(doc);

    QTest::keyClick(&window, Qt::Key_F11);
    QPointer<MdiChild> fsDoc = qobject_cast<MdiChild *>(QApplication::activeModalWidget());
    QVERIFY(fsDoc && fsDoc != doc && fsDoc->isFullScreen() && window.programMode() == 8);
    QTRY_COMPARE(fsDoc->currentFilePath(), first);
    QCOMPARE(window.activeMdiChild(), fsDoc.data());
    window.fullScreen(); // no second one
    QCOMPARE(QApplication::activeModalWidget(), fsDoc.data());
    QTimer *timer = window.slideShowTimer;
    for (const QString &key : keys.split(' ')) {
        if (key == "Tick")
            QMetaObject::invokeMethod(timer, "timeout");
        else
            QTest::keyClick(fsDoc, Qt::Key(QKeySequence(key)[0]));
        timer->setInterval(24 * 3600 * 1000); // from here only the test makes the ticks
        QTRY_VERIFY(!window.isLoadPending());
    }
    QCOMPARE(timer->isActive(), keys == "Space" || keys.endsWith("Tick"));
    QTEST(folder.files.indexOf(currentThumbnail(window)), "current");
    QVERIFY(fsDoc->currentFilePath() == folder.files.at(shown)
            && window.findChildren<QMdiSubWindow *>().size() == 1);

    if (leave == "close")
        QVERIFY(fsDoc->close());
    else
        QTest::keyClick(fsDoc, Qt::Key(QKeySequence(leave)[0]));
    QTRY_VERIFY(!fsDoc);
    QVERIFY(window.programMode() == 0 && !timer->isActive());
    // The close control quits the program; else the document shows the last image shown.
    QCOMPARE(window.isVisible(), leave != "close");
    if (window.isVisible())
        QTRY_VERIFY(window.activeMdiChild() == doc
                    && doc->currentFilePath() == folder.files[shown]);
}

void ApplicationTest::settingsSurviveARestart_data()
{
    // One panel hidden at a time: keys mixed up between two panels show in one of the rows.
    QTest::addColumn<int>("hidden");
    int i = 0;
    for (const char *name : { "tool bar", "tree", "tools", "thumbnails", "status bar" })
        QTest::newRow(name) << i++;
}

void ApplicationTest::settingsSurviveARestart()
{
    QFETCH(int, hidden);
    Folder folder(QStringLiteral("oo"));
    QSettings().remove(QStringLiteral("currentTreeFolder"));
    const QString filter = QStringLiteral("All files (*.*)");
    QSettings().setValue(QStringLiteral("selectedFilterOpen"), filter);
    QRect geometry;
    {
        TestWindow window;
        QCOMPARE(window.dirOpen, QDir::homePath()); // it has no Documents folder
        window.folderTree()->setCurrentFolder(folder.dir.path());
        QVERIFY(choose(window, folder.files.at(1)));
        window.thumbnails()->view()->setSorting(3, 1);
        window.addDockWidget(Qt::LeftDockWidgetArea, window.tools());
        panels(window).at(hidden)->hide();
        window.setGeometry(40, 50, 700, 500);
        geometry = window.QWidget::geometry();
        QVERIFY(window.close());
    }

    MainWindow window(true);
    window.show();
    QCOMPARE(window.QWidget::geometry(), geometry);
    for (int i = 0; i < 5; ++i)
        QCOMPARE(panels(window).at(i)->isVisible(), i != hidden);
    QCOMPARE(window.dockWidgetArea(window.tools()), Qt::LeftDockWidgetArea);
    QCOMPARE(window.folderTree()->model()->filePath(window.folderTree()->view()->currentIndex()),
             folder.dir.path());
    QTRY_VERIFY(window.activeDocument());
    QCOMPARE(window.activeDocument()->currentFilePath(), folder.files.at(1));
    QVERIFY(window.thumbnails()->sortMode == 3 && window.thumbnails()->sortOrder == 1);

    // A run that changes nothing stores what it read.
    QSettings().remove(QStringLiteral("selectedFilterOpen"));
    QVERIFY(window.close());
    QCOMPARE(QSettings().value(QStringLiteral("selectedFilterOpen")).toString(), filter);
}

VIREON_TEST_MAIN(ApplicationTest)
#include "tst_application.moc"
