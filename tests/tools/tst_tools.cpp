#include "app/mainwindow.h"
#include "browser/statusbar.h"
#include "document/mdichild.h"
#include "framework/lvscene.h"
#include "framework/lvtool.h"
#include "framework/lvtoolwatcher.h"
#include "imagefixtures.h"
#include "scene/addobjectcommand.h"
#include "scene/groupobjectcommand.h"
#include "scene/pageitem.h"
#include "scene/pagesettingscommand.h"
#include "scene/removeobjectcommand.h"
#include "scene/transformobjectcommand.h"
#include "scene/vrimageitem.h"
#include "testinput.h"
#include "testmain.h"
#include "testwindow.h"
#include "tools/copytool.h"
#include "tools/croptool.h"
#include "tools/selecttool.h"
#include "tools/toolpanel.h"

#include <QAction>
#include <QClipboard>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QStackedLayout>
#include <QTemporaryDir>
#include <QUndoStack>

namespace {

using Points = QList<QPointF>;
// Keys with their modifiers added, as QKeySequence counts them.
using Keys = QList<int>;

// The shared window, with the status bar's rectangle field in reach.
class ToolsWindow : public TestWindow
{
public:
    bool showsRect() const { return statusBarWidget()->firstText().contains(QLatin1Char('x')); }
};

// A press, moves with the button held and a release at scene positions, then keys.
void gesture(MdiChild *doc, const Points &points, const Keys &keys = Keys())
{
    for (int i = 0; i < points.size(); ++i) {
        const QPoint at = doc->mapFromScene(points.at(i));
        QList<QMouseEvent> events;
        if (i == 0)
            events << mouseEvent(QEvent::MouseButtonPress, at, Qt::LeftButton);
        if (i > 0 || points.size() == 1)
            events << mouseEvent(QEvent::MouseMove, at, Qt::LeftButton);
        if (i == points.size() - 1)
            events << mouseEvent(QEvent::MouseButtonRelease, at, Qt::NoButton);
        for (QMouseEvent &event : events)
            QApplication::sendEvent(doc->viewport(), &event);
    }
    for (int key : keys)
        QTest::keyClick(doc, Qt::Key(key & ~Qt::KeyboardModifierMask),
                        Qt::KeyboardModifiers(key & Qt::KeyboardModifierMask));
}

QImage argb(const QImage &image)
{
    return image.convertToFormat(QImage::Format_ARGB32);
}

VRImageItem *firstImage(MdiChild *doc)
{
    return dynamic_cast<VRImageItem *>(doc->lvScene()->currentPage()->objects().first());
}

// Set-ups of the region tests, made before the history starts: "two images" puts other
// at (20, 10) over the first image, "turned" turns the 120 x 90 sheet clockwise, "no image"
// removes the image.
void arrange(MdiChild *doc, const QString &setting, const QImage &other)
{
    PageItem *sheet = doc->lvScene()->currentPage();
    QUndoStack *stack = doc->undoStack();
    if (setting == QLatin1String("two images")) {
        auto *item = new VRImageItem(other);
        item->setPos(20, 10);
        item->initialPos = item->pos();
        stack->push(new AddObjectCommand(sheet, item));
    } else if (setting == QLatin1String("turned")) {
        auto *turn = new TransformObjectCommand(sheet, firstImage(doc));
        turn->newTransform = QTransform().rotate(90).translate(0, -90);
        stack->push(turn);
        auto *size = new PageSettingsCommand(sheet);
        size->newWidth = 90;
        size->newHeight = 120;
        stack->push(size);
    } else if (setting == QLatin1String("no image")) {
        stack->push(new RemoveObjectCommand(sheet, firstImage(doc)));
    }
    stack->clear();
}

} // namespace

class ToolsTest : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void rectangle_data();
    void rectangle();
    void switching();
    void toolStateFollowsTheDocument();
    void crop_data();
    void crop();
    void dockVisibilityIsKept();
    void copyAndCut_data();
    void copyAndCut();
    void grouping_data();
    void grouping();

private:
    std::unique_ptr<ToolsWindow> window;
};

void ToolsTest::init()
{
    TestEnvironment::clearSettings();
    window = std::make_unique<ToolsWindow>();
}

