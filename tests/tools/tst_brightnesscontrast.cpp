#include "app/mainwindow.h"
#include "document/mdichild.h"
#include "framework/lvscene.h"
#include "framework/lvtoolwatcher.h"
#include "imagefixtures.h"
#include "scene/imageitem.h"
#include "scene/pageitem.h"
#include "testmain.h"
#include "testwindow.h"
#include "tools/brightnesscontrast.h"
#include "tools/brightnesscontrasttool.h"
#include "tools/toolpanel.h"

#include <QBuffer>
#include <QDial>
#include <QFutureWatcher>
#include <QMdiArea>
#include <QPushButton>
#include <QUndoStack>

namespace {

// first, last, value, and whether value is added to the entry's index.
using Spans = QList<QVector<int>>;

// The shared window, opening documents with nothing selected, and the tool's controls.
class AdjustWindow : public TestWindow
{
public:
    using TestWindow::tool;
    MdiChild *open(const QList<QImage> &images, const QString &name)
    {
        MdiChild *doc = TestWindow::open(images, name);
        doc->lvScene()->clearSelection();
        return doc;
    }
    BrightnessContrastTool *tool() const
    {
        return static_cast<BrightnessContrastTool *>(toolWatcher->tool(9));
    }
    QList<QDial *> dials() const { return tools()->findChildren<QDial *>(); }
    // A button of this tool's page: other tools have a Reset too.
    QPushButton *button(const QString &text) const
    {
        const auto buttons
                = dials().first()->parentWidget()->parentWidget()->findChildren<QPushButton *>();
        for (QPushButton *b : buttons) {
            if (b->text() == text)
                return b;
        }
        return nullptr;
    }
};

QList<ImageItem *> images(MdiChild *doc)
{
    QList<ImageItem *> items;
    for (ObjectItem *object : doc->lvScene()->currentPage()->objects())
        items << static_cast<ImageItem *>(object);
    return items;
}

QImage argb(const QImage &image)
{
    return image.convertToFormat(QImage::Format_ARGB32);
}

// An independent rendering of the adjustment: the table on red, green and blue of every
// pixel as 32-bit colours, alpha as it was.
QImage expectedAdjustment(const QImage &image, int brightness, int contrast)
{
    const BrightnessContrast::Table t = BrightnessContrast::table(brightness, contrast);
    QImage result = argb(image);
    for (int y = 0; y < result.height(); ++y) {
        for (int x = 0; x < result.width(); ++x) {
            const QRgb p = result.pixel(x, y);
            result.setPixel(x, y, qRgba(t[qRed(p)], t[qGreen(p)], t[qBlue(p)], qAlpha(p)));
        }
    }
    return result;
}

QImage readBack(const QImage &image, const char *format)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (!image.save(&buffer, format))
        return QImage();
    return QImage::fromData(bytes, format);
}

} // namespace

class BrightnessContrastTest : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void table_data();
    void table();
    void pixels_data();
    void pixels();
    void autoValues_data();
    void autoValues();
    void preview_data();
    void preview();
    void autoCorrectionPreviews();
    void valuesFollowTheDocument();

private:
    std::unique_ptr<AdjustWindow> window;
};

void BrightnessContrastTest::init()
{
    TestEnvironment::clearSettings();
    window = std::make_unique<AdjustWindow>();
}

void BrightnessContrastTest::cleanup()
{
    window.reset();
}

void BrightnessContrastTest::table_data()
{
    QTest::addColumn<int>("brightness");
    QTest::addColumn<int>("contrast");
    QTest::addColumn<Spans>("spans");
    QTest::newRow("neutral") << 0 << 0 << Spans { { 0, 255, 0, 1 } };
    QTest::newRow("brightness 100")
            << 100 << 0 << Spans { { 0, 154, 100, 1 }, { 155, 255, 255, 0 } };
    QTest::newRow("brightness -100")
            << -100 << 0 << Spans { { 0, 99, 0, 0 }, { 100, 255, -100, 1 } };
    QTest::newRow("contrast 100") << 0 << 100
                                  << Spans { { 0, 123, 0, 0 },
                                             { 150, 150, 128, 0 },
                                             { 176, 255, 255, 0 } };
    QTest::newRow("contrast -128") << 0 << -128 << Spans { { 0, 255, 159, 0 } };
    QTest::newRow("contrast -64") << 0 << -64
                                  << Spans { { 0, 0, 79, 0 },
                                             { 159, 159, 159, 0 },
                                             { 255, 255, 207, 0 } };
    // Beyond the dial, as auto-correction may ask: the ranges meet and nothing is left between.
    QTest::newRow("contrast 128") << 0 << 128 << Spans { { 0, 152, 0, 0 }, { 159, 255, 255, 0 } };
}

