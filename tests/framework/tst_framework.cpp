#include "app/mainwindow.h"
#include "framework/lvaboutdialog.h"
#include "framework/lvcombobox.h"
#include "framework/lvmdichild.h"
#include "framework/lvscene.h"
#include "framework/lvtool.h"
#include "framework/lvtoolwatcher.h"
#include "imagefixtures.h"
#include "modalanswerer.h"
#include "scene/pageitem.h"
#include "testmain.h"

#include <QAction>
#include <QDesktopServices>
#include <QGraphicsRectItem>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QSettings>
#include <QToolBar>
#include <QUndoStack>

namespace {

// A scene that records which object operation reached it.
class RecordingScene : public LVScene
{
public:
    using LVScene::LVScene;
    void copy() override { calls << "copy"; }
    void cut() override { calls << "cut"; }
    void paste() override { calls << "paste"; }
    void selectAll() override { calls << "selectAll"; }
    void raise() override { calls << "raise"; }
    void lower() override { calls << "lower"; }
    void raiseToTop() override { calls << "raiseToTop"; }
    void lowerToBottom() override { calls << "lowerToBottom"; }
    void deleteObjects() override { calls << "deleteObjects"; }
    QStringList calls;
};

// A document with a recording scene and, optionally, one page holding one object.
class TestDocument : public LVMdiChild
{
public:
    TestDocument(LVMainWindow *window, bool withPage) : LVMdiChild(window)
    {
        scene = new RecordingScene(this, window);
        documentScene = scene;
        setScene(scene);
        if (withPage) {
            page = new PageItem;
            page->rect = QRect(0, 0, 200, 100);
            scene->addItem(page);
            object = new QGraphicsRectItem(10, 10, 20, 20, page);
            object->setFlag(QGraphicsItem::ItemIsSelectable);
            scene->setActivePage(page);
        }
    }
    RecordingScene *scene = nullptr;
    PageItem *page = nullptr;
    QGraphicsRectItem *object = nullptr;
};

class TestTool : public LVTool
{
public:
    TestTool(QObject *parent, int toolId) : LVTool(parent), toolId(toolId) {}
    int id() const override { return toolId; }
    QString title() const override { return QStringLiteral("Test %1").arg(toolId); }
    bool mousePressEvent(QGraphicsSceneMouseEvent *) override { return consumePress; }
    void deactivate() override { calls << "deactivate"; }
    void reset() override { calls << "reset"; }
    bool cutRegion() override
    {
        calls << "cutRegion";
        return true;
    }
    bool copyRegion() override
    {
        calls << "copyRegion";
        return true;
    }
    int toolId;
    bool consumePress = false;
    QStringList calls;
};

// The main window with its protected parts in reach of the tests.
class TestWindow : public MainWindow
{
public:
    TestWindow() : MainWindow(true) {}
    using LVMainWindow::closeAct;
    using LVMainWindow::copyAct;
    using LVMainWindow::cutAct;
    using LVMainWindow::deleteAct;
    using LVMainWindow::languageMenu;
    using LVMainWindow::fileMenu;
    using LVMainWindow::mdiArea;
    using LVMainWindow::pasteAct;
    using LVMainWindow::printAct;
    using LVMainWindow::printPreviewAct;
    using LVMainWindow::redoAct;
    using LVMainWindow::saveAct;
    using LVMainWindow::saveAsAct;
    using LVMainWindow::separatorAct;
    using LVMainWindow::undoAct;
    using LVMainWindow::windowMenu;
    using LVMainWindow::zoomBox;
    using LVMainWindow::zoomInAct;
    using LVMainWindow::zoomOutAct;

    QList<QAction *> documentActions() const
    {
        return { saveAct,     saveAsAct, closeAct, closeAllAct, tileAct,   cascadeAct, nextAct,
                 previousAct, pasteAct,  cutAct,   copyAct,     deleteAct, zoomInAct,  zoomOutAct,
                 printAct,    printPreviewAct };
    }
    TestDocument *addDocument(bool withPage, const QString &file = QString())
    {
        auto *doc = new TestDocument(this, withPage);
        addMdiChild(doc);
        if (!file.isEmpty())
            doc->setCurrentFile(file);
        doc->showMaximized();
        mdiArea->setActiveSubWindow(doc->subWindow);
        return doc;
    }
};

} // namespace

