#include "browser/thumbnaillistmodel.h"
#include "browser/thumbnaillistview.h"
#include "browser/thumbnailpanel.h"
#include "imagefixtures.h"
#include "testmain.h"
#include "testwindow.h"

#include <QGraphicsView>
#include <QMdiSubWindow>
#include <QSettings>
#include <QTimer>

// Full screen and the slide show, driven as the user drives them: the keys of the
// full-screen document, its close control, the main window's shortcut.
class FullScreenTest : public QObject
{
    Q_OBJECT
private slots:
    void stepsRoundTheList_data();
    void stepsRoundTheList();
    void slideShow();
    void fullScreenAndBack_data();
    void fullScreenAndBack();
    void quitInFullScreenStoresTheWindowAsItWas();
};

namespace {

// A folder of images named in their sort order; "-" stands for a file no reader can decode.
struct Folder
{
    explicit Folder(const QString &kinds)
    {
        for (int i = 0; i < kinds.size(); ++i) {
            const QString path = dir.filePath(QStringLiteral("image%1.png").arg(i));
            if (kinds.at(i) == QLatin1Char('-'))
                ImageFixtures::writeFile(path, "no image in here");
            else
                ImageFixtures::writeImage(path, QSize(40 + 10 * i, 30));
            files << path;
        }
        TestEnvironment::clearSettings();
        QSettings().setValue(QStringLiteral("currentTreeFolder"), dir.path());
    }
    QTemporaryDir dir;
    QStringList files;
};

QString currentFile(TestWindow &window)
{
    return window.thumbnails()
            ->view()
            ->currentIndex()
            .data(ThumbnailListModel::FilePathRole)
            .toString();
}

// The full-screen window as the user meets it: the one that takes all input.
MdiChild *fullScreenWindow()
{
    return qobject_cast<MdiChild *>(QApplication::activeModalWidget());
}

// Goes full screen with the main window's shortcut on the document showing file, and waits
// until the full-screen window shows it too; null if it does not.
MdiChild *goFullScreen(TestWindow &window, const QString &file)
{
    QTest::keyClick(&window, Qt::Key_F11);
    MdiChild *fsDoc = fullScreenWindow();
    const bool shown
            = fsDoc && QTest::qWaitFor([&] { return fsDoc->currentFilePath() == file; }, 10000);
    return shown ? fsDoc : nullptr;
}

} // namespace

void FullScreenTest::stepsRoundTheList_data()
{
    QTest::addColumn<QString>("kinds");
    QTest::addColumn<int>("start"); // -1: a document that is not in the list
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("expected");
    QTest::newRow("next from the last") << "ooo" << 2 << int(Qt::Key_Right) << 0;
    QTest::newRow("previous from the first") << "ooo" << 0 << int(Qt::Key_Left) << 2;
    QTest::newRow("next in the middle") << "ooo" << 1 << int(Qt::Key_Right) << 2;
    QTest::newRow("previous in the middle") << "ooo" << 1 << int(Qt::Key_Left) << 0;
    QTest::newRow("next on the only one") << "o" << 0 << int(Qt::Key_Right) << 0;
    QTest::newRow("previous on the only one") << "o" << 0 << int(Qt::Key_Left) << 0;
    QTest::newRow("next, none current") << "ooo" << -1 << int(Qt::Key_Right) << 0;
    QTest::newRow("previous, none current") << "ooo" << -1 << int(Qt::Key_Left) << 0;
}

