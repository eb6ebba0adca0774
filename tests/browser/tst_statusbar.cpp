#include "browser/statusbar.h"
#include "testmain.h"

#include <QAction>
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