class FrameworkTest : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void resources_data();
    void resources();
    void withoutDocumentActionsAreDisabled();
    void enableRulesFollowTheDocument();
    void zoomIn_data();
    void zoomIn();
    void zoomOut_data();
    void zoomOut();
    void zoomBoxItems();
    void zoomBoxInput_data();
    void zoomBoxInput();
    void windowMenuAccelerators();
    void findMdiChild();
    void separateWindowHoldsOneDocument();
    void editSlotsForward_data();
    void editSlotsForward();
    void regionToolTakesCutAndCopy();
    void toolWatcher();
    void toolPageChanged();
    void languageMenu_data();
    void languageMenu();
    void switchLanguageOnlyStoresTheChoice();
    void helpPagesOpenLocalFiles();
    void aboutBox_data();
    void aboutBox();
    void closeAsksForModifiedDocuments_data();
    void closeAsksForModifiedDocuments();

private:
    void installCatalogues(const QStringList &codes);
    std::unique_ptr<TestWindow> window;
};

void FrameworkTest::init()
{
    TestEnvironment::clearSettings();
    installCatalogues({});
    window = std::make_unique<TestWindow>();
    window->show();
    QApplication::setActiveWindow(window.get());
}

void FrameworkTest::cleanup()
{
    window.reset();
    installCatalogues({});
}

// Puts work_<code>.qm as lvbase_<code>.qm where the language menu looks.
void FrameworkTest::installCatalogues(const QStringList &codes)
{
    QDir dir(LVMainWindow::translationsPath());
    dir.removeRecursively();
    if (codes.isEmpty())
        return;
    QVERIFY(dir.mkpath(QStringLiteral(".")));
    for (const QString &code : codes)
        QVERIFY(QFile::copy(QStringLiteral(VIREON_TEST_CATALOGUES "/work_%1.qm").arg(code),
                            dir.filePath(QStringLiteral("lvbase_%1.qm").arg(code))));
}

void FrameworkTest::resources_data()
{
    QTest::addColumn<QString>("name");
    for (const char *name : { "open.png",
                              "save.png",
                              "zoomin.png",
                              "zoomout.png",
                              "cut.png",
                              "copy.png",
                              "paste.png",
                              "undo.png",
                              "redo.png",
                              "sort.png",
                              "pointer.png",
                              "copyregion.png",
                              "rotate_clockwise.png",
                              "rotate_counterclockwise.png",
                              "flip_horizontal.png",
                              "flip_vertical.png",
                              "contrast.png",
                              "crop.png",
                              "preIcon.png",
                              "splash.png",
                              "about.jpg",
                              "document.ico",
                              "cursorPen.png",
                              "cursorRectangle.png",
                              "cursorLine.png",
                              "cursorCheckMark.png",
                              "cursor-sizeall.png" })
        QTest::newRow(name) << QString::fromLatin1(name);
}

void FrameworkTest::resources()
{
    QFETCH(QString, name);
    const QImage image(QStringLiteral(":/images/") + name);
    QVERIFY(!image.isNull());
    // Icons are drawn, not blank.
    const QImage small = image.scaled(8, 8).convertToFormat(QImage::Format_ARGB32);
    QSet<QRgb> colours;
    for (int y = 0; y < small.height(); ++y)
        for (int x = 0; x < small.width(); ++x)
            colours.insert(small.pixel(x, y));
    QVERIFY(colours.size() > 2);
}

void FrameworkTest::withoutDocumentActionsAreDisabled()
{
    for (QAction *action : window->documentActions())
        QVERIFY2(!action->isEnabled(), qPrintable(action->text()));
    QVERIFY(!window->zoomBox->isEnabled());
    QVERIFY(!window->separatorAct->isVisible());
    QCOMPARE(window->windowTitle(), QStringLiteral("Vireon"));

    // Closing the last document returns to the same state.
    TestDocument *doc = window->addDocument(true);
    QVERIFY(window->closeAct->isEnabled());
    doc->subWindow->close();
    QTRY_VERIFY(window->mdiArea->subWindowList().isEmpty());
    for (QAction *action : window->documentActions())
        QVERIFY2(!action->isEnabled(), qPrintable(action->text()));
}