void ToolsTest::cleanup()
{
    // Left with a rectangle, the crop tool would crop while the documents close.
    if (LVTool *tool = window->toolWatcher->currentTool())
        tool->reset();
    window.reset();
}

void ToolsTest::rectangle_data()
{
    QTest::addColumn<double>("zoom");
    QTest::addColumn<Points>("draw");
    QTest::addColumn<Points>("then");
    QTest::addColumn<Keys>("keys");
    QTest::addColumn<QRectF>("expected");

    const Points box { { 10, 10 }, { 20, 15 }, { 29, 29 } };
    const QRectF boxRect(10, 10, 20, 20);
    const auto row = [](const char *name, const Points &draw, const Points &then, const Keys &keys,
                        const QRectF &expected, double zoom = 1) {
        QTest::newRow(name) << zoom << draw << then << keys << expected;
    };
    const auto keyed = [&](const char *name, const QPointF &at, int key, const QRectF &expected) {
        row(name, { at, at + QPointF(94, 4) }, {}, { key }, expected);
    };
    row("click", { { 10, 10 } }, {}, {}, { 10, 10, 1, 1 });
    row("down-right", box, {}, {}, boxRect);
    row("up-left", { { 29, 29 }, { 12, 12 }, { 10, 10 } }, {}, {}, boxRect);
    row("down-left", { { 29, 10 }, { 12, 12 }, { 10, 29 } }, {}, {}, boxRect);
    row("move inside", box, { { 15, 15 }, { 20, 16 }, { 25, 18 } }, {}, { 20, 13, 20, 20 });
    row("top-left past the corner", box, { { 10, 10 }, { 40, 30 }, { 50, 40 } }, {},
        { 30, 30, 20, 10 });
    row("press outside", box, { { 80, 80 }, { 90, 90 } }, {}, boxRect);
    // At 200 % a handle is 4 document pixels wide: the right one spans 27.5 to 31.5.
    row("200 %, on the handle", box, { { 31, 19 }, { 41, 19 } }, {}, { 10, 10, 30, 20 }, 2);
    row("200 %, beside the handle", box, { { 32, 19 }, { 42, 19 } }, {}, boxRect, 2);
    keyed("right from 30", { 30, 10 }, Qt::Key_Right, { 40, 10, 95, 5 });
    keyed("right from 35", { 35, 10 }, Qt::Key_Right, { 40, 10, 95, 5 });
    keyed("left from 30", { 30, 10 }, Qt::Key_Left, { 20, 10, 95, 5 });
    keyed("left from 35", { 35, 10 }, Qt::Key_Left, { 30, 10, 95, 5 });
    keyed("control+down", { 30, 35 }, Qt::CTRL | Qt::Key_Down, { 30, 36, 95, 5 });
    keyed("shift+right on 95", { 0, 0 }, Qt::SHIFT | Qt::Key_Right, { 0, 0, 100, 5 });
    keyed("shift+control+right on 95", { 0, 0 }, Qt::SHIFT | Qt::CTRL | Qt::Key_Right,
          { 0, 0, 96, 5 });
}

// The crop tool's rectangle, driven by real mouse and key events on a shown view.
void ToolsTest::rectangle()
{
    QFETCH(double, zoom);
    QFETCH(Points, draw);
    QFETCH(Points, then);
    QFETCH(Keys, keys);
    QFETCH(QRectF, expected);

    MdiChild *doc = window->open(ImageFixtures::pattern(QSize(120, 90)), QStringLiteral("a.png"));
    doc->setTransform(QTransform::fromScale(zoom, zoom));
    window->clickTool(7);
    LVTool *tool = window->toolWatcher->currentTool();
    QCOMPARE(tool, window->tool(7));
    const QList<QGraphicsItem *> selected = doc->lvScene()->selectedItems();

    gesture(doc, draw);
    QCOMPARE(tool->rectState, 2);
    gesture(doc, then, keys);
    QCOMPARE(tool->selectionRect, expected);
    QVERIFY(window->statusBarWidget()->firstText().endsWith(QStringLiteral("%1,%2 %3x%4")
                                                                    .arg(expected.x())
                                                                    .arg(expected.y())
                                                                    .arg(expected.width())
                                                                    .arg(expected.height())));
    // Handles keep 8 screen pixels at any zoom.
    tool->updateHandles();
    QCOMPARE(tool->handles[7].width() * zoom, 8.0);
    // The rectangle records nothing, and neither selects nor moves the image.
    QCOMPARE(doc->undoStack()->count(), 0);
    QCOMPARE(doc->lvScene()->selectedItems(), selected);
    QCOMPARE(firstImage(doc)->pos(), QPointF());
}

