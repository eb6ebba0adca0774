#include "imagefixtures.h"
#include "scene/imageitem.h"
#include "scene/pageitem.h"
#include "testmain.h"
#include "testwindow.h"
#include "tools/brightnesscontrast.h"
#include "tools/brightnesscontrasttool.h"

#include <QDial>

namespace {

// Computed apart: the table on red, green and blue of every pixel, alpha as it was.
QImage expected(const QImage &image, int brightness, int contrast)
{
    const BrightnessContrast::Table t = BrightnessContrast::table(brightness, contrast);
    QImage result = image.convertToFormat(QImage::Format_ARGB32);
    auto *p = reinterpret_cast<QRgb *>(result.bits());
    for (int i = 0; i < result.width() * result.height(); ++i)
        p[i] = qRgba(t[qRed(p[i])], t[qGreen(p[i])], t[qBlue(p[i])], qAlpha(p[i]));
    return result;
}

bool shows(const ImageItem *item, const QImage &image)
{
    return item->previewImage()
            && item->previewImage()->convertToFormat(QImage::Format_ARGB32) == image;
}

} // namespace

class BrightnessContrastTest : public QObject
{
    Q_OBJECT
private slots:
    void init()
    {
        TestEnvironment::clearSettings();
        window = std::make_unique<TestWindow>();
        tool = static_cast<BrightnessContrastTool *>(window->tool(9));
        dials = window->tools()->findChildren<QDial *>();
        started = std::make_unique<QSignalSpy>(tool->findChild<QFutureWatcherBase *>(),
                                               &QFutureWatcherBase::started);
    }
    void cleanup() { window.reset(); }
    void table();
    void pixels_data();
    void pixels();
    void preview_data();
    void preview();

private:
    std::unique_ptr<TestWindow> window;
    BrightnessContrastTool *tool = nullptr;
    QList<QDial *> dials;
    std::unique_ptr<QSignalSpy> started;
};

void BrightnessContrastTest::table()
{
    // Brightness, contrast, an entry and its value: both ends of every range.
    const int entries[][4] = { { 0, 0, 255, 255 },    { 100, 0, 0, 100 },  { 100, 0, 154, 254 },
                               { 100, 0, 155, 255 },  { -100, 0, 100, 0 }, { -100, 0, 101, 1 },
                               { -100, 0, 255, 155 }, { 0, 100, 123, 0 },  { 0, 100, 150, 128 },
                               { 0, 100, 176, 255 },  { 0, -128, 0, 159 }, { 0, -64, 0, 79 },
                               { 0, -64, 255, 207 },  { 0, 128, 152, 0 },  { 0, 128, 159, 255 } };
    for (const auto &e : entries)
        QCOMPARE(QList<int>({ e[0], e[1], e[2], BrightnessContrast::table(e[0], e[1])[e[2]] }),
                 QList<int>({ e[0], e[1], e[2], e[3] }));
    // Auto values from the darkest and brightest channels in any format but black and white.
    QImage grey(6, 1, QImage::Format_Grayscale8);
    std::copy_n("\x00\xff\x64\x14\x64\x64", 6, grey.bits());
    const BrightnessContrast::Values values = BrightnessContrast::autoValues(grey);
    QCOMPARE(QPoint(values.brightness, values.contrast), QPoint(127 - 60, (20 - 100 + 256) / 2));
}

void BrightnessContrastTest::pixels_data()
{
    QTest::addColumn<QImage>("image");
    // Alpha from transparent to opaque across the image.
    QImage translucent = ImageFixtures::pattern(QSize(64, 16));
    for (int i = 0; i < 64 * 16; ++i)
        reinterpret_cast<QRgb *>(translucent.bits())[i] &= 0xffffffu | uint(i % 64 * 4) << 24;
    translucent.setDotsPerMeterX(1000);
    QImage palette(20, 10, QImage::Format_Indexed8);
    palette.setColorTable({ qRgb(10, 200, 30), qRgb(250, 5, 120), qRgba(90, 90, 160, 0) });
    for (int i = 0; i < 200; ++i)
        palette.setPixel(i % 20, i / 20, uint(i % 3));
    const QImage pattern = ImageFixtures::pattern(QSize(31, 9));
    QTest::newRow("argb32 keeps alpha") << translucent;
    QTest::newRow("palette through its colours") << palette;
    QTest::newRow("rgb888, odd width") << pattern.convertToFormat(QImage::Format_RGB888);
    QTest::newRow("grayscale16 as 8 bits") << pattern.convertToFormat(QImage::Format_Grayscale16);
}