void FrameworkTest::enableRulesFollowTheDocument()
{
    TestDocument *doc = window->addDocument(true);
    QVERIFY(window->closeAct->isEnabled());
    QVERIFY(window->pasteAct->isEnabled());
    QVERIFY(window->zoomBox->isEnabled());
    QVERIFY(window->separatorAct->isVisible());
    // Never saved but nothing to save: Save stays off; printing needs only the page.
    QVERIFY(!window->saveAct->isEnabled());
    QVERIFY(window->printAct->isEnabled());
    QVERIFY(window->printPreviewAct->isEnabled());
    QCOMPARE(window->printAct->shortcut(), QKeySequence(QKeySequence::Print));
    const QList<QAction *> file = window->fileMenu->actions();
    QCOMPARE(file.indexOf(window->printAct), file.indexOf(window->saveAsAct) + 2);
    QCOMPARE(file.indexOf(window->printPreviewAct), file.indexOf(window->saveAsAct) + 3);
    QVERIFY(!window->cutAct->isEnabled());
    QVERIFY(!window->deleteAct->isEnabled());

    doc->object->setSelected(true);
    doc->undoStack()->push(new QUndoCommand);
    window->updateMenus();
    // The undo actions follow the active document's stack.
    QVERIFY(window->undoAct->isEnabled());
    window->undoAct->trigger();
    QCOMPARE(doc->undoStack()->index(), 0);
    QVERIFY(window->redoAct->isEnabled());
    window->redoAct->trigger();
    QCOMPARE(doc->undoStack()->index(), 1);
    QVERIFY(window->saveAct->isEnabled());
    TestDocument *other = window->addDocument(true);
    QVERIFY(!window->undoAct->isEnabled());
    QVERIFY(!window->saveAct->isEnabled());
    window->mdiArea->setActiveSubWindow(doc->subWindow);
    QVERIFY(window->undoAct->isEnabled());
    window->undoAct->trigger();
    QCOMPARE(doc->undoStack()->index(), 0);
    QCOMPARE(other->undoStack()->count(), 0);
    window->redoAct->trigger();
    QVERIFY(window->cutAct->isEnabled());
    QVERIFY(window->copyAct->isEnabled());
    QVERIFY(window->deleteAct->isEnabled());

    // A selected item that is not an object of the page does not enable Cut and Copy.
    doc->object->setSelected(false);
    auto *loose = doc->scene->addRect(300, 300, 5, 5);
    loose->setFlag(QGraphicsItem::ItemIsSelectable);
    loose->setSelected(true);
    window->updateMenus();
    QVERIFY(!window->cutAct->isEnabled());
    QVERIFY(window->deleteAct->isEnabled());
}

void FrameworkTest::zoomIn_data()
{
    QTest::addColumn<double>("from");
    QTest::addColumn<double>("to");
    QTest::newRow("step to next step") << 1.0 << 1.25;
    QTest::newRow("last step goes relative") << 4.0 << 5.0;
    QTest::newRow("above the steps") << 5.0 << 6.25;
    QTest::newRow("far below the first step") << 0.05 << 0.0625;
    QTest::newRow("just below the first step") << 0.09 << 0.1;
    QTest::newRow("between steps") << 0.3 << 0.5;
}

void FrameworkTest::zoomIn()
{
    QFETCH(double, from);
    QFETCH(double, to);
    TestDocument *doc = window->addDocument(true);
    doc->translate(7, 9);
    doc->scale(from, from);
    window->viewZoomIn();
    QCOMPARE(doc->transform().m11(), to);
    QCOMPARE(doc->transform().m22(), to);
    QCOMPARE(window->zoomBox->currentText(), QStringLiteral("%1 %").arg(int(to * 100)));
}

void FrameworkTest::zoomOut_data()
{
    QTest::addColumn<double>("from");
    QTest::addColumn<double>("to");
    QTest::newRow("first step goes relative") << 0.1 << 0.08;
    QTest::newRow("above the steps") << 5.0 << 4.0;
    QTest::newRow("far above the steps") << 10.0 << 8.0;
    QTest::newRow("step to previous step") << 1.0 << 0.75;
    QTest::newRow("between steps") << 0.3 << 0.25;
    QTest::newRow("below the first step") << 0.05 << 0.04;
}

void FrameworkTest::zoomOut()
{
    QFETCH(double, from);
    QFETCH(double, to);
    TestDocument *doc = window->addDocument(true);
    doc->scale(from, from);
    window->viewZoomOut();
    QCOMPARE(doc->transform().m11(), to);
    // The percentage is truncated, never rounded up.
    QCOMPARE(window->zoomBox->currentText(), QStringLiteral("%1 %").arg(int(to * 100)));
}

