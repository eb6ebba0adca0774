#include "app/mainwindow.h"
#include "document/mdichild.h"
#include "framework/lvtoolwatcher.h"
#include "imagefixtures.h"
#include "scene/addobjectcommand.h"
#include "scene/addpagecommand.h"
#include "scene/rectitem.h"
#include "scene/removeobjectcommand.h"
#include "scene/removepagecommand.h"
#include "scene/scene.h"
#include "scene/vrimageitem.h"
#include "scene/vrpageitem.h"
#include "testinput.h"
#include "testmain.h"
#include "testtext.h"
#include "tools/brightnesscontrasttool.h"
#include "tools/copytool.h"
#include "tools/croptool.h"
#include "tools/selecttool.h"
#include "tools/toolpanel.h"

#include <QClipboard>
#include <QGraphicsView>
#include <QPushButton>
#include <QRadioButton>
#include <QRandomGenerator>
#include <QStackedLayout>
#include <QUndoStack>

namespace {

// An image of a pattern of the given size, placed as loaded.
VRImageItem *image(const QSize &size, const QPointF &at = QPointF())
{
    auto *item = new VRImageItem(ImageFixtures::pattern(size));
    item->setPos(item->initialPos = at);
    return item;
}

// A document's scene with one 400 x 300 image page, shown in a view.
struct Document
{
    explicit Document(LVMainWindow *window = nullptr) : scene(nullptr, window)
    {
        page->rect = QRect(0, 0, 400, 300);
        scene.addPageCommand(page);
        view.setScene(&scene);
    }
    VRImageItem *add(const QSize &size, const QPointF &at = QPointF())
    {
        VRImageItem *item = image(size, at);
        stack->push(new AddObjectCommand(page, item));
        return item;
    }

    Scene scene;
    QUndoStack *stack = scene.undoStack();
    QGraphicsView view;
    VRPageItem *page = new VRPageItem;
};

// What a user tells apart about objects, in no order (an undone removal comes back on top):
// a group's frame follows from its members, and noise far below a pixel and -0 do not show.
QStringList describe(const QList<QGraphicsItem *> &items, const QString &indent = "  ")
{
    const auto seen = [](double v) { return double(qRound64(v * 1e6)) / 1e6 + 0.0; };
    QStringList lines;
    for (QGraphicsItem *item : items) {
        auto *object = static_cast<ObjectItem *>(item);
        const QTransform t = item->sceneTransform();
        QString line = indent
                + words(item->type(), object->isGroup ? QRectF() : object->rect, object->mirrored,
                        object->quarterTurned, seen(t.m11()), seen(t.m12()), seen(t.m21()),
                        seen(t.m22()), seen(t.dx()), seen(t.dy()));
        if (auto *image = dynamic_cast<ImageItem *>(item)) {
            const QImage pixels = image->currentImage().convertToFormat(QImage::Format_ARGB32);
            line += ' ' + words(pixels.size(), qHashBits(pixels.constBits(), pixels.sizeInBytes()));
        }
        lines << (QStringList { line } + describe(item->childItems(), indent + "  ")).join('\n');
    }
    lines.sort();
    return lines;
}

QStringList snapshot(const LVScene &scene)
{
    QStringList lines { words(scene.sceneRect()) };
    for (PageItem *page : scene.pages)
        lines << words(page->pos(), page->rect) << describe(page->childItems());
    return lines;
}

const QStringList turns { "cw", "ccw", "h", "v" };

// The real main window with one new document, and the rotate and flip tool's controls.
struct ToolDocument
{
    explicit ToolDocument(const QSize &pageSize) : window(true)
    {
        window.resize(1000, 700);
        window.show();
        QApplication::setActiveWindow(&window);
        toolPage = window.tools()->pages()->widget(window.toolWatcher->tool(11)->pageIndex);
        window.newFile();
        // The window makes the new document the active one in its own time.
        if (!QTest::qWaitFor([this] { return document = window.activeDocument(); }))
            return;
        scene = document->lvScene();
        stack = scene->undoStack();
        page = scene->currentPage();
        page->setPageRect(QRect(QPoint(), pageSize));
        scene->layoutPages();
    }
    // As loaded: no undo step.
    VRImageItem *addImage(const QSize &size, const QPointF &at)
    {
        VRImageItem *item = image(size, at);
        page->attachObject(item);
        return item;
    }
    void setSheetScope(bool sheet)
    {
        toolPage->findChildren<QRadioButton *>().at(sheet ? 0 : 1)->setChecked(true);
    }
    void press(const QString &action)
    {
        static const QStringList texts { "Rotate clockwise", "Rotate counter clockwise",
                                         "Horizontal flip", "Vertical flip" };
        for (QPushButton *button : toolPage->findChildren<QPushButton *>()) {
            if (button->text() == texts.value(turns.indexOf(action)))
                button->click();
        }
    }