void BrightnessContrastTest::table()
{
    QFETCH(int, brightness);
    QFETCH(int, contrast);
    QFETCH(Spans, spans);
    const BrightnessContrast::Table t = BrightnessContrast::table(brightness, contrast);
    for (const QVector<int> &span : spans) {
        for (int i = span[0]; i <= span[1]; ++i)
            QCOMPARE(int(t[i]), span[3] ? i + span[2] : span[2]);
    }
}

void BrightnessContrastTest::pixels_data()
{
    QTest::addColumn<QImage>("image");
    QTest::addColumn<int>("brightness");
    QTest::addColumn<int>("contrast");
    QTest::addColumn<int>("format");

    // Alpha from transparent to opaque across the image.
    QImage translucent = ImageFixtures::pattern(QSize(64, 16));
    for (int y = 0; y < translucent.height(); ++y) {
        for (int x = 0; x < translucent.width(); ++x) {
            const QRgb p = translucent.pixel(x, y);
            translucent.setPixel(x, y, qRgba(qRed(p), qGreen(p), qBlue(p), x * 4));
        }
    }
    QImage palette(20, 10, QImage::Format_Indexed8);
    palette.setColorTable({ qRgb(10, 200, 30), qRgb(250, 5, 120), qRgba(90, 90, 160, 0) });
    for (int y = 0; y < palette.height(); ++y) {
        for (int x = 0; x < palette.width(); ++x)
            palette.setPixel(x, y, uint((x + y) % 3));
    }
    QImage deep(33, 7, QImage::Format_RGBA64);
    for (int y = 0; y < deep.height(); ++y) {
        for (int x = 0; x < deep.width(); ++x)
            deep.setPixelColor(x, y,
                               QColor::fromRgba64(quint16(x * 1900), quint16(y * 9000),
                                                  quint16(65535 - x * 1000), 65535));
    }
    const QImage pattern = ImageFixtures::pattern(QSize(31, 9));

    QTest::newRow("argb32 keeps alpha") << translucent << 100 << 0 << int(QImage::Format_ARGB32);
    QTest::newRow("argb32 contrast keeps alpha")
            << translucent << 0 << 90 << int(QImage::Format_ARGB32);
    QTest::newRow("premultiplied")
            << translucent.convertToFormat(QImage::Format_ARGB32_Premultiplied) << -30 << -40
            << int(QImage::Format_ARGB32);
    QTest::newRow("palette through its colours")
            << readBack(palette, "PNG") << 20 << 60 << int(QImage::Format_Indexed8);
    QTest::newRow("16-bit png") << readBack(deep, "PNG") << -40 << 30 << int(QImage::Format_ARGB32);
    QTest::newRow("rgb16") << pattern.convertToFormat(QImage::Format_RGB16) << 25 << 40
                           << int(QImage::Format_RGB32);
    QTest::newRow("rgb888, odd width") << pattern.convertToFormat(QImage::Format_RGB888) << 25 << 40
                                       << int(QImage::Format_RGB888);
    QTest::newRow("grayscale16") << pattern.convertToFormat(QImage::Format_Grayscale16) << 10 << 70
                                 << int(QImage::Format_Grayscale8);
}

void BrightnessContrastTest::pixels()
{
    QFETCH(QImage, image);
    QFETCH(int, brightness);
    QFETCH(int, contrast);
    QFETCH(int, format);
    QVERIFY(!image.isNull());
    const QImage adjusted = BrightnessContrast::adjusted(image, brightness, contrast);
    QCOMPARE(int(adjusted.format()), format);
    QCOMPARE(argb(adjusted),
             expectedAdjustment(BrightnessContrast::prepared(image), brightness, contrast));
    QCOMPARE(adjusted.dotsPerMeterX(), image.dotsPerMeterX());
}