void FrameworkTest::zoomBoxItems()
{
    QStringList items;
    for (int i = 0; i < window->zoomBox->count(); ++i)
        items << window->zoomBox->itemText(i);
    QCOMPARE(items,
             QStringList({ "10 %", "15 %", "25 %", "50 %", "75 %", "100 %", "125 %", "150 %",
                           "200 %", "400 %" }));
    QVERIFY(window->zoomBox->isEditable());
    QCOMPARE(window->zoomBox->insertPolicy(), QComboBox::NoInsert);

    // Picking an item sets that scale, keeping the scroll position.
    TestDocument *doc = window->addDocument(true);
    doc->translate(3, 4);
    const QTransform before = doc->transform();
    window->zoomBox->setCurrentIndex(8);
    QCOMPARE(doc->transform().m11(), 2.0);
    QCOMPARE(doc->transform().dx(), before.dx());
    // After a zoom the same step, chosen again, applies again.
    window->viewZoomIn();
    QCOMPARE(doc->transform().m11(), 4.0);
    window->zoomBox->setCurrentIndex(8);
    QCOMPARE(doc->transform().m11(), 2.0);
    QCOMPARE(window->zoomBox->currentText(), QStringLiteral("200 %"));
}

void FrameworkTest::zoomBoxInput_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<double>("scale");
    // The view starts at 50 %; a refused entry shows that again.
    QTest::newRow("plain number") << "300"
                                  << "300 %" << 3.0;
    QTest::newRow("largest") << "25600"
                             << "25600 %" << 256.0;
    QTest::newRow("too large is capped") << "99999"
                                         << "25600 %" << 256.0;
    // Prefixes of the steps mean themselves, not the step they begin.
    QTest::newRow("prefix of 400") << "40"
                                   << "40 %" << 0.4;
    QTest::newRow("prefix of 10") << "1"
                                  << "1 %" << 0.01;
    QTest::newRow("prefix of 125") << "12"
                                   << "12 %" << 0.12;
    QTest::newRow("prefix of 75") << "7"
                                  << "7 %" << 0.07;
    QTest::newRow("a step itself") << "150"
                                   << "150 %" << 1.5;
    QTest::newRow("not exact in binary") << "29"
                                         << "29 %" << 0.29;
    QTest::newRow("letters refused") << "abc"
                                     << "50 %" << 0.5;
    QTest::newRow("zero refused") << "0"
                                  << "50 %" << 0.5;
    QTest::newRow("negative refused") << "-5"
                                      << "50 %" << 0.5;
    QTest::newRow("empty refused") << ""
                                   << "50 %" << 0.5;
}

void FrameworkTest::zoomBoxInput()
{
    QFETCH(QString, typed);
    QFETCH(QString, shown);
    QFETCH(double, scale);
    TestDocument *doc = window->addDocument(true);
    doc->scale(0.5, 0.5);
    window->setZoomText(50);
    LVComboBox *box = window->zoomBox;
    box->setFocus();
    // As a user replaces the text: select it all, then type.
    QTest::keyClick(box, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(box, Qt::Key_Backspace);
    QTest::keyClicks(box, typed);
    QTest::keyClick(box, Qt::Key_Return);
    QCOMPARE(box->currentText(), shown);
    QCOMPARE(doc->transform().m11(), scale);
    // Coming back to the document shows the same.
    window->describeActiveDocument();
    QCOMPARE(box->currentText(), shown);

    // Texts from other sources obey the same rules.
    window->setZoomText(40000);
    QCOMPARE(box->currentText(), QStringLiteral("25600 %"));
    window->sceneScaleChanged(QStringLiteral("51200 %"));
    QCOMPARE(doc->transform().m11(), 256.0);
    window->sceneScaleChanged(QStringLiteral("-50 %"));
    QCOMPARE(doc->transform().m11(), 256.0);
    window->sceneScaleChanged(QStringLiteral("junk"));
    QCOMPARE(doc->transform().m11(), 256.0);
}

void FrameworkTest::windowMenuAccelerators()
{
    QList<TestDocument *> docs;
    for (int i = 1; i <= 10; ++i)
        docs << window->addDocument(false, QStringLiteral("/tmp/picture%1.png").arg(i));
    window->mdiArea->setActiveSubWindow(docs.at(3)->subWindow);
    window->updateWindowMenu();
    QStringList texts;
    QStringList checked;
    for (QAction *action : window->windowMenu->actions()) {
        if (action->isCheckable()) {
            texts << action->text();
            if (action->isChecked())
                checked << action->text();
        }
    }
    QCOMPARE(texts.size(), 10);
    QCOMPARE(texts.first(), QStringLiteral("&1 picture1.png"));
    QCOMPARE(texts.at(8), QStringLiteral("&9 picture9.png"));
    QCOMPARE(texts.at(9), QStringLiteral("10 picture10.png"));
    QCOMPARE(checked, QStringList { QStringLiteral("&4 picture4.png") });
    QVERIFY(window->separatorAct->isVisible());

    // An entry activates its window.
    for (QAction *action : window->windowMenu->actions()) {
        if (action->text() == QLatin1String("&7 picture7.png"))
            action->trigger();
    }
    QCOMPARE(window->activeMdiChild(), docs.at(6));
}

void FrameworkTest::findMdiChild()
{
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("shown.png"));
    QVERIFY(ImageFixtures::writeImage(file, QSize(4, 4)));
    QVERIFY(QFile::link(file, dir.filePath(QStringLiteral("link.png"))));
    window->addDocument(true);
    TestDocument *doc = window->addDocument(true, file);
    QCOMPARE(window->findMdiChild(dir.filePath(QStringLiteral("link.png"))), doc->subWindow);
    QCOMPARE(window->findMdiChild(dir.path() + QStringLiteral("/./shown.png")), doc->subWindow);
    // Names of files that do not exist match nothing, not even the untitled document.
    QCOMPARE(window->findMdiChild(dir.filePath(QStringLiteral("missing.png"))), nullptr);
    QCOMPARE(window->findMdiChild(QString()), nullptr);
}