    MainWindow window;
    QWidget *toolPage = nullptr;
    MdiChild *document = nullptr;
    LVScene *scene = nullptr;
    QUndoStack *stack = nullptr;
    PageItem *page = nullptr;
};

// What the buttons do to a picture on screen, by the toolkit's own image operations.
QImage turned(QImage image, const QStringList &actions)
{
    for (const QString &action : actions)
        image = action.startsWith('c')
                ? image.transformed(QTransform().rotate(action == "cw" ? 90 : -90))
                : image.mirrored(action == "h", action == "v");
    return image.convertToFormat(QImage::Format_ARGB32);
}

} // namespace

class SceneTest : public QObject
{
    Q_OBJECT
private slots:
    void moving_data();
    void moving();
    void paste_data();
    void paste();
    void pagesAndRemoval();
    void stacking();
    void turning_data();
    void turning();
    void history_data();
    void history();
};

void SceneTest::moving_data()
{
    // Arrows pressed, upper case with Ctrl, or a drag by a quarter of a pixel at 400 %, one
    // screen pixel (m), or a click (c); and where each leaves the image.
    QTest::addColumn<int>("mode");
    QTest::addColumn<QPointF>("start");
    QTest::addColumn<QString>("moves");
    QTest::addColumn<QList<QPointF>>("positions");
    const auto row = [](const char *name, QPointF start, const char *moves,
                        const QList<QPointF> &positions, int mode = 0) {
        QTest::newRow(name) << mode << start << moves << positions;
    };
    row("up snaps", { 13.5, 25 }, "uu", { { 13, 20 }, { 13, 10 } });
    row("down snaps", { 40, 20 }, "d", { { 40, 30 } });
    row("left and right", { 25, 7.8 }, "lr", { { 20, 7 }, { 30, 7 } });
    row("ctrl moves by one", { 25, 25 }, "UL", { { 25, 24 }, { 24, 24 } });
    row("up past the top", { 30, 0 }, "u", { { 30, -10 } });
    row("full screen ignores keys", { 10, 25 }, "u", { { 10, 25 } }, 8);
    row("drag onto whole pixels", { 10, 10 }, "m", { { 12, 14 } });
    row("click", { 10, 10 }, "c", { { 10, 10 } });
}

// The moves of one selection are one step, Undo takes it back; a saved step is not extended.
void SceneTest::moving()
{
    QFETCH(int, mode);
    QFETCH(QPointF, start);
    QFETCH(QString, moves);
    QFETCH(QList<QPointF>, positions);
    LVMainWindow window(true);
    window.setProgramMode(mode);
    Document doc(&window);
    doc.view.scale(4, 4);
    doc.view.show();
    VRImageItem *item = doc.add(QSize(20, 20), start);
    doc.stack->setClean();
    const auto move = [&](QChar key) {
        const QPointF from = item->pos() + QPointF(10, 10);
        if (key == 'm' || key == 'c')
            drag(&doc.view, from, from + (key == 'm' ? QPointF(2.25, 3.75) : QPointF()));
        else
            QTest::keyClick(&doc.view,
                            Qt::Key(Qt::Key_Left + QStringLiteral("lurd").indexOf(key.toLower())),
                            key.isUpper() ? Qt::ControlModifier : Qt::NoModifier);
    };
    for (int i = 0; i < moves.size(); ++i) {
        move(moves.at(i));
        QCOMPARE(item->pos(), positions.at(i));
    }
    const bool moved = positions.last() != start;
    QVERIFY(item->isSelected() && doc.stack->count() == (moved ? 2 : 1));
    if (!moved)
        return;
    doc.stack->setClean();
    move(moves.back());
    doc.stack->undo();
    QVERIFY(doc.stack->isClean() && item->pos() == positions.last());
    doc.stack->undo();
    QCOMPARE(item->pos(), start);
}