void BrightnessContrastTest::autoValues_data()
{
    QTest::addColumn<QImage>("image");
    QTest::addColumn<int>("brightness");
    QTest::addColumn<int>("contrast");

    const auto two = [](QImage::Format format, QRgb first, QRgb second) {
        QImage image(2, 1, QImage::Format_ARGB32);
        image.setPixel(0, 0, first);
        image.setPixel(1, 0, second);
        return image.convertToFormat(format);
    };
    const QRgb dark = qRgb(40, 30, 20), light = qRgb(220, 210, 200);
    QImage black(8, 8, QImage::Format_RGB32), white(8, 8, QImage::Format_RGB32);
    black.fill(Qt::black);
    white.fill(Qt::white);
    QTest::newRow("black") << black << 0 << 0;
    QTest::newRow("white") << white << 0 << 0;
    // lo 20 and hi 220: 127 - 240 / 2 and (20 - 220 + 256) / 2.
    QTest::newRow("dark then light") << two(QImage::Format_ARGB32, dark, light) << 7 << 28;
    QTest::newRow("light then dark") << two(QImage::Format_ARGB32, light, dark) << 7 << 28;
    QTest::newRow("24-bit") << two(QImage::Format_RGB888, dark, light) << 7 << 28;
    QTest::newRow("16-bit") << two(QImage::Format_RGBA64, dark, light) << 7 << 28;
    // Grey levels 20 to 100: 127 - 120 / 2 and (20 - 100 + 256) / 2. The darkest level
    // sits where reading bytes as 4-byte pixels would never look.
    QImage grey(6, 1, QImage::Format_Grayscale8);
    const uchar levels[6] = { 100, 100, 100, 20, 100, 100 };
    std::copy(levels, levels + 6, grey.scanLine(0));
    QTest::newRow("grayscale8") << grey << 67 << 88;
}

void BrightnessContrastTest::autoValues()
{
    QFETCH(QImage, image);
    QFETCH(int, brightness);
    QFETCH(int, contrast);
    const BrightnessContrast::Values values = BrightnessContrast::autoValues(image);
    QCOMPARE(values.brightness, brightness);
    QCOMPARE(values.contrast, contrast);
}

void BrightnessContrastTest::preview_data()
{
    QTest::addColumn<QList<int>>("brightness");
    QTest::addColumn<int>("contrast");
    QTest::addColumn<bool>("selectFirst");
    QTest::addColumn<bool>("interrupt");
    // 0 no Reset, 1 Reset once previewed, 2 Reset while the change waits for the tick.
    QTest::addColumn<int>("reset");

    QList<int> burst;
    for (int i = 1; i <= 50; ++i)
        burst << (i * 37) % 201 - 100;
    QTest::newRow("back to neutral") << QList<int> { 30, 0 } << 0 << false << false << 0;
    QTest::newRow("nothing selected: all") << QList<int> { 45 } << -20 << false << false << 0;
    QTest::newRow("the selected one") << QList<int> { -45 } << 60 << true << false << 0;
    QTest::newRow("burst of 50") << burst << 35 << false << false << 0;
    QTest::newRow("change while computing") << QList<int> { 80, -70 } << 10 << false << true << 0;
    QTest::newRow("reset") << QList<int> { 60 } << 40 << false << false << 1;
    QTest::newRow("reset before the tick") << QList<int> { 60 } << 40 << false << false << 2;
}

// The dials of the real tool page, driven as a user would, on a document of two images.
void BrightnessContrastTest::preview()
{
    QFETCH(QList<int>, brightness);
    QFETCH(int, contrast);
    QFETCH(bool, selectFirst);
    QFETCH(bool, interrupt);
    QFETCH(int, reset);

    const QImage big = ImageFixtures::pattern(QSize(300, 700));
    const QImage small = ImageFixtures::pattern(QSize(40, 30), QImage::Format_RGB32);
    MdiChild *doc = window->open({ big, small }, QStringLiteral("two"));
    const QList<ImageItem *> items = images(doc);
    QCOMPARE(items.size(), 2);
    if (selectFirst)
        items.first()->setSelected(true);
    window->clickTool(9);
    BrightnessContrastTool *tool = window->tool();
    QCOMPARE(window->toolWatcher->currentTool(), tool);
    const QList<QDial *> dials = window->dials();
    QCOMPARE(dials.size(), 2);
    QSignalSpy started(tool->findChild<QFutureWatcherBase *>(), &QFutureWatcherBase::started);
    const auto previewed = [&] {
        return std::all_of(items.begin(), items.end(), [&](ImageItem *item) {
            return item->previewImage() || (selectFirst && item != items.first());
        });
    };

    dials.at(1)->setValue(contrast);
    for (int i = 0; i < brightness.size(); ++i) {
        dials.at(0)->setValue(brightness.at(i));
        if (interrupt && i == 0)
            QVERIFY(started.wait());
    }
    const int last = brightness.last();
    // A computation that finished before the change may show first; the newest follows.
    const auto newest = [&] {
        return previewed()
                && argb(*items.first()->previewImage())
                == expectedAdjustment(items.first()->currentImage(), last, contrast);
    };
    if (reset == 2) {
        QTest::mouseClick(window->button(QStringLiteral("Reset")), Qt::LeftButton);
        QVERIFY(!started.wait(300));
    } else {
        QTRY_VERIFY(started.count() == (interrupt ? 2 : 1) && newest());
    }
    for (ImageItem *item : items) {
        if ((selectFirst && item != items.first()) || reset == 2) {
            QVERIFY(!item->previewImage());
            continue;
        }
        QVERIFY(item->isSelected());
        QCOMPARE(argb(*item->previewImage()),
                 expectedAdjustment(item->currentImage(), last, contrast));
    }

    if (reset == 1) {
        QTest::mouseClick(window->button(QStringLiteral("Reset")), Qt::LeftButton);
        QVERIFY(std::none_of(items.begin(), items.end(),
                             [](ImageItem *item) { return item->previewImage(); }));
    }
    if (reset) {
        QCOMPARE(dials.at(0)->value(), 0);
        QCOMPARE(dials.at(1)->value(), 0);
        QCOMPARE(tool->brightness, 0);
    }
    QList<QImage> previews, before;
    for (ImageItem *item : items) {
        before << item->currentImage();
        previews << (item->previewImage() ? *item->previewImage() : item->currentImage());
    }

    window->clickTool(0);
    const bool step = !reset && (last != 0 || contrast != 0);
    QCOMPARE(doc->undoStack()->count(), step ? 1 : 0);
    for (int i = 0; i < items.size(); ++i) {
        QVERIFY(!items.at(i)->previewImage());
        QCOMPARE(argb(items.at(i)->currentImage()), argb(step ? previews.at(i) : before.at(i)));
    }
    if (!step)
        return;
    doc->undoStack()->undo();
    for (int i = 0; i < items.size(); ++i)
        QCOMPARE(items.at(i)->currentImage(), before.at(i));
    doc->undoStack()->redo();
    for (int i = 0; i < items.size(); ++i)
        QCOMPARE(argb(items.at(i)->currentImage()), argb(previews.at(i)));
}