void FrameworkTest::separateWindowHoldsOneDocument()
{
    window->turnProjectType();
    window->newFile();
    QVERIFY(window->mdiArea->subWindowList().isEmpty());
    MainWindow *other = nullptr;
    for (QWidget *widget : QApplication::topLevelWidgets()) {
        if (auto *w = qobject_cast<MainWindow *>(widget); w && w != window.get())
            other = w;
    }
    QVERIFY(other);
    QPointer<MainWindow> guard(other);
    auto *area = other->findChild<QMdiArea *>();
    QCOMPARE(area->subWindowList().size(), 1);
    QCOMPARE(other->pos(), window->pos() + QPoint(40, 40));
    // Showing it again, as after a minimize, adds no second document.
    other->hide();
    other->show();
    QCOMPARE(area->subWindowList().size(), 1);
    other->close();
    QTRY_VERIFY(guard.isNull());
}

void FrameworkTest::editSlotsForward_data()
{
    QTest::addColumn<QString>("slot");
    QTest::addColumn<QString>("call");
    QTest::newRow("cut") << "cut"
                         << "cut";
    QTest::newRow("copy") << "copy"
                          << "copy";
    QTest::newRow("paste") << "paste"
                           << "paste";
    QTest::newRow("selectAll") << "selectAll"
                               << "selectAll";
    QTest::newRow("delete") << "deleteObjects"
                            << "deleteObjects";
    QTest::newRow("raise") << "raiseObjects"
                           << "raise";
    QTest::newRow("lower") << "lowerObjects"
                           << "lower";
    QTest::newRow("raiseToTop") << "raiseToTop"
                                << "raiseToTop";
    QTest::newRow("lowerToBottom") << "lowerToBottom"
                                   << "lowerToBottom";
}

void FrameworkTest::editSlotsForward()
{
    QFETCH(QString, slot);
    QFETCH(QString, call);
    // Without an active page nothing is called.
    TestDocument *empty = window->addDocument(false);
    QVERIFY(QMetaObject::invokeMethod(window.get(), slot.toLatin1().constData()));
    QVERIFY(empty->scene->calls.isEmpty());

    TestDocument *doc = window->addDocument(true);
    window->setProgramMode(7);
    QVERIFY(QMetaObject::invokeMethod(window.get(), slot.toLatin1().constData()));
    QCOMPARE(doc->scene->calls, QStringList { call });
    // Pasting returns to the select mode.
    QCOMPARE(window->programMode(), call == QLatin1String("paste") ? 0 : 7);
}

void FrameworkTest::regionToolTakesCutAndCopy()
{
    auto *copyTool = new TestTool(window.get(), 10);
    auto *otherTool = new TestTool(window.get(), 7);
    window->toolWatcher->addTool(copyTool);
    window->toolWatcher->addTool(otherTool);
    TestDocument *doc = window->addDocument(true);

    window->setProgramMode(10);
    window->cut();
    window->copy();
    QCOMPARE(copyTool->calls, QStringList({ "cutRegion", "copyRegion" }));
    QVERIFY(doc->scene->calls.isEmpty());

    window->setProgramMode(7);
    window->cut();
    window->copy();
    QCOMPARE(doc->scene->calls, QStringList({ "cut", "copy" }));
    QVERIFY(otherTool->calls.isEmpty());

    // Undo also returns the current tool to rest.
    window->undo();
    QCOMPARE(otherTool->calls, QStringList { "reset" });
}

