#include "app/mainwindow.h"
#include "browser/statusbar.h"
#include "document/mdichild.h"
#include "framework/lvtool.h"
#include "framework/lvtoolwatcher.h"
#include "imagefixtures.h"
#include "scene/addobjectcommand.h"
#include "scene/pageitem.h"
#include "scene/pagesettingscommand.h"
#include "scene/scene.h"
#include "scene/transformobjectcommand.h"
#include "scene/vrimageitem.h"
#include "testinput.h"
#include "testmain.h"
#include "tools/croptool.h"
#include "tools/toolpanel.h"

#include <QAction>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QStackedLayout>
#include <QUndoStack>

namespace {

struct Key
{
    int key;
    Qt::KeyboardModifiers modifiers;
};
using Keys = QList<Key>;
using Points = QList<QPointF>;

class TestWindow : public MainWindow
{
public:
    TestWindow() : MainWindow(true)
    {
        resize(1200, 900);
        show();
        QApplication::setActiveWindow(this);
    }
    using LVMainWindow::mdiArea;

    // A document showing image, as a finished load leaves it.
    MdiChild *open(const QImage &image, const QString &name)
    {
        auto *doc = static_cast<MdiChild *>(createMdiChild());
        doc->newFile();
        doc->setCurrentFile(name);
        doc->showMaximized();
        doc->insertImage(image);
        doc->setImage(image);
        doc->undoStack()->clear();
        doc->setFocus();
        return doc;
    }
    LVTool *tool(int id) const { return toolWatcher->tool(id); }
    // A user's click on the tool's button in the dock.
    void clickTool(const QString &title)
    {
        auto *button = tools()->findChild<QPushButton *>(title);
        QVERIFY(button);
        QTest::mouseClick(button, Qt::LeftButton);
    }
};

// A press, moves with the button held and a release at scene positions of the document.
void drag(MdiChild *doc, const Points &points)
{
    QWidget *viewport = doc->viewport();
    for (int i = 0; i < points.size(); ++i) {
        const QPoint at = doc->mapFromScene(points.at(i));
        const bool last = i == points.size() - 1;
        if (i == 0) {
            auto press = mouseEvent(QEvent::MouseButtonPress, at, Qt::LeftButton);
            QApplication::sendEvent(viewport, &press);
        }
        if (i > 0 || points.size() == 1) {
            auto move = mouseEvent(QEvent::MouseMove, at, Qt::LeftButton);
            QApplication::sendEvent(viewport, &move);
        }
        if (last) {
            auto release = mouseEvent(QEvent::MouseButtonRelease, at, Qt::NoButton);
            QApplication::sendEvent(viewport, &release);
        }
    }
}

void press(MdiChild *doc, const Keys &keys)
{
    for (const Key &key : keys)
        QTest::keyClick(doc, Qt::Key(key.key), key.modifiers);
}

QList<VRImageItem *> imagesOf(MdiChild *doc)
{
    QList<VRImageItem *> images;
    const auto objects = doc->lvScene()->currentPage()->objects();
    for (ObjectItem *object : objects)
        images << dynamic_cast<VRImageItem *>(object);
    return images;
}

QImage argb(const QImage &image)
{
    return image.convertToFormat(QImage::Format_ARGB32);
}

// What the status bar shows for a rectangle.
QString shown(const QRectF &r)
{
    return QStringLiteral("%1,%2 %3x%4").arg(r.x()).arg(r.y()).arg(r.width()).arg(r.height());
}

} // namespace

Q_DECLARE_METATYPE(Keys)

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

private:
    std::unique_ptr<TestWindow> window;
};