// Auto Correction takes its values from the selected image, shows them on the dials as far
// as they reach, and previews them.
void BrightnessContrastTest::autoCorrectionPreviews()
{
    QImage dull(60, 40, QImage::Format_RGB888);
    for (int y = 0; y < dull.height(); ++y) {
        for (int x = 0; x < dull.width(); ++x)
            dull.setPixel(x, y, qRgb(100 + x / 2, 110 + y / 2, 120));
    }
    MdiChild *doc = window->open({ dull }, QStringLiteral("dull"));
    window->clickTool(9);
    BrightnessContrastTool *tool = window->tool();
    QTest::mouseClick(window->button(QStringLiteral("Auto Correction")), Qt::LeftButton);
    QCOMPARE(tool->brightness, 0);
    QVERIFY(!images(doc).first()->previewImage());

    ImageItem *item = images(doc).first();
    item->setSelected(true);
    QTest::mouseClick(window->button(QStringLiteral("Auto Correction")), Qt::LeftButton);
    const BrightnessContrast::Values values = BrightnessContrast::autoValues(dull);
    QCOMPARE(tool->brightness, values.brightness);
    QCOMPARE(tool->contrast, values.contrast);
    const QList<QDial *> dials = window->dials();
    QCOMPARE(dials.at(0)->value(), qBound(-100, values.brightness, 100));
    QCOMPARE(dials.at(1)->value(), qBound(-100, values.contrast, 100));
    QTRY_VERIFY(item->previewImage());
    QCOMPARE(argb(*item->previewImage()),
             expectedAdjustment(dull, values.brightness, values.contrast));
}

// Each document keeps its own values while the tool stays current; coming back puts them
// on the dials without computing anything, and leaving commits them to that document only.
void BrightnessContrastTest::valuesFollowTheDocument()
{
    const QImage image = ImageFixtures::pattern(QSize(120, 90));
    MdiChild *a = window->open({ image }, QStringLiteral("a.png"));
    window->clickTool(9);
    BrightnessContrastTool *tool = window->tool();
    const QList<QDial *> dials = window->dials();
    dials.at(0)->setValue(40);
    QTRY_VERIFY(images(a).first()->previewImage());
    MdiChild *b = window->open({ image }, QStringLiteral("b.png"));
    QTRY_VERIFY(b->hasFocus());
    dials.at(0)->setValue(-30);
    QTRY_VERIFY(images(b).first()->previewImage());

    QSignalSpy started(tool->findChild<QFutureWatcherBase *>(), &QFutureWatcherBase::started);
    window->mdiArea->setActiveSubWindow(a->subWindow);
    a->setFocus();
    QTRY_COMPARE(tool->brightness, 40);
    QCOMPARE(dials.at(0)->value(), 40);
    QVERIFY(!started.wait(300));
    window->clickTool(0);
    QCOMPARE(a->undoStack()->count(), 1);
    QCOMPARE(b->undoStack()->count(), 0);
    QCOMPARE(argb(images(a).first()->currentImage()), expectedAdjustment(image, 40, 0));
}

VIREON_TEST_MAIN(BrightnessContrastTest)
#include "tst_brightnesscontrast.moc"