void FullScreenTest::stepsRoundTheList()
{
    QFETCH(QString, kinds);
    QFETCH(int, start);
    QFETCH(int, key);
    QFETCH(int, expected);
    Folder folder(kinds);
    TestWindow window;
    ThumbnailListView *view = window.thumbnails()->view();
    QTRY_COMPARE(window.thumbnails()->model()->count(), kinds.size());
    // Outside the folder: a file written into it would re-list it under the key press.
    QTemporaryDir elsewhere;
    QString shown = elsewhere.filePath(QStringLiteral("elsewhere.png"));
    if (start >= 0) {
        shown = folder.files.at(start);
        view->setCurrentFile(shown);
        QTRY_VERIFY(window.activeDocument());
        QTRY_COMPARE(window.activeDocument()->currentFilePath(), shown);
    } else {
        ImageFixtures::writeImage(shown, QSize(20, 20));
        window.open(QImage(shown), shown);
    }
    MdiChild *fsDoc = goFullScreen(window, shown);
    QVERIFY(fsDoc);

    QTest::keyClick(fsDoc, Qt::Key(key));
    QCOMPARE(currentFile(window), folder.files.at(expected));
    QTRY_COMPARE(fsDoc->currentFilePath(), folder.files.at(expected));
    QCOMPARE(view->selectionModel()->selectedIndexes().size(), 1);
    QVERIFY(!window.isLoading());
    QCOMPARE(window.findChildren<QMdiSubWindow *>().size(), 1);
    fsDoc->close();
}

void FullScreenTest::slideShow()
{
    Folder folder(QStringLiteral("o-oo"));
    TestWindow window;
    ThumbnailListView *view = window.thumbnails()->view();
    QTRY_COMPARE(window.thumbnails()->model()->count(), 4);
    view->setCurrentFile(folder.files.at(2));
    QTRY_VERIFY(window.activeDocument());
    MdiChild *doc = window.activeDocument();
    QTRY_COMPARE(doc->currentFilePath(), folder.files.at(2));
    MdiChild *fsDoc = goFullScreen(window, folder.files.at(2));
    QVERIFY(fsDoc);
    QTimer *timer = window.slideShowTimer;

    // Space starts the show with a step at once, then one per tick.
    QTest::keyClick(fsDoc, Qt::Key_Space);
    QVERIFY(timer->isActive());
    QCOMPARE(timer->interval(), 3000);
    // From here only the test makes the ticks.
    timer->setInterval(24 * 3600 * 1000);
    QCOMPARE(currentFile(window), folder.files.at(3));
    QTRY_COMPARE(fsDoc->currentFilePath(), folder.files.at(3));

    // Round the end of the list; the unreadable file leaves the image shown, and the next
    // tick goes on past it.
    const struct
    {
        int current;
        int shown;
    } ticks[] = { { 0, 0 }, { 1, 0 }, { 2, 2 } };
    for (const auto &tick : ticks) {
        QVERIFY(QMetaObject::invokeMethod(timer, "timeout"));
        QCOMPARE(currentFile(window), folder.files.at(tick.current));
        QTRY_VERIFY(!window.isLoading());
        QTRY_COMPARE(fsDoc->currentFilePath(), folder.files.at(tick.shown));
        QVERIFY(timer->isActive());
    }

    // Next while it runs stops it and steps once.
    QTest::keyClick(fsDoc, Qt::Key_Right);
    QVERIFY(!timer->isActive());
    QCOMPARE(currentFile(window), folder.files.at(3));
    QTRY_COMPARE(fsDoc->currentFilePath(), folder.files.at(3));

    // Space starts it again, and again stops it.
    QTest::keyClick(fsDoc, Qt::Key_Space);
    QVERIFY(timer->isActive());
    QCOMPARE(currentFile(window), folder.files.at(0));
    QTest::keyClick(fsDoc, Qt::Key_Space);
    QVERIFY(!timer->isActive());
    QTRY_COMPARE(fsDoc->currentFilePath(), folder.files.at(0));

    // Back in the window, the document shows the last image shown full screen.
    QTest::keyClick(fsDoc, Qt::Key_Escape);
    QCOMPARE(window.programMode(), 0);
    QTRY_COMPARE(doc->currentFilePath(), folder.files.at(0));
    QCOMPARE(window.activeDocument(), doc);
    QVERIFY(!doc->isWindowModified());
}