void SceneTest::paste_data()
{
    // On the clipboard: a 30 x 20 image cut or copied from the page, or nothing, which records
    // nothing; then where each paste puts the copy.
    QTest::addColumn<QString>("clipboard");
    QTest::addColumn<QList<int>>("offsets");
    QTest::newRow("after a cut") << "cut" << QList<int> { 0, 5, 10 };
    QTest::newRow("after a copy") << "copy" << QList<int> { 5, 10, 15 };
    QTest::newRow("empty clipboard") << "" << QList<int>();
}

// Each paste is one step that selects what it pasted, a little further on.
void SceneTest::paste()
{
    QFETCH(QString, clipboard);
    QFETCH(QList<int>, offsets);
    Document doc;
    doc.page->pasteOffset = 5;
    QApplication::clipboard()->clear();
    if (!clipboard.isEmpty()) {
        doc.add(QSize(30, 20))->setSelected(true);
        clipboard == "cut" ? doc.scene.cut() : doc.scene.copy();
    }
    const QStringList before = snapshot(doc.scene);
    const int steps = doc.stack->count();
    for (int offset : offsets) {
        doc.scene.paste();
        const auto selected = doc.scene.selectedItems();
        QVERIFY(selected.size() == 1 && selected[0]->pos() == QPointF(offset, offset));
        const QImage pixels = static_cast<VRImageItem *>(selected[0])->currentImage();
        QCOMPARE(pixels.convertToFormat(QImage::Format_ARGB32),
                 ImageFixtures::pattern(QSize(30, 20)));
    }
    if (offsets.isEmpty())
        doc.scene.paste();
    QVERIFY(doc.stack->count() == steps + offsets.size()
            && (offsets.size() || doc.page->pasteOffset == 5));
    for (int i = 0; i < offsets.size(); ++i)
        doc.stack->undo();
    QCOMPARE(snapshot(doc.scene), before);
}

// Pages stand 20 apart and in. A removed page is not the current one, and comes back to its
// place; an object whose removal is undone comes back on top.
void SceneTest::pagesAndRemoval()
{
    Document doc;
    QList<PageItem *> pages { doc.page, new VRPageItem, new VRPageItem };
    for (int i : { 1, 2 }) {
        pages[i]->rect = QRect(0, 0, 10, 20 * i - 10);
        doc.stack->push(new AddPageCommand(&doc.scene, pages[i]));
    }
    QCOMPARE(words(pages[1]->pos(), pages[2]->pos(), doc.scene.sceneRect()),
             words(QPointF(0, 320), QPointF(0, 350), QRectF(-20, -20, 440, 420)));
    const QStringList three = snapshot(doc.scene);
    doc.scene.setActivePage(pages[1]);
    doc.stack->push(new RemovePageCommand(&doc.scene, pages[1]));
    QVERIFY(doc.scene.currentPage() != pages[1] && pages[2]->pos() == QPointF(0, 320));
    doc.stack->undo();
    QCOMPARE(doc.scene.pages, pages);
    QCOMPARE(snapshot(doc.scene), three);
    VRImageItem *bottom = doc.add(QSize(20, 20));
    VRImageItem *top = doc.add(QSize(20, 20));
    doc.stack->push(new RemoveObjectCommand(doc.page, bottom));
    doc.stack->undo();
    QVERIFY(bottom->zValue() > top->zValue());
}

// Four objects a to d stacked in that order; each change is one undo step.
void SceneTest::stacking()
{
    const QHash<QString, void (LVScene::*)()> actions { { "raise", &LVScene::raise },
                                                        { "lower", &LVScene::lower },
                                                        { "top", &LVScene::raiseToTop },
                                                        { "bottom", &LVScene::lowerToBottom } };
    // Action, selection, and the order from bottom to top afterwards.
    for (const char *row : { "raise b acbd", "raise ab cabd", "lower c acbd", "lower a abcd",
                             "top b acdb", "bottom c cabd" }) {
        const QStringList parts = QString(row).split(' ');
        Document doc;
        QList<VRImageItem *> objects;
        for (int i = 0; i < 4; ++i)
            objects << doc.add(QSize(10, 10), QPointF(5 * i, 0));
        const auto order = [&] {
            QString names = QStringLiteral("abcd");
            std::sort(names.begin(), names.end(), [&](QChar x, QChar y) {
                return objects[x.unicode() - 'a']->zValue() < objects[y.unicode() - 'a']->zValue();
            });
            return names;
        };
        doc.scene.clearSelection();
        for (QChar name : parts[1])
            objects[name.unicode() - 'a']->setSelected(true);
        (doc.scene.*actions.value(parts[0]))();
        QVERIFY(parts[0] + ' ' + parts[1] + ' ' + order() == row && doc.stack->count() == 5);
        doc.stack->undo();
        QCOMPARE(order(), QStringLiteral("abcd"));
    }
}