void FrameworkTest::toolWatcher()
{
    // The framework window alone: no tools of the image program, no tool panel.
    LVMainWindow frame(true);
    LVToolWatcher *watcher = frame.toolWatcher;
    frame.setProgramMode(0);
    QCOMPARE(watcher->currentTool(), nullptr);
    QVERIFY(!watcher->mousePressEvent(nullptr));
    QVERIFY(!watcher->keyPressEvent(nullptr));
    QVERIFY(!watcher->drawForeground(nullptr, QRectF()));
    QVERIFY(!watcher->hasRect());

    auto *tool = new TestTool(&frame, 0);
    watcher->addTool(tool);
    QCOMPARE(watcher->tool(0), tool);
    QCOMPARE(watcher->tool(9), nullptr);
    QCOMPARE(watcher->currentTool(), tool);
    QVERIFY(!watcher->mousePressEvent(nullptr));
    tool->consumePress = true;
    QVERIFY(watcher->mousePressEvent(nullptr));
    tool->rectState = 1;
    QVERIFY(!watcher->hasRect());
    tool->rectState = 2;
    QVERIFY(watcher->hasRect());
    // Full screen has no tool.
    frame.setProgramMode(8);
    QCOMPARE(watcher->currentTool(), nullptr);
    // A negative mode counts as the select mode.
    frame.setProgramMode(-3);
    QCOMPARE(frame.programMode(), 0);

    watcher->focusLost = watcher->focusSwitched = true;
    watcher->lostName = watcher->switchedName = QStringLiteral("same.png");
    watcher->clearSwitch();
    QVERIFY(watcher->focusLost && watcher->focusSwitched);
    watcher->switchedName = QStringLiteral("other.png");
    watcher->clearSwitch();
    QVERIFY(!watcher->focusLost && !watcher->focusSwitched);
}

void FrameworkTest::toolPageChanged()
{
    LVMainWindow frame(true);
    LVToolWatcher *watcher = frame.toolWatcher;
    auto *select = new TestTool(&frame, 0);
    auto *crop = new TestTool(&frame, 7);
    select->pageIndex = 0;
    crop->pageIndex = 1;
    watcher->addTool(select);
    watcher->addTool(crop);

    watcher->toolPageChanged(1);
    QCOMPARE(frame.programMode(), 7);
    QCOMPARE(crop->calls, QStringList { "reset" });
    watcher->toolPageChanged(0);
    QCOMPARE(crop->calls, QStringList({ "reset", "deactivate" }));
    QCOMPARE(frame.programMode(), 0);

    // Moving to another document keeps the tool: its state is restored there.
    watcher->focusLost = watcher->focusSwitched = true;
    watcher->lostName = QStringLiteral("a.png");
    watcher->switchedName = QStringLiteral("b.png");
    watcher->toolPageChanged(1);
    QCOMPARE(select->calls, QStringList { "reset" });
    QVERIFY(!watcher->focusLost && !watcher->focusSwitched);

    // An unknown page changes nothing.
    watcher->toolPageChanged(5);
    QCOMPARE(frame.programMode(), 7);
}

void FrameworkTest::languageMenu_data()
{
    QTest::addColumn<QStringList>("codes");
    QTest::addColumn<QString>("stored");
    QTest::addColumn<QStringList>("texts");
    QTest::addColumn<QString>("checked");
    QTest::addColumn<bool>("enabled");
    QTest::newRow("three, stored ru")
            << QStringList { "de", "en", "ru" } << "ru"
            << QStringList { "&1 Deutsch", "&2 English", "&3 Русский" } << "&3 Русский" << true;
    QTest::newRow("three, stored de")
            << QStringList { "de", "en", "ru" } << "de"
            << QStringList { "&1 Deutsch", "&2 English", "&3 Русский" } << "&1 Deutsch" << true;
    QTest::newRow("single") << QStringList { "en" } << "en" << QStringList { "&1 English" }
                            << "&1 English" << false;
    QTest::newRow("none") << QStringList {} << "ru" << QStringList {} << QString() << false;
}

