#include "browser/statusbar.h"
#include "testmain.h"

#include <QAction>
#include <QLabel>
#include <QMainWindow>

class StatusBarTest : public QObject
{
    Q_OBJECT
private slots:
    void startsEmpty();
    void position_data();
    void position();
    void selection_data();
    void selection();
    void totals();
    void fieldsFitTheirText_data();
    void fieldsFitTheirText();
    void toggle();
};

void StatusBarTest::startsEmpty()
{
    StatusBar bar;
    QCOMPARE(bar.secondText(), QStringLiteral("    0x0"));
    // No image yet: no position, and no selection.
    QCOMPARE(bar.firstText(), QStringLiteral("         "));
    QCOMPARE(bar.thirdText(), QStringLiteral("Total 0 file(s) 0 B  Selected 0 file(s) 0 B"));
}

void StatusBarTest::position_data()
{
    QTest::addColumn<QPoint>("point");
    QTest::addColumn<QString>("shown");
    QTest::newRow("inside") << QPoint(3, 5) << "3, 5";
    QTest::newRow("left of the image") << QPoint(-1, 5) << "     ";
    QTest::newRow("right edge") << QPoint(40, 0) << "     ";
    QTest::newRow("last pixel") << QPoint(39, 29) << "39, 29";
}

void StatusBarTest::position()
{
    QFETCH(QPoint, point);
    QFETCH(QString, shown);
    StatusBar bar;
    bar.setImageSize(QSize(40, 30));
    bar.setPosition(point);
    QCOMPARE(bar.firstText(), shown + QStringLiteral("    "));
}

void StatusBarTest::selection_data()
{
    QTest::addColumn<QRectF>("rect");
    QTest::addColumn<QString>("shown");
    QTest::newRow("tiny") << QRectF(1, 1, 0.4, 0.4) << " ";
    QTest::newRow("rounded") << QRectF(2.5, 7.49, 10.5, 3.2) << "3,7 11x3";
    QTest::newRow("drawn upwards") << QRectF(10, 10, -4, -2) << "6,8 4x2";
}

void StatusBarTest::selection()
{
    QFETCH(QRectF, rect);
    QFETCH(QString, shown);
    StatusBar bar;
    bar.setSelectionRect(rect);
    QCOMPARE(bar.firstText(), QStringLiteral("        ") + shown);
}

void StatusBarTest::totals()
{
    StatusBar bar;
    bar.setTotal(3, 2048);
    bar.setSelected(2, qint64(5) << 30);
    QCOMPARE(bar.thirdText(), QStringLiteral("Total 3 file(s) 2.00 KB  Selected 2 file(s) 5120.00 MB"));
    bar.setImageSize(QSize(640, 480));
    bar.setFileSize(1536);
    const QDateTime time(QDate(2026, 3, 4), QTime(5, 6));
    bar.setDateTime(time);
    QCOMPARE(bar.secondText(),
             QLocale().toString(time, QLocale::ShortFormat) + QStringLiteral("  1.50 KB  640x480"));
}

void StatusBarTest::fieldsFitTheirText_data()
{
    QTest::addColumn<int>("pointSize");
    QTest::addColumn<QSize>("imageSize");
    QTest::newRow("photo") << 0 << QSize(4000, 3000);
    QTest::newRow("panorama") << 0 << QSize(40000, 30000);
    QTest::newRow("large font") << 16 << QSize(4000, 3000);
}

void StatusBarTest::fieldsFitTheirText()
{
    QFETCH(int, pointSize);
    QFETCH(QSize, imageSize);
    QMainWindow window;
    auto *bar = new StatusBar;
    window.setStatusBar(bar);
    window.resize(1600, 300);
    window.show();
    bar->setImageSize(imageSize);
    bar->setPosition(QPoint(imageSize.width() - 1, imageSize.height() - 1));
    bar->setSelectionRect(QRectF(QPointF(0, 0), imageSize));
    bar->setFileSize(qint64(imageSize.width()) * imageSize.height());
    bar->setDateTime(QDateTime(QDate(2026, 12, 28), QTime(23, 58)));
    bar->setTotal(12345, qint64(5) << 30);
    // The font may change after the texts were set.
    if (pointSize > 0) {
        QFont font = bar->font();
        font.setPointSize(pointSize);
        bar->setFont(font);
    }
    const auto labels = bar->findChildren<QLabel *>();
    QCOMPARE(labels.size(), 3);
    // The first field whose text, in the bar's font, is cut once the layout has settled.
    const auto cut = [&]() {
        for (QLabel *label : labels) {
            if (label->contentsRect().width()
                < QFontMetrics(bar->font()).horizontalAdvance(label->text()))
                return label->text();
        }
        return QString();
    };
    QTRY_COMPARE(cut(), QString());
}

void StatusBarTest::toggle()
{
    QMainWindow window;
    auto *bar = new StatusBar;
    window.setStatusBar(bar);
    window.show();
    bar->toggleViewAction()->setChecked(true);
    bar->toggleViewAction()->trigger();
    QVERIFY(bar->isHidden());
    bar->toggleViewAction()->trigger();
    QVERIFY(!bar->isHidden());
    // A request that matches the state changes nothing.
    bar->toggleView(true);
    QVERIFY(!bar->isHidden());
}

VIREON_TEST_MAIN(StatusBarTest)
#include "tst_statusbar.moc"