void ToolsTest::init()
{
    TestEnvironment::clearSettings();
    window = std::make_unique<TestWindow>();
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
    const auto keyed = [&](const char *name, const QRectF &start, Keys keys, const QRectF &r) {
        const Points from { start.topLeft(), start.bottomRight() - QPointF(1, 1) };
        QTest::newRow(name) << 1.0 << from << Points() << keys << r;
    };
    QTest::newRow("click") << 1.0 << Points { { 10, 10 } } << Points() << Keys()
                           << QRectF(10, 10, 1, 1);
    QTest::newRow("down-right") << 1.0 << box << Points() << Keys() << QRectF(10, 10, 20, 20);
    QTest::newRow("up-left") << 1.0 << Points { { 29, 19 }, { 12, 12 }, { 10, 10 } } << Points()
                             << Keys() << QRectF(10, 10, 20, 10);
    QTest::newRow("down-left") << 1.0 << Points { { 29, 10 }, { 12, 12 }, { 10, 19 } } << Points()
                               << Keys() << QRectF(10, 10, 20, 10);
    QTest::newRow("move inside") << 1.0 << box << Points { { 15, 15 }, { 20, 16 }, { 25, 18 } }
                                 << Keys() << QRectF(20, 13, 20, 20);
    QTest::newRow("top-left past the corner")
            << 1.0 << box << Points { { 10, 10 }, { 40, 30 }, { 50, 40 } } << Keys()
            << QRectF(30, 30, 20, 10);
    QTest::newRow("right edge") << 1.0 << box << Points { { 29, 19 }, { 39, 21 } } << Keys()
                                << QRectF(10, 10, 30, 20);
    QTest::newRow("bottom edge") << 1.0 << box << Points { { 20, 29 }, { 21, 34 } } << Keys()
                                 << QRectF(10, 10, 20, 25);
    QTest::newRow("press outside")
            << 1.0 << box << Points { { 80, 80 }, { 90, 90 } } << Keys() << QRectF(10, 10, 20, 20);
    // At 200 % a handle is 4 document pixels wide: the right one spans 27.5 to 31.5.
    QTest::newRow("200 %, inside the handle")
            << 2.0 << box << Points { { 31, 19 }, { 41, 19 } } << Keys() << QRectF(10, 10, 30, 20);
    QTest::newRow("200 %, beside the handle")
            << 2.0 << box << Points { { 32, 19 }, { 42, 19 } } << Keys() << QRectF(10, 10, 20, 20);
    keyed("right from 30", { 30, 10, 5, 5 }, { { Qt::Key_Right, {} } }, { 40, 10, 5, 5 });
    keyed("right from 35", { 35, 10, 5, 5 }, { { Qt::Key_Right, {} } }, { 40, 10, 5, 5 });
    keyed("left from 30", { 30, 10, 5, 5 }, { { Qt::Key_Left, {} } }, { 20, 10, 5, 5 });
    keyed("left from 35", { 35, 10, 5, 5 }, { { Qt::Key_Left, {} } }, { 30, 10, 5, 5 });
    keyed("down from 35", { 10, 35, 5, 5 }, { { Qt::Key_Down, {} } }, { 10, 40, 5, 5 });
    keyed("control+up", { 10, 35, 5, 5 }, { { Qt::Key_Up, Qt::ControlModifier } },
          { 10, 34, 5, 5 });
    keyed("shift+right on 95", { 0, 0, 95, 5 }, { { Qt::Key_Right, Qt::ShiftModifier } },
          { 0, 0, 100, 5 });
    keyed("shift+control+right on 95", { 0, 0, 95, 5 },
          { { Qt::Key_Right, Qt::ShiftModifier | Qt::ControlModifier } }, { 0, 0, 96, 5 });
    keyed("shift+up on 5", { 0, 0, 5, 5 }, { { Qt::Key_Up, Qt::ShiftModifier } }, { 0, 0, 5, 0 });
    keyed("other keys ignored", { 30, 10, 5, 5 }, { { Qt::Key_A, {} }, { Qt::Key_Home, {} } },
          { 30, 10, 5, 5 });
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
    window->clickTool(QStringLiteral("Crop"));
    LVTool *tool = window->toolWatcher->currentTool();
    QCOMPARE(tool, window->tool(7));

    const QList<QGraphicsItem *> selected = doc->lvScene()->selectedItems();
    drag(doc, draw);
    QCOMPARE(tool->rectState, 2);
    if (!then.isEmpty())
        drag(doc, then);
    press(doc, keys);
    QCOMPARE(tool->selectionRect, expected);
    QCOMPARE(tool->dragHandle, 0);
    // The status bar follows the rectangle.
    QVERIFY2(window->statusBarWidget()->firstText().endsWith(shown(expected)) || expected.isEmpty(),
             qPrintable(window->statusBarWidget()->firstText()));
    // Handles keep 8 screen pixels at any zoom.
    tool->updateHandles();
    QCOMPARE(tool->handles[7].width() * zoom, 8.0);
    // Drawing the rectangle records nothing, and neither selects nor moves the image.
    QCOMPARE(doc->undoStack()->count(), 0);
    QCOMPARE(doc->lvScene()->selectedItems(), selected);
    QCOMPARE(imagesOf(doc).first()->pos(), QPointF());
}