void BrightnessContrastTest::pixels()
{
    QFETCH(QImage, image);
    for (const QPoint &values : { QPoint(100, 0), QPoint(-30, -40), QPoint(25, 70) }) {
        const QImage adjusted = BrightnessContrast::adjusted(image, values.x(), values.y());
        QCOMPARE(adjusted.format(),
                 image.depth() == 16 ? QImage::Format_Grayscale8 : image.format());
        QCOMPARE(adjusted.dotsPerMeterX(), image.dotsPerMeterX());
        QCOMPARE(adjusted.convertToFormat(QImage::Format_ARGB32),
                 expected(BrightnessContrast::prepared(image), values.x(), values.y()));
    }
}

void BrightnessContrastTest::preview_data()
{
    QTest::addColumn<QList<int>>("brightness");
    QTest::addColumn<int>("contrast");
    // Interrupted: changed again while computing; reset: pressed before the timer's tick.
    QTest::newRow("brightness alone, all") << QList<int> { 30 } << 0;
    QTest::newRow("contrast alone, selected") << QList<int> { 0 } << -40;
    QTest::newRow("a burst") << QList<int> { 90, -80, 70, -60, 50, -45 } << 35;
    QTest::newRow("interrupted") << QList<int> { 80, -70 } << 10;
    QTest::newRow("reset") << QList<int> { 60 } << 40;
}

// The real dials on two images; leaving the tool commits the preview as one undo step.
void BrightnessContrastTest::preview()
{
    QFETCH(QList<int>, brightness);
    QFETCH(int, contrast);
    const QString tag = QString::fromLatin1(QTest::currentDataTag());
    const bool selectFirst = tag.endsWith(QLatin1String("selected"));
    const bool interrupt = tag == QLatin1String("interrupted"),
               reset = tag == QLatin1String("reset");
    MdiChild *doc = window->open({ ImageFixtures::pattern(QSize(300, 700)),
                                   ImageFixtures::pattern(QSize(40, 30), QImage::Format_RGB32) },
                                 QStringLiteral("two"));
    doc->lvScene()->clearSelection();
    window->clickTool(9);
    QList<ImageItem *> items;
    for (ObjectItem *object : doc->lvScene()->currentPage()->objects())
        items << static_cast<ImageItem *>(object);
    items.first()->setSelected(selectFirst);
    dials.at(1)->setValue(contrast);
    for (int i = 0; i < brightness.size(); ++i) {
        dials.at(0)->setValue(brightness.at(i));
        if (interrupt && i == 0)
            QVERIFY(started->wait());
    }
    if (reset) {
        // The page's last button: other tools have a Reset too.
        QTest::mouseClick(
                dials.at(0)->parentWidget()->parentWidget()->findChildren<QPushButton *>().last(),
                Qt::LeftButton);
        // No computation starts by the next tick of the preview timer.
        QVERIFY(QSignalSpy(tool->findChild<QTimer *>(), &QTimer::timeout).wait());
        QCoreApplication::processEvents();
        QVERIFY(started->isEmpty() && dials.at(0)->value() == 0 && tool->brightness == 0);
    } else {
        // A computation that finished before the change may show first; the newest follows.
        QTRY_VERIFY(started->count() == (interrupt ? 2 : 1)
                    && shows(items.first(),
                             expected(items.first()->currentImage(), brightness.last(), contrast)));
    }
    // Nothing selected means every image; leaving the tool commits what they show.
    QList<QImage> before, after;
    for (ImageItem *item : items) {
        const bool shown = (!selectFirst || item == items.first()) && !reset;
        before << expected(item->currentImage(), 0, 0);
        after << (shown ? expected(item->currentImage(), brightness.last(), contrast)
                        : before.last());
        QVERIFY(shows(item, after.last()) == shown && (!shown || item->isSelected()));
    }
    window->clickTool(0);
    QCOMPARE(doc->undoStack()->count(), reset ? 0 : 1);
    for (const bool undone : { false, true, false }) {
        for (int i = 0; i < items.size(); ++i) {
            QVERIFY(!items.at(i)->previewImage());
            QCOMPARE(expected(items.at(i)->currentImage(), 0, 0), (undone ? before : after).at(i));
        }
        undone ? doc->undoStack()->redo() : doc->undoStack()->undo();
    }
}

VIREON_TEST_MAIN(BrightnessContrastTest)
#include "tst_brightnesscontrast.moc"
