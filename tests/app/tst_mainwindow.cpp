#include "app/mainwindow.h"
#include "browser/statusbar.h"
#include "browser/thumbnaillistmodel.h"
#include "browser/thumbnaillistview.h"
#include "browser/thumbnailpanel.h"
#include "browser/treepanel.h"
#include "document/mdichild.h"
#include "framework/lvcombobox.h"
#include "framework/lvscene.h"
#include "imagefixtures.h"
#include "modalanswerer.h"
#include "scene/pageitem.h"
#include "scene/vrimageitem.h"
#include "testinput.h"
#include "testmain.h"
#include "testwindow.h"

#include <QAction>
#include <QDockWidget>
#include <QFileSystemModel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QSettings>
#include <QSortFilterProxyModel>
#include <QTreeView>
#include <QUndoStack>

// The real main window on a folder of generated images, as a user meets it.
class MainWindowTest : public QObject
{
    Q_OBJECT
private slots:
    void browseAndOpen();
    void startsOnTheStoredFile();
    void cutInTheListLeavesTheDocument();
    void displaysFollowTheActiveDocument();
    void cancelKeepsTheListOnTheDocument_data();
    void cancelKeepsTheListOnTheDocument();
};

namespace {

QStringList makeFolder(const QString &folder)
{
    QStringList files;
    const QList<QSize> sizes{{320, 200}, {200, 320}, {640, 480}, {50, 40}};
    for (int i = 0; i < sizes.size(); ++i) {
        const QString path = folder + QStringLiteral("/image%1.png").arg(i);
        ImageFixtures::writeImage(path, sizes.at(i));
        files << path;
    }
    QFile notes(folder + QStringLiteral("/notes.txt"));
    notes.open(QIODevice::WriteOnly);
    notes.write("not an image");
    return files;
}

// A folder of images, with fresh settings that start the window on it.
QStringList startIn(const QString &folder)
{
    const QStringList files = makeFolder(folder);
    TestEnvironment::clearSettings();
    QSettings().setValue(QStringLiteral("currentTreeFolder"), folder);
    return files;
}


// The status bar's description of a file shown whole.
QString described(const QString &file, const QSize &size)
{
    const QFileInfo info(file);
    return QLocale().toString(info.lastModified(), QLocale::ShortFormat) + QStringLiteral("  ")
            + StatusBar::sizeText(info.size())
            + QStringLiteral("  %1x%2").arg(size.width()).arg(size.height());
}

} // namespace

void MainWindowTest::browseAndOpen()
{
    QTemporaryDir dir;
    const QStringList files = startIn(dir.path());

    TestWindow window;
    ThumbnailListView *view = window.thumbnails()->view();
    ThumbnailListModel *model = window.thumbnails()->model();

    // The stored folder is shown, with only its images, and the totals in the status bar.
    QCOMPARE(window.thumbnails()->currentFolder(), dir.path());
    QCOMPARE(model->count(), 4);
    qint64 total = 0;
    for (const QString &file : files)
        total += QFileInfo(file).size();
    QVERIFY(window.statusBarWidget()->thirdText().startsWith(
            QStringLiteral("Total 4 file(s) %1").arg(StatusBar::sizeText(total))));
    QCOMPARE(window.thumbnails()->windowTitle(), QStringLiteral("Thumbnails - ") + dir.path());

    // The thumbnails arrive in the background.
    QTRY_VERIFY_WITH_TIMEOUT(
            model->index(2).data(Qt::ToolTipRole).toString().endsWith(QStringLiteral("640x480")),
            20000);

    // Choosing one opens it.
    view->setCurrentFile(files.at(2));
    QTRY_VERIFY(window.activeDocument());
    MdiChild *doc = window.activeDocument();
    QCOMPARE(doc->currentFilePath(), files.at(2));
    const auto objects = doc->lvScene()->currentPage()->objects();
    QCOMPARE(objects.size(), 1);
    QCOMPARE(static_cast<VRImageItem *>(objects.first())->currentImage().size(), QSize(640, 480));
    const QFileInfo info(files.at(2));
    QCOMPARE(window.statusBarWidget()->secondText(),
             QLocale().toString(info.lastModified(), QLocale::ShortFormat) + QStringLiteral("  ")
                     + StatusBar::sizeText(info.size()) + QStringLiteral("  640x480"));

    // The next one replaces it in the same document.
    view->setCurrentFile(files.at(3));
    QTRY_COMPARE(doc->currentFilePath(), files.at(3));
    QCOMPARE(window.findChildren<QMdiSubWindow *>().size(), 1);
    QVERIFY(window.statusBarWidget()->secondText().endsWith(QStringLiteral("50x40")));

    // Closing stores where the user was.
    QVERIFY(window.close());
    QCOMPARE(QSettings().value(QStringLiteral("currentFile")).toString(), files.at(3));
    QCOMPARE(QSettings().value(QStringLiteral("currentTreeFolder")).toString(), dir.path());
}