void ToolsTest::switching()
{
    const QImage image = ImageFixtures::pattern(QSize(120, 90));
    MdiChild *doc = window->open(image, QStringLiteral("a.png"));
    LVTool *select = window->tool(0);
    auto *crop = static_cast<CropTool *>(window->tool(7));
    QCOMPARE(window->toolWatcher->currentTool(), select);

    // Select draws no rectangle: the scene's own rubber band works instead.
    drag(doc, { { 10, 10 }, { 30, 30 } });
    QCOMPARE(select->rectState, 0);
    QVERIFY(!window->toolWatcher->hasRect());

    // Each button shows its tool's page and makes it current.
    for (int id : { 10, 9, 7 }) {
        window->clickTool(window->tool(id)->title());
        QCOMPARE(window->programMode(), id);
        QCOMPARE(window->tools()->pages()->currentIndex(), window->tool(id)->pageIndex);
    }

    // The rectangle shows bright in the dimmed page, in a white frame.
    drag(doc, { { 10, 10 }, { 49, 29 } });
    const QImage shot = doc->viewport()->grab().toImage();
    const auto onScreen = [&](int x, int y) { return shot.pixelColor(doc->mapFromScene(x, y)); };
    QCOMPARE(onScreen(30, 20), image.pixelColor(30, 20));
    QCOMPARE(onScreen(20, 9), QColor(Qt::white));
    const QColor dimmed = onScreen(80, 60), original = image.pixelColor(80, 60);
    QVERIFY(qAbs(dimmed.red() - original.red() * 0.8) <= 1);
    QVERIFY(qAbs(dimmed.blue() - original.blue() * 0.8) <= 1);

    // Clicking the current tool's button neither resets nor crops.
    window->clickTool(QStringLiteral("Crop"));
    QCOMPARE(crop->rectState, 2);
    QCOMPARE(doc->undoStack()->count(), 0);

    // Full screen has no tool; it leaves the page and the rectangle alone.
    window->setProgramMode(8);
    QCOMPARE(window->toolWatcher->currentTool(), nullptr);
    QCOMPARE(window->tools()->pages()->currentIndex(), crop->pageIndex);
    QCOMPARE(crop->rectState, 2);
    window->setProgramMode(7);

    // Escape removes the rectangle without cropping.
    QTest::keyClick(doc, Qt::Key_Escape);
    QCOMPARE(crop->rectState, 0);
    QCOMPARE(doc->undoStack()->count(), 0);
    QVERIFY(!window->statusBarWidget()->firstText().contains(QLatin1Char('x')));

    // Leaving the tool with a rectangle crops, as one step.
    drag(doc, { { 10, 10 }, { 49, 29 } });
    window->clickTool(QStringLiteral("Select"));
    QCOMPARE(window->programMode(), 0);
    QCOMPARE(doc->undoStack()->count(), 1);
    QCOMPARE(doc->lvScene()->currentPage()->rect.size(), QSize(40, 20));
    QCOMPARE(crop->rectState, 0);
}

void ToolsTest::toolStateFollowsTheDocument()
{
    const QImage image = ImageFixtures::pattern(QSize(120, 90));
    MdiChild *a = window->open(image, QStringLiteral("a.png"));
    window->clickTool(QStringLiteral("Crop"));
    MdiChild *b = window->open(image, QStringLiteral("b.png"));
    QTRY_VERIFY(b->hasFocus());
    auto *crop = window->tool(7);
    QCOMPARE(window->programMode(), 7);

    // Leaving the crop tool in the new document still crops it.
    drag(b, { { 0, 0 }, { 59, 44 } });
    window->clickTool(QStringLiteral("Select"));
    QCOMPARE(b->undoStack()->count(), 1);
    QCOMPARE(b->lvScene()->currentPage()->rect.size(), QSize(60, 45));

    // Back in a, its tool comes back; switching documents deactivates nothing.
    window->mdiArea->setActiveSubWindow(a->subWindow);
    a->setFocus();
    QTRY_COMPARE(window->programMode(), 7);
    drag(a, { { 0, 0 }, { 29, 29 } });
    window->mdiArea->setActiveSubWindow(b->subWindow);
    b->setFocus();
    QTRY_COMPARE(window->programMode(), 0);
    QCOMPARE(a->undoStack()->count(), 0);
    QCOMPARE(b->undoStack()->count(), 1);
    QCOMPARE(crop->rectState, 2);
}

