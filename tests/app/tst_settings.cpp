#include "browser/statusbar.h"
#include "browser/thumbnaillistmodel.h"
#include "browser/thumbnaillistview.h"
#include "browser/thumbnailpanel.h"
#include "browser/treepanel.h"
#include "imagefixtures.h"
#include "modalanswerer.h"
#include "platform/userfolders.h"
#include "testmain.h"
#include "testwindow.h"

#include <QFileSystemModel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QScreen>
#include <QSettings>
#include <QToolBar>
#include <QTreeView>

namespace {

// Every stored key with its value.
QVariantMap storedSettings()
{
    QSettings settings;
    QVariantMap values;
    for (const QString &key : settings.allKeys())
        values.insert(key, settings.value(key));
    return values;
}

QStringList makeFolder(const QString &path)
{
    QStringList files;
    for (const char *name : { "a.png", "b.png", "c.png" }) {
        files << path + QLatin1Char('/') + QLatin1String(name);
        ImageFixtures::writeImage(files.last(), QSize(40, 30));
    }
    return files;
}

QString treeFolder(MainWindow &window)
{
    TreePanel *tree = window.folderTree();
    const QModelIndex current = tree->view()->currentIndex();
    return current.isValid() ? tree->model()->filePath(current) : QString();
}

// The widgets that the visibility keys describe, in the order of the keys.
QList<QWidget *> panels(MainWindow &window)
{
    return { window.findChild<QToolBar *>(QStringLiteral("MainTools")), window.folderTree(),
             window.tools(), window.thumbnails(), window.statusBarWidget() };
}

} // namespace

class SettingsTest : public QObject
{
    Q_OBJECT
private slots:
    void init() { TestEnvironment::clearSettings(); }
    void firstRun();
    void roundTrip_data();
    void roundTrip();
    void cancelledCloseWritesNothing();
    void unusableStoredPlace_data();
    void unusableStoredPlace();
};

void SettingsTest::firstRun()
{
    MainWindow window(true);
    // About four fifths of the screen, centred, before anything was stored.
    const QRect available = QGuiApplication::primaryScreen()->availableGeometry();
    QVERIFY(qAbs(window.width() - available.width() * 0.8) <= 2);
    QVERIFY(qAbs(window.height() - available.height() * 0.8) <= 2);
    QVERIFY((window.QWidget::geometry().center() - available.center()).manhattanLength() <= 2);
    window.show();

    for (QWidget *panel : panels(window))
        QVERIFY2(panel->isVisible(), qPrintable(panel->objectName()));
    QCOMPARE(window.thumbnails()->sortMode, 1);
    QCOMPARE(window.thumbnails()->sortOrder, 0);
    QCOMPARE(treeFolder(window), UserFolders::pictures());
    QCOMPARE(window.dirOpen, UserFolders::documents());
    QCOMPARE(window.language,
             QLatin1String(QLocale().language() == QLocale::Russian ? "ru" : "en"));
    QVERIFY(QSettings().allKeys().isEmpty());

    // The first close stores every key of the table, with nothing to remember as current.
    QVERIFY(window.close());
    const QVariantMap stored = storedSettings();
    QCOMPARE(stored.value(QStringLiteral("selectedFilterOpen")).toString(), window.openFilter());
    QVERIFY(!stored.contains(QStringLiteral("currentFile")));
    QCOMPARE(stored.size(), 14);
}

void SettingsTest::roundTrip_data()
{
    QTest::addColumn<int>("hidden");
    // One panel hidden at a time: keys mixed up between two panels show in one of the rows.
    const char *names[] = { "tool bar", "tree", "tools", "thumbnails", "status bar" };
    for (int i = 0; i < 5; ++i)
        QTest::newRow(names[i]) << i;
}

