#include "browser/statusbar.h"
#include "imagefixtures.h"
#include "scene/addobjectcommand.h"
#include "scene/pageitem.h"
#include "scene/vrimageitem.h"
#include "testinput.h"
#include "testmain.h"
#include "testwindow.h"
#include "tools/copytool.h"
#include "tools/croptool.h"
#include "tools/rotatefliptool.h"

#include <QAction>
#include <QClipboard>
#include <QMdiArea>

namespace {

QImage page(MdiChild *doc)
{
    return doc->renderPage().convertToFormat(QImage::Format_ARGB32);
}

} // namespace

class ToolsTest : public QObject
{
    Q_OBJECT
private slots:
    void init()
    {
        TestEnvironment::clearSettings();
        window = std::make_unique<TestWindow>();
    }
    void cleanup()
    {
        // Left with a rectangle, the crop tool would crop while the documents close.
        if (LVTool *tool = window->toolWatcher->currentTool())
            tool->reset();
        window.reset();
    }
    void toolStateFollowsTheDocument();
    void region_data();
    void region();

private:
    bool showsRect() const { return window->statusBarWidget()->firstText().contains('x'); }
    std::unique_ptr<TestWindow> window;
};

// Each document keeps its tool; leaving the crop tool crops, switching documents does not.
void ToolsTest::toolStateFollowsTheDocument()
{
    MdiChild *a = window->open(ImageFixtures::pattern(QSize(120, 90)), QStringLiteral("a.png"));
    window->clickTool(7);
    // Escape removes a rectangle without cropping.
    drag(a, { 10, 10 }, { 49, 29 });
    QVERIFY(showsRect());
    QTest::keyClick(a, Qt::Key_Escape);
    QVERIFY(window->tool(7)->rectState == 0 && !showsRect());

    MdiChild *b = window->open(ImageFixtures::pattern(QSize(120, 90)), QStringLiteral("b.png"));
    QTRY_VERIFY(b->hasFocus());
    QCOMPARE(window->programMode(), 7);
    drag(b, { 0, 0 }, { 59, 44 });
    window->clickTool(0);
    QVERIFY(b->lvScene()->currentPage()->rect.size() == QSize(60, 45)
            && b->undoStack()->count() == 1);
    window->mdiArea->setActiveSubWindow(a->subWindow);
    a->setFocus();
    QTRY_COMPARE(window->programMode(), 7);
    drag(a, { 0, 0 }, { 29, 29 });
    window->mdiArea->setActiveSubWindow(b->subWindow);
    b->setFocus();
    QTRY_COMPARE(window->programMode(), 0);
    QVERIFY(a->undoStack()->count() == 0 && window->tool(7)->rectState == 2);
}

void ToolsTest::region_data()
{
    QTest::addColumn<QString>("action");
    QTest::addColumn<QString>("setting");
    QTest::addColumn<double>("zoom");
    // Drawn from its top-left pixel to its bottom-right one, in page coordinates.
    QTest::addColumn<QRect>("rect");
    const QRect inside(20, 10, 50, 40), beyond(100, 60, 60, 60);
    const auto row
            = [](const char *name, const char *action, const QRect &rect, const char *setting = "",
                 double zoom = 1) { QTest::newRow(name) << action << setting << zoom << rect; };
    row("crop inside", "Crop", inside);
    row("crop beyond the bottom right", "Crop", beyond);
    row("crop beyond the top left", "Crop", { -20, -10, 50, 40 });
    row("crop two images", "Crop", { 10, 5, 80, 65 }, "two images");
    // The sheet turned clockwise first: the page is 90 x 120.
    row("crop turned", "Crop", { 10, 20, 50, 40 }, "turned");
    // Zoomed after drawing: the copy still holds document pixels.
    row("copy at 25 %", "Copy", inside, "", 0.25);
    row("Edit > Copy", "copyAct", inside);
    row("cut beyond the page", "Cut", beyond);
    row("cut a palette image", "Cut", inside, "palette");
    row("cut two images", "Cut", inside, "two images");
    row("Edit > Cut", "cutAct", inside);
}

// Crop, copy and cut of a drawn region, by the tools' buttons or the Edit menu.
void ToolsTest::region()
{
    QFETCH(QString, action);
    QFETCH(QString, setting);
    QFETCH(double, zoom);
    QFETCH(QRect, rect);
    // Without alpha, as photos load.
    QImage image = ImageFixtures::pattern(QSize(120, 90), QImage::Format_RGB32);
    if (setting == QLatin1String("palette"))
        image = image.convertToFormat(QImage::Format_Indexed8, Qt::ThresholdDither);
    MdiChild *doc = window->open(image, QStringLiteral("a.png"));
    if (setting == QLatin1String("two images")) {
        auto *item = new VRImageItem(ImageFixtures::pattern(QSize(100, 70)).mirrored(true, false));
        item->setPos(20, 10);
        doc->undoStack()->push(new AddObjectCommand(doc->lvScene()->currentPage(), item));
    } else if (setting == QLatin1String("turned")) {
        static_cast<RotateFlipTool *>(window->tool(11))->rotateImageClockwise();
    }
    doc->undoStack()->clear();
    const QImage before = page(doc);
    const bool crop = action == QLatin1String("Crop");
    const bool cut = action.contains(QLatin1String("ut"));
    window->clickTool(crop ? 7 : 10);
    auto *tool = static_cast<CopyTool *>(window->tool(10));
    drag(doc, rect.topLeft(), rect.bottomRight());
    doc->setTransform(QTransform::fromScale(zoom, zoom));
    QApplication::clipboard()->setText(QStringLiteral("kept"));
    if (crop) {
        QTest::mouseClick(static_cast<CropTool *>(window->tool(7))->cropButton, Qt::LeftButton);
    } else if (action.endsWith(QLatin1String("Act"))) {
        // The menu takes the drawn region with nothing selected; the buttons leave out the frame.
        doc->lvScene()->clearSelection();
        window->updateMenus();
        QAction *menu = cut ? window->cutAct : window->copyAct;
        QVERIFY(menu->isEnabled());
        menu->trigger();
    } else {
        QTest::mouseClick(cut ? tool->cutButton : tool->copyButton, Qt::LeftButton);
    }
    // A crop keeps the region where it lay, white beyond; a cut whitens it; each is one step.
    QImage expected = before;
    const QRect onPage = rect & before.rect();
    if (crop) {
        expected = QImage(rect.size(), QImage::Format_ARGB32);
        expected.fill(Qt::white);
        QPainter(&expected).drawImage(0, 0, before.copy(rect));
    } else if (cut) {
        QPainter(&expected).fillRect(onPage, Qt::white);
    }
    const QImage after = page(doc);
    QCOMPARE(after, expected);
    QCOMPARE(doc->transform().m11(), zoom);
    QVERIFY(window->tool(crop ? 7 : 10)->rectState == 0 && !showsRect());
    QCOMPARE(QApplication::clipboard()->image().convertToFormat(QImage::Format_ARGB32),
             crop ? QImage() : before.copy(onPage));
    QCOMPARE(doc->undoStack()->count(), int(cut || crop));
    doc->undoStack()->undo();
    QVERIFY(page(doc) == before);
    doc->undoStack()->redo();
    QCOMPARE(page(doc), after);
}

VIREON_TEST_MAIN(ToolsTest)
#include "tst_tools.moc"