void SceneTest::turning_data()
{
    // Two pictures are turned, the first after the earlier presses done to it alone.
    QTest::addColumn<QStringList>("earlier");
    QTest::addColumn<QString>("action");
    QTest::newRow("mirrored turns clockwise on screen") << QStringList { "h" } << "cw";
    QTest::newRow("mirrored turns counter clockwise") << QStringList { "v" } << "ccw";
    QTest::newRow("quarter-turned flips left to right") << QStringList { "cw" } << "h";
    QTest::newRow("quarter-turned flips upside down") << QStringList { "ccw" } << "v";
    QTest::newRow("turned twice and mirrored") << QStringList { "cw", "cw", "h" } << "cw";
}

// What is rendered, and so saved, is the sheet, or each selected picture about its centre
// whatever was done to it before, turned as the toolkit turns it; each press is one step.
void SceneTest::turning()
{
    QFETCH(QStringList, earlier);
    QFETCH(QString, action);
    ToolDocument doc(QSize(300, 200));
    QVERIFY(doc.document);
    // On a picture filling the page, as a scan is: the sheet turns about the objects' bounds.
    doc.addImage(QSize(300, 200), QPointF());
    const QSize sizes[] = { QSize(40, 30), QSize(30, 20) };
    VRImageItem *pictures[]
            = { doc.addImage(sizes[0], { 20, 20 }), doc.addImage(sizes[1], { 120, 40 }) };
    const QStringList loaded = snapshot(*doc.scene);
    const QImage sheet = doc.document->renderPage();
    doc.setSheetScope(true);
    doc.press(action);
    QCOMPARE(doc.document->renderPage(), turned(sheet, { action }));
    doc.stack->undo();
    doc.setSheetScope(false);
    pictures[0]->setSelected(true);
    for (const QString &press : earlier)
        doc.press(press);
    pictures[1]->setSelected(true);
    doc.press(action);
    QCOMPARE(doc.stack->count(), earlier.size() + 1);
    const QImage page = doc.document->renderPage();
    for (int i = 0; i < 2; ++i) {
        const QRectF shown = pictures[i]->mapRectToScene(pictures[i]->rect);
        QCOMPARE(shown.center(), QRectF(pictures[i]->initialPos, sizes[i]).center());
        QCOMPARE(page.copy(shown.toRect()),
                 turned(ImageFixtures::pattern(sizes[i]), (i ? QStringList() : earlier) << action));
    }
    while (doc.stack->canUndo())
        doc.stack->undo();
    QCOMPARE(snapshot(*doc.scene), loaded);
    while (doc.stack->canRedo())
        doc.stack->redo();
    QCOMPARE(doc.document->renderPage(), page);
}

void SceneTest::history_data()
{
    QTest::addColumn<quint32>("seed");
    // The sanitizer build is many times slower: two histories there find memory faults.
#if defined(__SANITIZE_ADDRESS__)
    const quint32 seeds = 2;
#else
    const quint32 seeds = 10;
#endif
    for (quint32 seed = 1; seed <= seeds; ++seed)
        QTest::newRow(qPrintable(QStringLiteral("seed %1").arg(seed))) << seed;
}