void ToolsTest::switching()
{
    const QImage image = ImageFixtures::pattern(QSize(120, 90));
    MdiChild *doc = window->open(image, QStringLiteral("a.png"));
    LVTool *crop = window->tool(7);
    QCOMPARE(window->toolWatcher->currentTool(), window->tool(0));
    // Select draws no rectangle: the scene's own rubber band works instead.
    gesture(doc, { { 10, 10 }, { 30, 30 } });
    QCOMPARE(window->tool(0)->rectState, 0);
    QVERIFY(!window->toolWatcher->hasRect());

    for (int id : { 10, 9, 7 }) {
        window->clickTool(id);
        QCOMPARE(window->programMode(), id);
        QCOMPARE(window->tools()->pages()->currentIndex(), window->tool(id)->pageIndex);
    }
    // The rectangle shows bright in the dimmed page, in a white frame.
    gesture(doc, { { 10, 10 }, { 49, 29 } });
    const QImage shot = doc->viewport()->grab().toImage();
    const auto onScreen = [&](int x, int y) { return shot.pixelColor(doc->mapFromScene(x, y)); };
    QCOMPARE(onScreen(30, 20), image.pixelColor(30, 20));
    QCOMPARE(onScreen(20, 9), QColor(Qt::white));
    const QColor dimmed = onScreen(80, 60), original = image.pixelColor(80, 60);
    QVERIFY(qAbs(dimmed.red() - original.red() * 0.8) <= 1);
    QVERIFY(qAbs(dimmed.blue() - original.blue() * 0.8) <= 1);

    // Clicking the current tool's button neither resets nor crops.
    window->clickTool(7);
    QCOMPARE(crop->rectState, 2);
    // Full screen has no tool; it leaves the page and the rectangle alone.
    window->setProgramMode(8);
    QCOMPARE(window->toolWatcher->currentTool(), nullptr);
    QCOMPARE(window->tools()->pages()->currentIndex(), crop->pageIndex);
    QCOMPARE(crop->rectState, 2);
    window->setProgramMode(7);
    // Escape removes the rectangle without cropping.
    QTest::keyClick(doc, Qt::Key_Escape);
    QCOMPARE(crop->rectState, 0);
    QVERIFY(!window->showsRect());
    QCOMPARE(doc->undoStack()->count(), 0);

    // Leaving the tool with a rectangle crops, as one step.
    gesture(doc, { { 10, 10 }, { 49, 29 } });
    window->clickTool(0);
    QCOMPARE(doc->undoStack()->count(), 1);
    QCOMPARE(doc->lvScene()->currentPage()->rect.size(), QSize(40, 20));
    QCOMPARE(crop->rectState, 0);
}

void ToolsTest::toolStateFollowsTheDocument()
{
    const QImage image = ImageFixtures::pattern(QSize(120, 90));
    MdiChild *a = window->open(image, QStringLiteral("a.png"));
    window->clickTool(7);
    MdiChild *b = window->open(image, QStringLiteral("b.png"));
    QTRY_VERIFY(b->hasFocus());
    QCOMPARE(window->programMode(), 7);
    // Leaving the crop tool in the new document crops it.
    gesture(b, { { 0, 0 }, { 59, 44 } });
    window->clickTool(0);
    QCOMPARE(b->lvScene()->currentPage()->rect.size(), QSize(60, 45));

    // Back in a, its tool comes back; switching documents deactivates nothing.
    window->mdiArea->setActiveSubWindow(a->subWindow);
    a->setFocus();
    QTRY_COMPARE(window->programMode(), 7);
    gesture(a, { { 0, 0 }, { 29, 29 } });
    window->mdiArea->setActiveSubWindow(b->subWindow);
    b->setFocus();
    QTRY_COMPARE(window->programMode(), 0);
    QCOMPARE(a->undoStack()->count(), 0);
    QCOMPARE(b->undoStack()->count(), 1);
    QCOMPARE(window->tool(7)->rectState, 2);
}