void MainWindowTest::startsOnTheStoredFile()
{
    QTemporaryDir dir;
    const QStringList files = startIn(dir.path());
    QSettings().setValue(QStringLiteral("currentFile"), files.at(1));

    MainWindow window(true);
    window.show();
    QTRY_VERIFY(window.activeDocument());
    QCOMPARE(window.activeDocument()->currentFilePath(), files.at(1));
    // The tree shows the folder.
    TreePanel *tree = window.folderTree();
    QCOMPARE(tree->model()->filePath(tree->view()->currentIndex()), dir.path());
}

void MainWindowTest::cutInTheListLeavesTheDocument()
{
    QTemporaryDir dir;
    const QStringList files = startIn(dir.path());
    TestWindow window;
    ThumbnailListView *view = window.thumbnails()->view();
    view->setCurrentFile(files.at(2));
    QTRY_VERIFY(window.activeDocument());
    MdiChild *doc = window.activeDocument();
    // In the document, Cut would take the selected picture.
    doc->setFocus();
    QTRY_VERIFY(window.cutAct->isEnabled());

    view->setFocus();
    QTRY_VERIFY(view->hasFocus());
    QVERIFY(!window.cutAct->isEnabled());
    QTest::keyClick(view, Qt::Key_X, Qt::ControlModifier);
    // The click's release of Ctrl still reports Ctrl; later clicks must not extend selections.
    QTest::keyRelease(view, Qt::Key_Control);
    QCOMPARE(doc->undoStack()->count(), 0);
    QVERIFY(!doc->isWindowModified());
    QCOMPARE(doc->lvScene()->currentPage()->objects().size(), 1);
}

void MainWindowTest::displaysFollowTheActiveDocument()
{
    QTemporaryDir dir;
    const QStringList files = makeFolder(dir.path());
    TestEnvironment::clearSettings();
    TestWindow window;
    // Room for the 640 x 480 image at 100 % beside the docks.
    window.resize(1600, 1100);
    StatusBar *bar = window.statusBarWidget();
    QMdiArea *area = window.mdiArea;
    // The image field and the zoom box together.
    const auto shown = [&]() {
        return bar->secondText().trimmed() + QStringLiteral(" | ") + window.zoomBox->currentText();
    };
    const auto shows = [](const QString &description, const char *zoom) {
        return description + QStringLiteral(" | ") + QLatin1String(zoom);
    };
    QCOMPARE(shown(), shows(QString(), ""));

    window.openFile(files.at(0));
    QTRY_COMPARE(area->subWindowList().size(), 1);
    window.openFile(files.at(2));
    QTRY_COMPARE(area->subWindowList().size(), 2);
    QTRY_COMPARE(shown(), shows(described(files.at(2), QSize(640, 480)), "100 %"));
    window.viewZoomIn();
    // Ctrl+Tab, both ways round.
    area->activateNextSubWindow();
    QCOMPARE(shown(), shows(described(files.at(0), QSize(320, 200)), "100 %"));
    area->activateNextSubWindow();
    QCOMPARE(shown(), shows(described(files.at(2), QSize(640, 480)), "125 %"));
    area->closeActiveSubWindow();
    QTRY_COMPARE(shown(), shows(described(files.at(0), QSize(320, 200)), "100 %"));
    area->closeActiveSubWindow();
    QTRY_VERIFY(area->subWindowList().isEmpty());
    QCOMPARE(shown(), shows(QString(), ""));
    // Another folder describes no document either.
    window.folderTree()->setCurrentFolder(dir.path());
    QTRY_COMPARE(window.thumbnails()->currentFolder(), dir.path());
    QCOMPARE(shown(), shows(QString(), ""));
}