void ToolsTest::crop_data()
{
    QTest::addColumn<Points>("draw");
    QTest::addColumn<Keys>("keys");
    QTest::addColumn<QString>("setting");
    QTest::addColumn<QSize>("page");
    QTest::addColumn<QRect>("kept");
    QTest::addColumn<QPoint>("at");

    QTest::newRow("before drawing") << Points() << Keys() << "" << QSize() << QRect() << QPoint();
    QTest::newRow("inside") << Points { { 20, 10 }, { 69, 49 } } << Keys() << "" << QSize(50, 40)
                            << QRect(20, 10, 50, 40) << QPoint();
    QTest::newRow("beyond the bottom right") << Points { { 100, 60 }, { 159, 119 } } << Keys() << ""
                                             << QSize(60, 60) << QRect(100, 60, 20, 30) << QPoint();
    QTest::newRow("beyond the top left") << Points { { -20, -10 }, { 29, 29 } } << Keys() << ""
                                         << QSize(50, 40) << QRect(0, 0, 30, 30) << QPoint(20, 10);
    QTest::newRow("two images") << Points { { 40, 30 }, { 89, 69 } } << Keys() << "two images"
                                << QSize(50, 40) << QRect(40, 30, 50, 40) << QPoint();
    // The sheet turned clockwise first: the page is 90 x 120.
    QTest::newRow("turned") << Points { { 10, 20 }, { 59, 59 } } << Keys() << "turned"
                            << QSize(50, 40) << QRect(10, 20, 50, 40) << QPoint();
    const Key narrower { Qt::Key_Left, Qt::ShiftModifier | Qt::ControlModifier };
    QTest::newRow("width 0 by keys")
            << Points { { 20, 10 }, { 22, 49 } } << Keys { narrower, narrower, narrower } << ""
            << QSize() << QRect() << QPoint();
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
    if (setting == QLatin1String("two images")) {
        auto *item = new VRImageItem(other);
        item->setPos(20, 10);
        item->initialPos = item->pos();
        doc->undoStack()->push(new AddObjectCommand(sheet, item));
    } else if (setting == QLatin1String("turned")) {
        auto *turn = new TransformObjectCommand(sheet, imagesOf(doc).first());
        turn->newTransform = QTransform().rotate(90).translate(0, -90);
        doc->undoStack()->push(turn);
        auto *size = new PageSettingsCommand(sheet);
        size->newWidth = 90;
        size->newHeight = 120;
        doc->undoStack()->push(size);
        image = image.transformed(QTransform().rotate(90));
    }
    doc->undoStack()->clear();
    const QImage before = argb(doc->renderPage());
    window->clickTool(QStringLiteral("Crop"));
    auto *crop = static_cast<CropTool *>(window->tool(7));
    drag(doc, draw);
    press(doc, keys);
    QTest::mouseClick(crop->cropButton, Qt::LeftButton);

    if (page.isEmpty()) {
        QCOMPARE(doc->undoStack()->count(), 0);
        QCOMPARE(argb(doc->renderPage()), before);
        return;
    }
    QCOMPARE(crop->rectState, 0);
    // The rectangle is gone from the status bar too.
    QVERIFY(!window->statusBarWidget()->firstText().contains(QLatin1Char('x')));
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

    // One undo step gives back every image, its place and the page; redo repeats the crop.
    doc->undoStack()->undo();
    QCOMPARE(argb(doc->renderPage()), before);
    doc->undoStack()->redo();
    QCOMPARE(argb(doc->renderPage()), cropped);
}

void ToolsTest::dockVisibilityIsKept()
{
    QCOMPARE(window->tools()->isHidden(), false);
    QCOMPARE(window->tools()->windowTitle(), QStringLiteral("Tools"));
    QCOMPARE(window->dockWidgetArea(window->tools()), Qt::RightDockWidgetArea);
    window->tools()->toggleViewAction()->trigger();
    QVERIFY(window->close());
    window = std::make_unique<TestWindow>();
    QVERIFY(window->tools()->isHidden());
}

VIREON_TEST_MAIN(ToolsTest)
#include "tst_tools.moc"