void ToolsTest::crop_data()
{
    QTest::addColumn<Points>("draw");
    QTest::addColumn<Keys>("keys");
    QTest::addColumn<QString>("setting");
    QTest::addColumn<QSize>("page");
    QTest::addColumn<QRect>("kept");
    QTest::addColumn<QPoint>("at");

    const auto row
            = [](const char *name, const Points &draw, const QSize &page, const QRect &kept,
                 const QPoint &at = QPoint(), const char *setting = "", const Keys &keys = Keys()) {
                  QTest::newRow(name) << draw << keys << setting << page << kept << at;
              };
    row("before drawing", {}, QSize(), QRect());
    row("inside", { { 20, 10 }, { 69, 49 } }, { 50, 40 }, { 20, 10, 50, 40 });
    row("beyond the bottom right", { { 100, 60 }, { 159, 119 } }, { 60, 60 }, { 100, 60, 20, 30 });
    row("beyond the top left", { { -20, -10 }, { 29, 29 } }, { 50, 40 }, { 0, 0, 30, 30 },
        { 20, 10 });
    row("two images", { { 40, 30 }, { 89, 69 } }, { 50, 40 }, { 40, 30, 50, 40 }, {}, "two images");
    // The sheet turned clockwise first: the page is 90 x 120.
    row("turned", { { 10, 20 }, { 59, 59 } }, { 50, 40 }, { 10, 20, 50, 40 }, {}, "turned");
    const int narrower = Qt::SHIFT | Qt::CTRL | Qt::Key_Left;
    row("width 0 by keys", { { 20, 10 }, { 22, 49 } }, QSize(), QRect(), {}, "",
        { narrower, narrower, narrower });
}

void ToolsTest::crop()
{
    QFETCH(Points, draw);
    QFETCH(Keys, keys);
    QFETCH(QString, setting);
    QFETCH(QSize, page);
    QFETCH(QRect, kept);
    QFETCH(QPoint, at);

    // Without alpha, as photos load.
    QImage image = ImageFixtures::pattern(QSize(120, 90), QImage::Format_RGB32);
    MdiChild *doc = window->open(image, QStringLiteral("a.png"));
    PageItem *sheet = doc->lvScene()->currentPage();
    // A second image lies inside the first, offset by (20, 10).
    const QImage other = ImageFixtures::pattern(QSize(100, 70)).mirrored(true, false);
    arrange(doc, setting, other);
    if (setting == QLatin1String("turned"))
        image = image.transformed(QTransform().rotate(90));
    const QImage before = argb(doc->renderPage());
    window->clickTool(7);
    auto *crop = static_cast<CropTool *>(window->tool(7));
    gesture(doc, draw, keys);
    QTest::mouseClick(crop->cropButton, Qt::LeftButton);

    if (page.isEmpty()) {
        QCOMPARE(doc->undoStack()->count(), 0);
        QCOMPARE(argb(doc->renderPage()), before);
        return;
    }
    QCOMPARE(crop->rectState, 0);
    QVERIFY(!window->showsRect());
    QCOMPARE(doc->undoStack()->count(), 1);
    QCOMPARE(sheet->rect, QRect(QPoint(), page));
    // The page shows what lay inside the rectangle, where it lay; white where no image was.
    QImage expected(page, QImage::Format_ARGB32);
    expected.fill(Qt::white);
    QPainter painter(&expected);
    painter.drawImage(at, argb(image).copy(kept));
    if (setting == QLatin1String("two images"))
        painter.drawImage(at, argb(other).copy(kept.translated(-20, -10)));
    painter.end();
    const QImage cropped = argb(doc->renderPage());
    QCOMPARE(cropped, expected);
    // The status bar describes the page as it is now.
    const auto describes = [&](const QSize &size) {
        return window->statusBarWidget()->secondText().endsWith(
                QStringLiteral("%1x%2").arg(size.width()).arg(size.height()));
    };
    QVERIFY(describes(page));

    // One undo step gives back every image, its place and the page; redo repeats the crop.
    doc->undoStack()->undo();
    QCOMPARE(argb(doc->renderPage()), before);
    QVERIFY(describes(before.size()));
    doc->undoStack()->redo();
    QCOMPARE(argb(doc->renderPage()), cropped);

    // The file holds what the page shows.
    QTemporaryDir dir;
    const QString saved = dir.filePath(QStringLiteral("cropped.png"));
    QVERIFY(doc->saveFile(saved));
    QCOMPARE(argb(QImage(saved)), cropped);
}