// A seeded history of what a user does to two images and a rectangle, each step checked
// against the document when the history was last at the same place: no change without a
// step, no empty step for a visible change, no saved mark on a changed document, no member
// selected apart from its group. At the end every undo and redo gives back exactly that.
void SceneTest::history()
{
    QFETCH(quint32, seed);
    QRandomGenerator random(seed);
    ToolDocument doc(QSize(160, 120));
    QVERIFY(doc.document);
    doc.addImage(QSize(100, 80), QPointF(0, 0));
    doc.addImage(QSize(50, 40), QPointF(70, 50));
    auto *rect = new RectItem;
    rect->setRect(QRectF(0, 0, 30, 30));
    rect->setPos(rect->initialPos = QPointF(120, 10));
    doc.page->attachObject(rect);
    LVToolWatcher *tools = doc.window.toolWatcher;
    QVector<QStringList> states { snapshot(*doc.scene) };
    QStringList saved = states.first();

    for (int step = 0; step < 60; ++step) {
        const int index = doc.stack->index();
        const QRect page = doc.page->rect;
        // Undoing the adjustment that follows a turn gives back exactly the turned pixels.
        const int action = step < 2 ? step * 6 : random.bounded(15);
        switch (action) {
        case 0:
            doc.setSheetScope(random.bounded(2));
            doc.press(turns.at(random.bounded(4)));
            break;
        case 1:
        case 2: {
            // A crop or a cut within the page; crops keep half of it, for later steps to use.
            LVTool *tool = tools->tool(action == 1 ? 7 : 10);
            const int w = qMax(1, page.width() / 2), h = qMax(1, page.height() / 2);
            tool->selectionRect
                    = QRect(random.bounded(w / 2 + 1), random.bounded(h / 2 + 1),
                            w + random.bounded(w / 2 + 1), h + random.bounded(h / 2 + 1));
            tool->rectState = 2;
            action == 1 ? static_cast<CropTool *>(tool)->cropImage()
                        : static_cast<CopyTool *>(tool)->cutImage();
            tool->reset();
            break;
        }
        case 3:
        case 4: {
            const QPointF from(random.bounded(page.width() + 1), random.bounded(page.height() + 1));
            drag(doc.document, from,
                 from + QPointF(random.bounded(61) - 30, random.bounded(61) - 30));
            break;
        }
        case 5:
            QTest::keyClick(doc.document, Qt::Key(Qt::Key_Left + random.bounded(4)),
                            random.bounded(2) ? Qt::ControlModifier : Qt::NoModifier);
            break;
        case 6: {
            // As the tool commits when it is left.
            auto *tool = static_cast<BrightnessContrastTool *>(tools->tool(9));
            tool->brightness = random.bounded(201) - 100;
            tool->contrast = random.bounded(201) - 100;
            tool->ok();
            tool->brightness = tool->contrast = 0;
            break;
        }
        case 7:
        case 8: {
            auto *select = static_cast<SelectTool *>(tools->tool(0));
            action == 7 ? select->group() : select->ungroup();
            break;
        }
        case 9:
            // Members of groups too, as a click or a rubber band may pick them.
            doc.scene->clearSelection();
            for (QGraphicsItem *item : doc.scene->items()) {
                if (dynamic_cast<ObjectItem *>(item))
                    item->setSelected(random.bounded(2));
            }
            doc.scene->selectImagesIfNothingSelected();
            break;
        case 10:
            QTest::keyClick(doc.document, Qt::Key_Delete);
            break;
        case 11:
            doc.scene->copy();
            doc.scene->paste();
            break;
        case 12:
        case 13:
            action == 12 ? doc.stack->undo() : doc.stack->redo();
            break;
        default:
            doc.stack->setClean();
            saved = snapshot(*doc.scene);
        }
        const QStringList now = snapshot(*doc.scene);
        for (QGraphicsItem *item : doc.scene->selectedItems()) {
            auto *group = dynamic_cast<ObjectItem *>(item->parentItem());
            QVERIFY(!group || !group->isGroup);
        }
        // Only a nudge may change the document within the step before it.
        if (action >= 12 || (doc.stack->index() == index && action != 5))
            QCOMPARE(now, states.value(doc.stack->index()));
        else if (QList<int> { 3, 4, 5, 10, 11 }.contains(action))
            QVERIFY(doc.stack->index() == index || now != states.value(index));
        states.resize(doc.stack->count() + 1);
        states[doc.stack->index()] = now;
        QVERIFY(!doc.stack->isClean() || now == saved);
    }
    for (const bool undo : { true, false }) {
        while (undo ? doc.stack->canUndo() : doc.stack->canRedo()) {
            undo ? doc.stack->undo() : doc.stack->redo();
            QCOMPARE(snapshot(*doc.scene), states.at(doc.stack->index()));
        }
    }
}

VIREON_TEST_MAIN(SceneTest)
#include "tst_scene.moc"