void FrameworkTest::languageMenu()
{
    QFETCH(QStringList, codes);
    QFETCH(QString, stored);
    QFETCH(QStringList, texts);
    QFETCH(QString, checked);
    QFETCH(bool, enabled);
    window.reset();
    installCatalogues(codes);
    QSettings().setValue(QStringLiteral("language"), stored);
    window = std::make_unique<TestWindow>();

    QStringList seen;
    QString seenChecked;
    for (QAction *action : window->languageMenu->actions()) {
        seen << action->text();
        if (action->isChecked())
            seenChecked = action->text();
    }
    QCOMPARE(seen, texts);
    QCOMPARE(seenChecked, checked);
    QCOMPARE(window->languageMenu->isEnabled(), enabled);
    QCOMPARE(window->language, stored);
}

void FrameworkTest::switchLanguageOnlyStoresTheChoice()
{
    window.reset();
    installCatalogues({ "en", "ru" });
    QSettings().setValue(QStringLiteral("language"), QStringLiteral("en"));
    window = std::make_unique<TestWindow>();
    const QString fileMenuTitle = window->menuBar()->actions().first()->text();

    ModalAnswerer *answer = ModalAnswerer::messageBox(QMessageBox::Ok);
    window->languageMenu->actions().at(1)->trigger();
    QVERIFY(answer->answered());
    QCOMPARE(answer->title(), QStringLiteral("Vireon"));
    QCOMPARE(answer->text(),
             QStringLiteral("The language change will take effect after a restart of Vireon."));
    QCOMPARE(answer->buttons(), QMessageBox::StandardButtons(QMessageBox::Ok));
    QCOMPARE(window->language, QStringLiteral("ru"));
    QCOMPARE(window->menuBar()->actions().first()->text(), fileMenuTitle);
    // Nothing is stored before the window closes.
    QCOMPARE(QSettings().value(QStringLiteral("language")).toString(), QStringLiteral("en"));
    window->close();
    QCOMPARE(QSettings().value(QStringLiteral("language")).toString(), QStringLiteral("ru"));
}

namespace {
class UrlCatcher : public QObject
{
    Q_OBJECT
public:
    QList<QUrl> urls;
public slots:
    void open(const QUrl &url) { urls << url; }
};
} // namespace

void FrameworkTest::helpPagesOpenLocalFiles()
{
    UrlCatcher catcher;
    QDesktopServices::setUrlHandler(QStringLiteral("file"), &catcher, "open");
    window->language = QStringLiteral("ru");
    window->contents();
    window->gettingStarted();
    window->techSupport();
    window->orderingInformation();
    QDesktopServices::unsetUrlHandler(QStringLiteral("file"));
    const QString base = QCoreApplication::applicationDirPath() + QStringLiteral("/help_ru/");
    QCOMPARE(catcher.urls,
             QList<QUrl>({ QUrl::fromLocalFile(base + "index.html"),
                           QUrl::fromLocalFile(base + "start.html"),
                           QUrl::fromLocalFile(base + "support.html"),
                           QUrl::fromLocalFile(base + "ordering.html") }));
    QCOMPARE(catcher.urls.first().toLocalFile(), base + "index.html");
}

// How the test leaves the About box: by the mouse, by Escape, or by following a link with
// Tab (the count picks the link) and Return, which keeps it open.
void FrameworkTest::aboutBox_data()
{
    QTest::addColumn<QString>("how");
    QTest::addColumn<int>("tabs");
    QTest::addColumn<QString>("url");
    QTest::newRow("click on the picture") << "click" << 0 << QString();
    QTest::newRow("escape") << "escape" << 0 << QString();
    QTest::newRow("support link") << "link" << 1 << "https://www.ostrelle.org/vireon/feedback";
    QTest::newRow("web link") << "link" << 2 << "https://www.ostrelle.org/vireon";
}