void MainWindowTest::cancelKeepsTheListOnTheDocument_data()
{
    QTest::addColumn<QString>("move");
    QTest::addColumn<bool>("relist");
    for (const char *move : {"mouse", "keyboard", "selectNextItem"}) {
        QTest::newRow(move) << QString(move) << false;
        // A file lands in the folder while the save question is open.
        QTest::newRow(qPrintable(QString(move) + ", re-listed")) << QString(move) << true;
    }
}

void MainWindowTest::cancelKeepsTheListOnTheDocument()
{
    QFETCH(QString, move);
    QFETCH(bool, relist);
    QTemporaryDir dir;
    const QStringList files = startIn(dir.path());
    TestWindow window;
    ThumbnailListView *view = window.thumbnails()->view();
    view->setCurrentFile(files.at(0));
    QTRY_VERIFY(window.activeDocument());
    MdiChild *doc = window.activeDocument();
    QTRY_COMPARE(doc->currentFilePath(), files.at(0));
    doc->undoStack()->push(new QUndoCommand(QStringLiteral("edit")));
    QVERIFY(doc->isWindowModified());

    const auto relisting = [&] {
        ImageFixtures::writeImage(dir.filePath(QStringLiteral("landed.png")), QSize(8, 8));
        window.thumbnails()->model()->tDirectoryChanged();
    };
    ModalAnswerer *answer = ModalAnswerer::messageBox(QMessageBox::Cancel,
                                                      relist ? relisting : std::function<void()>());
    if (move == QLatin1String("mouse")) {
        const QPoint at = view->visualRect(view->model()->index(1, 0)).center();
        auto press = mouseEvent(QEvent::MouseButtonPress, at, Qt::LeftButton);
        QApplication::sendEvent(view->viewport(), &press);
        auto release = mouseEvent(QEvent::MouseButtonRelease, at, Qt::NoButton);
        QApplication::sendEvent(view->viewport(), &release);
    } else if (move == QLatin1String("keyboard")) {
        QTest::keyClick(view, Qt::Key_Right);
    } else {
        view->selectNextItem();
    }
    QVERIFY(answer->answered());
    // Back at once, selection and all; the document keeps its changes.
    QCOMPARE(view->currentIndex().data(ThumbnailListModel::FilePathRole).toString(), files.at(0));
    const QModelIndexList selected = view->selectionModel()->selectedIndexes();
    QCOMPARE(selected.size(), 1);
    QCOMPARE(selected.first().data(ThumbnailListModel::FilePathRole).toString(), files.at(0));
    QCOMPARE(doc->currentFilePath(), files.at(0));
    QVERIFY(doc->isWindowModified());
    QCOMPARE(window.thumbnails()->model()->count(), relist ? 5 : 4);

    // The next move is the user's own, not pulled back.
    doc->undoStack()->clear();
    view->selectNextItem();
    QCOMPARE(view->currentIndex().data(ThumbnailListModel::FilePathRole).toString(), files.at(1));
    QTRY_COMPARE(doc->currentFilePath(), files.at(1));
}

VIREON_TEST_MAIN(MainWindowTest)
#include "tst_mainwindow.moc"
