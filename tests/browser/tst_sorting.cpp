#include "browser/thumbnaillistmodel.h"
#include "browser/thumbnaillistview.h"
#include "browser/thumbnailpanel.h"
#include "browser/thumbnailsortfilterproxymodel.h"
#include "testmain.h"

class SortingTest : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void order_data();
    void order();
    void relisting_data();
    void relisting();
    void orderChangeKeepsCurrent_data();
    void orderChangeKeepsCurrent();

private:
    // Files with sizes and ages in minutes by position in the list; missing ones are 0.
    void makeFiles(const QStringList &names, const QVector<qint64> &sizes = {},
                   const QVector<int> &ages = {});
    QStringList shown() const;
    std::unique_ptr<QTemporaryDir> dir;
    std::unique_ptr<ThumbnailPanel> panel;
};

void SortingTest::init()
{
    dir = std::make_unique<QTemporaryDir>(QDir::homePath() + QStringLiteral("/folder-XXXXXX"));
    panel = std::make_unique<ThumbnailPanel>(QStringLiteral("Thumbnails"));
    panel->resize(400, 300);
    panel->show();
}

void SortingTest::makeFiles(const QStringList &names, const QVector<qint64> &sizes,
                            const QVector<int> &ages)
{
    const QDateTime now = QDateTime::currentDateTime();
    for (int i = 0; i < names.size(); ++i) {
        QFile file(dir->filePath(names.at(i)));
        QVERIFY(file.open(QIODevice::WriteOnly) && file.resize(sizes.value(i)));
        QVERIFY(file.setFileTime(now.addSecs(-60 * ages.value(i)),
                                 QFileDevice::FileModificationTime));
    }
}

QStringList SortingTest::shown() const
{
    QStringList names;
    for (int row = 0; row < panel->proxy()->rowCount(); ++row)
        names << panel->proxy()->index(row, 0).data().toString();
    return names;
}

void SortingTest::order_data()
{
    QTest::addColumn<QStringList>("files");
    QTest::addColumn<QVector<qint64>>("sizes");
    QTest::addColumn<QVector<int>>("ages");
    QTest::addColumn<int>("mode");
    QTest::addColumn<int>("order");
    QTest::addColumn<QStringList>("expected");
    const QStringList photos { "b.jpg", "photo.png", "C.gif", "photo.jpg", "A.png" };
    const QStringList types { "b.png", "a.png", "c.jpg", "B.gif" };
    const QStringList abc { "c.png", "a.png", "b.png" };
    const QVector<int> none;
    const QVector<qint64> noSizes;
    QTest::newRow("name ignores case, equal base names keep listing order")
            << photos << noSizes << none << 1 << 0
            << QStringList { "A.png", "b.jpg", "C.gif", "photo.jpg", "photo.png" };
    QTest::newRow("name descending, equal base names keep listing order")
            << photos << noSizes << none << 1 << 1
            << QStringList { "photo.jpg", "photo.png", "C.gif", "b.jpg", "A.png" };
    QTest::newRow("base name ends at the first dot")
            << QStringList { "ab.png", "a b.png", "a.z.png" } << noSizes << none << 1 << 0
            << QStringList { "a.z.png", "a b.png", "ab.png" };
    QTest::newRow("type, then name") << types << noSizes << none << 2 << 0
                                     << QStringList { "B.gif", "c.jpg", "a.png", "b.png" };
    QTest::newRow("type follows the last dot")
            << QStringList { "a.bmp.png", "b.jpg" } << noSizes << none << 2 << 0
            << QStringList { "b.jpg", "a.bmp.png" };
    QTest::newRow("modified, then name") << abc << noSizes << QVector<int> { 1, 5, 1 } << 3 << 0
                                         << QStringList { "a.png", "b.png", "c.png" };
    QTest::newRow("size descending, past 4 GiB, then name")
            << abc << QVector<qint64> { 30, (qint64(4) << 30) + 10, 30 } << none << 4 << 1
            << QStringList { "a.png", "c.png", "b.png" };
    QTest::newRow("none at the start keeps the listing")
            << abc << QVector<qint64> { 3, 1, 2 } << none << 0 << 1
            << QStringList { "a.png", "b.png", "c.png" };
}