void ToolsTest::dockVisibilityIsKept()
{
    window->tools()->toggleViewAction()->trigger();
    QVERIFY(window->close());
    window = std::make_unique<ToolsWindow>();
    QVERIFY(window->tools()->isHidden());
}

void ToolsTest::copyAndCut_data()
{
    QTest::addColumn<QString>("action");
    QTest::addColumn<QString>("setting");
    QTest::addColumn<double>("zoom");
    QTest::addColumn<Points>("draw");
    QTest::addColumn<QRect>("region");

    const Points inside { { 20, 10 }, { 69, 49 } };
    const QRect insideRect(20, 10, 50, 40);
    const auto row = [](const char *name, const char *action, const Points &draw,
                        const QRect &region, const char *setting = "", double zoom = 1) {
        QTest::newRow(name) << action << setting << zoom << draw << region;
    };
    row("copy", "Copy", inside, insideRect);
    row("copy beyond the bottom right", "Copy", { { 100, 60 }, { 159, 119 } }, { 100, 60, 20, 30 });
    row("copy beyond the top left", "Copy", { { -20, -10 }, { 29, 29 } }, { 0, 0, 30, 30 });
    // Zoomed after drawing: the copy still holds document pixels.
    row("copy at 25 %", "Copy", inside, insideRect, "", 0.25);
    row("copy at 400 %", "Copy", inside, insideRect, "", 4);
    row("Edit > Copy", "copyAct", inside, insideRect);
    row("cut", "Cut", inside, insideRect);
    row("cut beyond the page", "Cut", { { 100, 60 }, { 159, 119 } }, { 100, 60, 20, 30 });
    row("cut a palette image", "Cut", inside, insideRect, "palette");
    row("cut two images", "Cut", inside, insideRect, "two images");
    // The sheet turned clockwise first: the page is 90 x 120.
    row("cut turned", "Cut", { { 10, 20 }, { 59, 59 } }, { 10, 20, 50, 40 }, "turned");
    // Only the white page is left to copy, and the step is empty.
    row("cut without image", "Cut", inside, insideRect, "no image");
    row("Edit > Cut", "cutAct", inside, insideRect);
}

void ToolsTest::copyAndCut()
{
    QFETCH(QString, action);
    QFETCH(QString, setting);
    QFETCH(double, zoom);
    QFETCH(Points, draw);
    QFETCH(QRect, region);

    QImage image = ImageFixtures::pattern(QSize(120, 90), QImage::Format_RGB32);
    if (setting == QLatin1String("palette"))
        image = image.convertToFormat(QImage::Format_Indexed8, Qt::ThresholdDither);
    MdiChild *doc = window->open(image, QStringLiteral("a.png"));
    arrange(doc, setting, ImageFixtures::pattern(QSize(100, 70)));
    const QImage before = argb(doc->renderPage());
    window->clickTool(10);
    auto *tool = static_cast<CopyTool *>(window->tool(10));
    doc->lvScene()->clearSelection();
    window->updateMenus();
    gesture(doc, draw);
    const QTransform zoomed = QTransform::fromScale(zoom, zoom);
    doc->setTransform(zoomed);
    QClipboard *clipboard = QApplication::clipboard();
    clipboard->clear();
    if (QAction *menuAction = action == QLatin1String("copyAct") ? window->copyAct
                : action == QLatin1String("cutAct")              ? window->cutAct
                                                                 : nullptr) {
        // The drawn region is what the menu's Cut and Copy take, with nothing selected.
        QVERIFY(menuAction->isEnabled());
        menuAction->trigger();
    } else {
        QTest::mouseClick(action == QLatin1String("Cut") ? tool->cutButton : tool->copyButton,
                          Qt::LeftButton);
    }

    QCOMPARE(argb(clipboard->image()), before.copy(region));
    QCOMPARE(doc->transform(), zoomed);
    QCOMPARE(tool->rectState, 0);
    QVERIFY(!window->showsRect());
    const bool cut = action.contains(QLatin1String("ut"));
    // A cut whitens the region in every image, as one step that undo and redo take exactly.
    QImage expected = before;
    if (cut)
        QPainter(&expected).fillRect(region, Qt::white);
    const QImage after = argb(doc->renderPage());
    QCOMPARE(after, expected);
    QCOMPARE(doc->undoStack()->count(), cut ? 1 : 0);
    if (cut) {
        doc->undoStack()->undo();
        QCOMPARE(argb(doc->renderPage()), before);
        doc->undoStack()->redo();
        QCOMPARE(argb(doc->renderPage()), after);
    }
    // Without a new rectangle a second copy leaves the clipboard alone.
    clipboard->setText(QStringLiteral("kept"));
    tool->copyImage();
    QCOMPARE(clipboard->text(), QStringLiteral("kept"));
}