void FullScreenTest::fullScreenAndBack_data()
{
    QTest::addColumn<QString>("how");
    QTest::addColumn<bool>("windowStays");
    QTest::newRow("Escape") << "Escape" << true;
    QTest::newRow("F11") << "F11" << true;
    QTest::newRow("click") << "click" << true;
    QTest::newRow("close control") << "close" << false;
}

void FullScreenTest::fullScreenAndBack()
{
    QFETCH(QString, how);
    QFETCH(bool, windowStays);
    Folder folder(QStringLiteral("ooo"));
    TestWindow window;
    ThumbnailListView *view = window.thumbnails()->view();
    QTRY_COMPARE(window.thumbnails()->model()->count(), 3);
    view->setCurrentFile(folder.files.at(1));
    QTRY_VERIFY(window.activeDocument());
    MdiChild *doc = window.activeDocument();
    QTRY_COMPARE(doc->currentFilePath(), folder.files.at(1));
    window.clickTool(7);
    QVERIFY(window.toolWatcher->currentTool());

    MdiChild *fsDoc = goFullScreen(window, folder.files.at(1));
    QVERIFY(fsDoc);
    QVERIFY(fsDoc != doc);
    QVERIFY(fsDoc->isFullScreen());
    QCOMPARE(fsDoc->windowModality(), Qt::ApplicationModal);
    QCOMPARE(window.programMode(), 8);
    QCOMPARE(window.toolWatcher->currentTool(), nullptr);
    QCOMPARE(window.activeMdiChild(), fsDoc);
    QCOMPARE(window.findChildren<QMdiSubWindow *>().size(), 1);
    QVERIFY(!QGuiApplication::overrideCursor());
    // The main window's keys do not reach it meanwhile: F11 there opens no second one.
    QTest::keyClick(&window, Qt::Key_F11);
    QCOMPARE(fullScreenWindow(), fsDoc);
    QTest::keyClick(fsDoc, Qt::Key_Right);
    QTRY_COMPARE(fsDoc->currentFilePath(), folder.files.at(2));

    QPointer<MdiChild> gone = fsDoc;
    if (how == QLatin1String("Escape")) {
        QTest::keyClick(fsDoc, Qt::Key_Escape);
    } else if (how == QLatin1String("F11")) {
        QTest::keyClick(fsDoc, Qt::Key_F11);
    } else if (how == QLatin1String("click")) {
        QTest::mouseClick(fsDoc->viewport(), Qt::LeftButton, Qt::NoModifier,
                          fsDoc->viewport()->rect().center());
    } else {
        QVERIFY(fsDoc->close());
    }
    QTRY_VERIFY(!gone);
    QCOMPARE(window.programMode(), 0);
    QCOMPARE(window.isVisible(), windowStays);
    if (windowStays) {
        QCOMPARE(window.activeMdiChild(), doc);
        QTRY_COMPARE(doc->currentFilePath(), folder.files.at(2));
    }
}

void FullScreenTest::quitInFullScreenStoresTheWindowAsItWas()
{
    Folder folder(QStringLiteral("o"));
    TestWindow window;
    QTRY_COMPARE(window.thumbnails()->model()->count(), 1);
    window.thumbnails()->view()->setCurrentFile(folder.files.at(0));
    QTRY_VERIFY(window.activeDocument());
    const QSize before = window.size();
    QVERIFY(goFullScreen(window, folder.files.at(0)));
    // Changed behind the full-screen window; what is stored is the window full screen found.
    window.resize(before - QSize(300, 200));
    QVERIFY(window.close());
    QWidget restored;
    QVERIFY(restored.restoreGeometry(
            QSettings().value(QStringLiteral("mainWindowGeometry")).toByteArray()));
    QCOMPARE(restored.size(), before);
}

VIREON_TEST_MAIN(FullScreenTest)
#include "tst_fullscreen.moc"