void FrameworkTest::aboutBox()
{
    QFETCH(QString, how);
    QFETCH(int, tabs);
    QFETCH(QString, url);
    UrlCatcher catcher;
    QDesktopServices::setUrlHandler(QStringLiteral("https"), &catcher, "open");

    // The window lays itself out in full, as it has long before anyone reaches the menu.
    QApplication::processEvents();
    QPointer<LVAboutDialog> dialog;
    QString title;
    QStringList texts;
    QRect frame;
    QSize size;
    QRgb corner = 0;
    bool stayedOpen = false;
    // Owned by the row, so that it dies with it when no box ever opens.
    QTimer whileOpen;
    whileOpen.setSingleShot(true);
    connect(&whileOpen, &QTimer::timeout, this, [&] {
        dialog = qobject_cast<LVAboutDialog *>(QApplication::activeModalWidget());
        if (!dialog)
            return;
        title = dialog->windowTitle();
        for (const QLabel *label : dialog->findChildren<QLabel *>())
            texts << label->text();
        frame = dialog->frameGeometry();
        size = dialog->size();
        corner = dialog->grab().toImage().pixel(3, 3);
        // Keys go where the user's would: to the widget with focus in the active box.
        // Offscreen windows may never report active; the focus fallback below covers that.
        (void)QTest::qWaitForWindowActive(dialog);
        QWidget *focus = QApplication::focusWidget() ? QApplication::focusWidget() : dialog.data();
        if (how == QLatin1String("click")) {
            QTest::mouseClick(dialog, Qt::LeftButton, {}, QPoint(3, 3));
        } else if (how == QLatin1String("escape")) {
            QTest::keyClick(focus, Qt::Key_Escape);
        } else {
            for (int i = 0; i < tabs; ++i)
                QTest::keyClick(focus, Qt::Key_Tab);
            QTest::keyClick(focus, Qt::Key_Return);
        }
        // Never leave the test waiting on a box that should have closed.
        stayedOpen = dialog && dialog->isVisible();
        if (stayedOpen)
            dialog->reject();
    });
    whileOpen.start(0);
    QMenu *help = window->menuBar()->actions().last()->menu();
    help->actions().last()->trigger();
    QDesktopServices::unsetUrlHandler(QStringLiteral("https"));

    QVERIFY(!dialog); // gone when the slot returns
    QCOMPARE(title, QStringLiteral("About Vireon 3.0"));
    QCOMPARE(texts.size(), 3);
    QCOMPARE(texts[0], QStringLiteral("<h1>Vireon</h1>"));
    QVERIFY2(texts[1].startsWith(QStringLiteral("<b>Version: 3.0</b><p>Technical support: ")),
             qPrintable(texts[1]));
    QCOMPARE(texts[2], QStringLiteral("Copyright \u00a9 2024-2026 Ostrelle"));
    QCOMPARE(size, QImage(QStringLiteral(":/images/about.jpg")).size());
    QCOMPARE(corner, QImage(QStringLiteral(":/images/about.jpg")).pixel(3, 3));
    QVERIFY2(qAbs(frame.center().x() - window->frameGeometry().center().x()) <= 1
                     && qAbs(frame.center().y() - window->frameGeometry().center().y()) <= 1,
             qPrintable(QStringLiteral("%1,%2 %3x%4 in %5,%6 %7x%8")
                                .arg(frame.x())
                                .arg(frame.y())
                                .arg(frame.width())
                                .arg(frame.height())
                                .arg(window->frameGeometry().x())
                                .arg(window->frameGeometry().y())
                                .arg(window->frameGeometry().width())
                                .arg(window->frameGeometry().height())));
    QCOMPARE(stayedOpen, !url.isEmpty());
    QCOMPARE(catcher.urls, url.isEmpty() ? QList<QUrl>() : QList<QUrl>({ QUrl(url) }));
}

void FrameworkTest::closeAsksForModifiedDocuments_data()
{
    QTest::addColumn<int>("answer");
    QTest::addColumn<bool>("closes");
    QTest::newRow("cancel keeps everything") << int(QMessageBox::Cancel) << false;
    QTest::newRow("discard closes") << int(QMessageBox::Discard) << true;
}

void FrameworkTest::closeAsksForModifiedDocuments()
{
    QFETCH(int, answer);
    QFETCH(bool, closes);
    window->addDocument(true, QStringLiteral("/tmp/clean.png"));
    TestDocument *modified = window->addDocument(true, QStringLiteral("/tmp/edited.png"));
    modified->undoStack()->push(new QUndoCommand);

    ModalAnswerer *answerer = ModalAnswerer::messageBox(QMessageBox::StandardButton(answer));
    QCOMPARE(window->close(), closes);
    QVERIFY(answerer->answered());
    QCOMPARE(answerer->text(),
             QStringLiteral("'edited.png' has been modified.\nDo you want to save your changes?"));
    QCOMPARE(QSettings().contains(QStringLiteral("language")), closes);
    if (!closes) {
        QVERIFY(window->isVisible());
        QCOMPARE(window->activeMdiChild(), modified);
        QCOMPARE(modified->undoStack()->index(), 1);
    }
}

VIREON_TEST_MAIN(FrameworkTest)
#include "tst_framework.moc"