void ToolsTest::grouping_data()
{
    QTest::addColumn<int>("selected");
    QTest::addColumn<bool>("grouped");
    QTest::addColumn<bool>("group");
    QTest::addColumn<int>("steps");
    QTest::addColumn<QRectF>("bounds");

    // The photo covers (0, 0, 120, 90), the second image (100, 60, 40, 50).
    const QRectF both(0, 0, 140, 110);
    QTest::newRow("group two") << 2 << false << true << 1 << both;
    QTest::newRow("group one") << 1 << false << true << 0 << QRectF(100, 60, 40, 50);
    QTest::newRow("ungroup plain objects") << 2 << false << false << 0 << both;
    // The members end deselected.
    QTest::newRow("ungroup a group") << 2 << true << false << 1 << QRectF();
}

void ToolsTest::grouping()
{
    QFETCH(int, selected);
    QFETCH(bool, grouped);
    QFETCH(bool, group);
    QFETCH(int, steps);
    QFETCH(QRectF, bounds);

    MdiChild *doc = window->open(ImageFixtures::pattern(QSize(120, 90)), QStringLiteral("a.png"));
    PageItem *sheet = doc->lvScene()->currentPage();
    auto *second = new VRImageItem(ImageFixtures::pattern(QSize(40, 50)));
    second->setPos(100, 60);
    doc->undoStack()->push(new AddObjectCommand(sheet, second));
    const QList<ObjectItem *> images { firstImage(doc), second };
    doc->lvScene()->clearSelection();
    for (int i = 0; i < selected; ++i)
        images.at(images.size() - 1 - i)->setSelected(true);
    if (grouped)
        doc->undoStack()->push(new GroupObjectCommand(sheet, images));
    doc->undoStack()->clear();
    const QImage before = argb(doc->renderPage());
    const auto placed = [&] {
        QList<QVariant> state;
        for (ObjectItem *image : images)
            state << image->scenePos() << qulonglong(quintptr(image->parentItem()));
        return state;
    };
    const QList<QVariant> start = placed();

    auto *tool = static_cast<SelectTool *>(window->tool(0));
    QTest::mouseClick(group ? tool->groupButton : tool->ungroupButton, Qt::LeftButton);
    QCOMPARE(doc->undoStack()->count(), steps);
    QCOMPARE(tool->selectedRect(), bounds);
    if (steps)
        QCOMPARE(window->showsRect(), !bounds.isEmpty());
    const bool inGroup = images.first()->parentItem() != sheet;
    QCOMPARE(inGroup, group ? steps == 1 : grouped && !steps);
    // Nothing moves on the page; undo and redo give back each state exactly.
    QCOMPARE(argb(doc->renderPage()), before);
    const QList<QVariant> done = placed();
    QCOMPARE(done == start, steps == 0);
    if (steps) {
        doc->undoStack()->undo();
        QCOMPARE(placed(), start);
        doc->undoStack()->redo();
        QCOMPARE(placed(), done);
    }
}

VIREON_TEST_MAIN(ToolsTest)
#include "tst_tools.moc"