void SortingTest::order()
{
    QFETCH(QStringList, files);
    QFETCH(QVector<qint64>, sizes);
    QFETCH(QVector<int>, ages);
    QFETCH(int, mode);
    QFETCH(int, order);
    QFETCH(QStringList, expected);
    makeFiles(files, sizes, ages);
    panel->sortMode = mode;
    panel->sortOrder = order;
    panel->setFolder(dir->path());
    QCOMPARE(shown(), expected);
    if (mode == 0)
        return;
    // The result does not depend on the order shown before.
    panel->view()->setSorting(2, 1);
    panel->view()->setSorting(mode, order);
    QCOMPARE(shown(), expected);
}

void SortingTest::relisting_data()
{
    QTest::addColumn<QVector<int>>("sortings"); // mode, order, mode, order, ...
    QTest::addColumn<QStringList>("before");
    QTest::addColumn<QStringList>("after"); // of these files, in this order
    QTest::newRow("name") << QVector<int> { 1, 1 } << QStringList { "e.png", "c.jpg", "a.png" }
                          << QStringList { "e.png", "d.gif", "c.jpg", "b.png" };
    QTest::newRow("type") << QVector<int> { 2, 1 } << QStringList { "e.png", "a.png", "c.jpg" }
                          << QStringList { "e.png", "b.png", "c.jpg", "d.gif" };
    QTest::newRow("none after ascending size, both orders")
            << QVector<int> { 4, 0, 0, 0, 0, 1 } << QStringList { "c.jpg", "a.png", "e.png" }
            << QStringList { "c.jpg", "e.png" };
    QTest::newRow("none after descending size, both orders")
            << QVector<int> { 4, 1, 0, 1, 0, 0 } << QStringList { "e.png", "a.png", "c.jpg" }
            << QStringList { "e.png", "c.jpg" };
}

void SortingTest::relisting()
{
    QFETCH(QVector<int>, sortings);
    QFETCH(QStringList, before);
    QFETCH(QStringList, after);
    makeFiles({ "a.png", "c.jpg", "e.png" }, { 30, 20, 40 });
    panel->setFolder(dir->path());
    for (int i = 0; i + 1 < sortings.size(); i += 2)
        panel->view()->setSorting(sortings.at(i), sortings.at(i + 1));
    QCOMPARE(shown(), before);

    QVERIFY(QFile::remove(dir->filePath("a.png")));
    makeFiles({ "d.gif", "b.png" }, { 25, 35 });
    panel->model()->tDirectoryChanged();
    QStringList listed = shown();
    QCOMPARE(listed.size(), 4);
    listed.erase(std::remove_if(listed.begin(), listed.end(),
                                [&](const QString &name) { return !after.contains(name); }),
                 listed.end());
    QCOMPARE(listed, after);
}

void SortingTest::orderChangeKeepsCurrent_data()
{
    QTest::addColumn<int>("mode");
    QTest::addColumn<int>("from");
    QTest::newRow("name, to descending") << 1 << 0;
    QTest::newRow("size, to ascending") << 4 << 1;
}

void SortingTest::orderChangeKeepsCurrent()
{
    QFETCH(int, mode);
    QFETCH(int, from);
    QStringList names;
    QVector<qint64> sizes;
    for (int i = 0; i < 60; ++i) {
        names << QStringLiteral("file %1.png").arg(i, 2, 10, QLatin1Char('0'));
        sizes << (i * 37) % 61;
    }
    makeFiles(names, sizes);
    panel->setFolder(dir->path());
    ThumbnailListView *view = panel->view();
    view->setSorting(mode, from);
    const QString first = shown().first();
    view->setCurrentFile(dir->filePath(first));

    view->setSorting(mode, 1 - from);
    QCOMPARE(view->currentIndex().data().toString(), first);
    QCOMPARE(view->currentIndex().row(), names.size() - 1);
    QVERIFY(view->viewport()->rect().contains(view->visualRect(view->currentIndex())));
}

VIREON_TEST_MAIN(SortingTest)
#include "tst_sorting.moc"