void SettingsTest::roundTrip()
{
    QFETCH(int, hidden);
    QTemporaryDir dir;
    QTemporaryDir openDir;
    const QStringList files = makeFolder(dir.path());
    const QString filter = QStringLiteral("All files (*.*)");
    QSettings().setValue(QStringLiteral("selectedFilterOpen"), filter);
    QSettings().setValue(QStringLiteral("language"), QStringLiteral("de"));

    QRect geometry;
    {
        TestWindow window;
        window.folderTree()->setCurrentFolder(dir.path());
        window.thumbnails()->view()->setCurrentFile(files.at(1));
        QTRY_VERIFY(window.activeDocument());
        window.thumbnails()->view()->setSorting(3, 1);
        window.clickTool(7);
        window.addDockWidget(Qt::LeftDockWidgetArea, window.tools());
        panels(window).at(hidden)->hide();
        window.setGeometry(40, 50, 700, 500);
        geometry = window.QWidget::geometry();
        window.dirOpen = openDir.path();
        QVERIFY(window.close());
    }
    const QVariantMap first = storedSettings();
    QCOMPARE(first.value(QStringLiteral("mode")).toInt(), 7);
    QCOMPARE(first.value(QStringLiteral("currentFile")).toString(), files.at(1));
    QCOMPARE(first.value(QStringLiteral("dirOpen")).toString(), openDir.path());

    MainWindow window(true);
    window.show();
    QCOMPARE(window.QWidget::geometry(), geometry);
    const QList<QWidget *> shown = panels(window);
    for (int i = 0; i < shown.size(); ++i)
        QCOMPARE(shown.at(i)->isVisible(), i != hidden);
    QCOMPARE(window.dockWidgetArea(window.tools()), Qt::LeftDockWidgetArea);
    QCOMPARE(treeFolder(window), dir.path());
    QTRY_VERIFY(window.activeDocument());
    QCOMPARE(window.activeDocument()->currentFilePath(), files.at(1));
    QCOMPARE(window.thumbnails()->sortMode, 3);
    QCOMPARE(window.thumbnails()->sortOrder, 1);
    QCOMPARE(window.language, QStringLiteral("de"));

    // A run that changes nothing stores what it read, but for the mode, which always starts
    // at 0, and the Open dialog's folder, which follows the load of the stored file.
    QVERIFY(window.close());
    QVariantMap second = storedSettings();
    QCOMPARE(second.take(QStringLiteral("mode")).toInt(), 0);
    QVariantMap expected = first;
    expected.remove(QStringLiteral("mode"));
    expected.insert(QStringLiteral("dirOpen"), dir.path());
    // Qt re-packs the layout of a hidden dock; the layout itself was checked above.
    QVERIFY(!second.take(QStringLiteral("mainWindowState")).toByteArray().isEmpty());
    expected.remove(QStringLiteral("mainWindowState"));
    QCOMPARE(second, expected);
    QCOMPARE(second.value(QStringLiteral("selectedFilterOpen")).toString(), filter);
    QCOMPARE(second.size(), 13);
}

void SettingsTest::cancelledCloseWritesNothing()
{
    TestWindow window;
    MdiChild *modified = window.open(ImageFixtures::pattern(QSize(20, 10)), QStringLiteral("m"));
    modified->undoStack()->push(new QUndoCommand(QStringLiteral("edit")));
    MdiChild *plain = window.open(ImageFixtures::pattern(QSize(20, 10)), QStringLiteral("p"));
    QPointer<QMdiSubWindow> plainWindow = plain->subWindow;
    window.mdiArea->setActiveSubWindow(plainWindow);

    ModalAnswerer *answer = ModalAnswerer::messageBox(QMessageBox::Cancel);
    QVERIFY(!window.close());
    QVERIFY(answer->answered());
    // The unchanged document went first; the one that refused stays, and so does the program.
    QVERIFY(!plainWindow || plainWindow->isHidden());
    QVERIFY(window.isVisible());
    QCOMPARE(window.mdiArea->currentSubWindow(), modified->subWindow);
    QVERIFY(modified->isWindowModified());
    QVERIFY(QSettings().allKeys().isEmpty());

    modified->undoStack()->clear();
    QVERIFY(window.close());
    QVERIFY(!QSettings().allKeys().isEmpty());
}

void SettingsTest::unusableStoredPlace_data()
{
    QTest::addColumn<bool>("folderExists");
    QTest::newRow("empty folder") << true;
    QTest::newRow("folder gone") << false;
}

void SettingsTest::unusableStoredPlace()
{
    QFETCH(bool, folderExists);
    QTemporaryDir dir;
    const QString folder = folderExists ? dir.path() : dir.path() + QStringLiteral("/gone");
    const QString stored = dir.path() + QStringLiteral("/gone/photo.jpg");
    QSettings().setValue(QStringLiteral("currentTreeFolder"), folder);
    QSettings().setValue(QStringLiteral("currentFile"), stored);

    TestWindow window;
    QCOMPARE(treeFolder(window), folderExists ? folder : QString());
    QVERIFY(!window.thumbnails()->view()->currentIndex().isValid());
    QVERIFY(!window.activeDocument());
    QVERIFY(!QApplication::activeModalWidget());

    // With no current thumbnail the file of the last run stays remembered.
    QVERIFY(window.close());
    QCOMPARE(QSettings().value(QStringLiteral("currentFile")).toString(), stored);
}

VIREON_TEST_MAIN(SettingsTest)
#include "tst_settings.moc"
