#include "browser/treepanel.h"
#include "platform/drivewatcher.h"
#include "testmain.h"

#include <QDir>
#include <QFile>
#include <QFileSystemModel>
#include <QHeaderView>
#include <QScopeGuard>
#include <QTreeView>

#include <cerrno>
#include <sched.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <unistd.h>

namespace {

// The sorted names the tree lists under a folder.
QStringList childNames(const QFileSystemModel *model, const QString &path)
{
    const QModelIndex parent = model->index(path);
    QStringList names;
    for (int row = 0; row < model->rowCount(parent); ++row)
        names << model->index(row, 0, parent).data().toString();
    names.sort();
    return names;
}

int openFileCount()
{
    return QDir(QStringLiteral("/proc/self/fd")).entryList(QDir::Files | QDir::System).size();
}

} // namespace

// The folder tree dock and the mount watcher behind it.
class TreePanelTest : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void listsVisibleFoldersOnly();
    void showsNameColumnOnly();
    void setCurrentFolder_data();
    void setCurrentFolder();
    void setCurrentFolderIgnoresNonFolders_data();
    void setCurrentFolderIgnoresNonFolders();
    void burstOfChangesGivesOneRefresh();
    void steadyChangesDoNotPostponeRefresh();
    void watcherStartsAndStopsRepeatedly();
    void watchFailureIsReported();
    void noticesMountAndUnmount();

private:
    QString path(const QString &relative) const { return fixture.filePath(relative); }

    QTemporaryDir fixture;
};

void TreePanelTest::initTestCase()
{
    QVERIFY(fixture.isValid());
    QDir root(fixture.path());
    QVERIFY(root.mkpath(QStringLiteral("alpha/deep/deeper")));
    QVERIFY(root.mkpath(QStringLiteral("beta")));
    QVERIFY(root.mkpath(QStringLiteral(".hidden")));
    for (const char *name : { "photo.jpg", "alpha/notes.txt" }) {
        QFile file(path(QLatin1String(name)));
        QVERIFY(file.open(QIODevice::WriteOnly));
        QVERIFY(file.write("x") == 1);
    }
}

void TreePanelTest::listsVisibleFoldersOnly()
{
    TreePanel panel(QStringLiteral("Tree"));
    QStringList loaded;
    connect(panel.model(), &QFileSystemModel::directoryLoaded, this,
            [&loaded](const QString &folder) { loaded << folder; });

    panel.setCurrentFolder(fixture.path());

    // Once the folder has been read in full, whatever is missing now stays missing.
    QTRY_VERIFY(loaded.contains(fixture.path()));
    const QStringList folders = { QStringLiteral("alpha"), QStringLiteral("beta") };
    QTRY_COMPARE(childNames(panel.model(), fixture.path()), folders);
}

void TreePanelTest::showsNameColumnOnly()
{
    TreePanel panel(QStringLiteral("Tree"));
    const QTreeView *view = panel.view();
    QVERIFY(view->header()->isHidden());
    QVERIFY(panel.model()->columnCount() > 1);
    for (int column = 0; column < panel.model()->columnCount(); ++column)
        QCOMPARE(view->isColumnHidden(column), column != 0);
}

void TreePanelTest::setCurrentFolder_data()
{
    QTest::addColumn<QString>("folder");
    QTest::newRow("fixture") << QString();
    QTest::newRow("nested") << QStringLiteral("alpha/deep/deeper");
    QTest::newRow("trailing separator") << QStringLiteral("beta/");
}

void TreePanelTest::setCurrentFolder()
{
    QFETCH(QString, folder);
    const QString wanted = QDir::cleanPath(path(folder));
    TreePanel panel(QStringLiteral("Tree"));
    QTreeView *view = panel.view();
    // The main window follows the tree through this signal.
    QSignalSpy changed(view->selectionModel(), &QItemSelectionModel::currentChanged);

    panel.setCurrentFolder(path(folder));

    QCOMPARE(changed.count(), 1);
    QCOMPARE(panel.model()->filePath(changed.first().first().toModelIndex()), wanted);
    const QModelIndex current = view->currentIndex();
    QCOMPARE(panel.model()->filePath(current), wanted);
    QCOMPARE(current.column(), 0);
    for (QModelIndex index = current; index.isValid(); index = index.parent())
        QVERIFY2(view->isExpanded(index), qPrintable(panel.model()->filePath(index)));
}

void TreePanelTest::setCurrentFolderIgnoresNonFolders_data()
{
    QTest::addColumn<QString>("target");
    QTest::newRow("missing") << path(QStringLiteral("alpha/missing"));
    QTest::newRow("file") << path(QStringLiteral("alpha/notes.txt"));
    QTest::newRow("empty") << QString();
}

void TreePanelTest::setCurrentFolderIgnoresNonFolders()
{
    QFETCH(QString, target);
    TreePanel panel(QStringLiteral("Tree"));
    QTreeView *view = panel.view();
    panel.setCurrentFolder(path(QStringLiteral("beta")));
    const QModelIndex before = view->currentIndex();
    QVERIFY(before.isValid());
    QSignalSpy changed(view->selectionModel(), &QItemSelectionModel::currentChanged);

    panel.setCurrentFolder(target);

    QCOMPARE(changed.count(), 0);
    QCOMPARE(view->currentIndex(), before);
    QVERIFY(!view->isExpanded(panel.model()->index(path(QStringLiteral("alpha")))));
    QVERIFY(!childNames(panel.model(), path(QStringLiteral("alpha"))).contains("notes.txt"));
}

void TreePanelTest::burstOfChangesGivesOneRefresh()
{
    TreePanel panel(QStringLiteral("Tree"));
    // Only the changes sent here count, not whatever the machine mounts meanwhile.
    panel.driveWatcher()->stop();
    QSignalSpy refreshed(&panel, &TreePanel::modelRefreshed);

    for (int i = 0; i < 5; ++i)
        emit panel.driveWatcher()->driveChanged();

    QVERIFY(refreshed.wait());
    QCOMPARE(refreshed.count(), 1);
    const auto *timer
            = panel.findChild<QTimer *>(QStringLiteral("refreshTimer"), Qt::FindDirectChildrenOnly);
    QVERIFY(timer);
    QVERIFY2(!timer->isActive(), "another refresh is still to come");
}

void TreePanelTest::steadyChangesDoNotPostponeRefresh()
{
    TreePanel panel(QStringLiteral("Tree"));
    panel.driveWatcher()->stop();
    QSignalSpy refreshed(&panel, &TreePanel::modelRefreshed);
    // A change every tenth of a second for three seconds, much longer than the refresh delay.
    int sent = 0;
    QTimer ticker;
    ticker.setInterval(100);
    connect(&ticker, &QTimer::timeout, this, [&] {
        if (++sent == 30)
            ticker.stop();
        emit panel.driveWatcher()->driveChanged();
    });
    emit panel.driveWatcher()->driveChanged();
    ticker.start();

    QVERIFY(refreshed.wait(10000));
    QVERIFY2(ticker.isActive(), "the refresh waited until the changes stopped");
}

void TreePanelTest::watcherStartsAndStopsRepeatedly()
{
    const int filesBefore = openFileCount();
    DriveWatcher watcher;
    watcher.stop();
    QVERIFY(!watcher.isWatching());

    QVERIFY(watcher.start());
    QVERIFY(watcher.start());
    watcher.stop();
    watcher.stop();
    QVERIFY(!watcher.isWatching());
    QCOMPARE(openFileCount(), filesBefore);
    QVERIFY(watcher.start());
}

void TreePanelTest::watchFailureIsReported()
{
    // With no file descriptors left to open, the mount table cannot be watched.
    rlimit limit = {};
    QCOMPARE(::getrlimit(RLIMIT_NOFILE, &limit), 0);
    rlimit none = limit;
    none.rlim_cur = 0;
    const QByteArray warning
            = "DriveWatcher: Failed to watch the mount table: " + QByteArray::number(EMFILE);
    QTest::ignoreMessage(QtWarningMsg, warning.constData());
    QCOMPARE(::setrlimit(RLIMIT_NOFILE, &none), 0);
    DriveWatcher watcher;
    const bool started = watcher.start();
    QCOMPARE(::setrlimit(RLIMIT_NOFILE, &limit), 0);
    QVERIFY(!started);
    QVERIFY(!watcher.isWatching());
    // A later attempt is not spoiled by the failure.
    QVERIFY(watcher.start());
}

void TreePanelTest::noticesMountAndUnmount()
{
    if (::geteuid() != 0)
        QSKIP("Mounting a test volume needs root");
    // A mount namespace of the test's own keeps the test volume away from the machine.
    if (::unshare(CLONE_NEWNS) != 0)
        QSKIP(qPrintable(QStringLiteral("No mount namespace of its own: errno %1").arg(errno)));
    if (::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0)
        QSKIP(qPrintable(QStringLiteral("Mounts cannot be made private: errno %1").arg(errno)));

    // Built after the namespace change, so that it watches the test's own mount table.
    TreePanel panel(QStringLiteral("Tree"));
    QVERIFY(panel.driveWatcher()->isWatching());
    QSignalSpy changed(panel.driveWatcher(), &DriveWatcher::driveChanged);
    QSignalSpy refreshed(&panel, &TreePanel::modelRefreshed);
    QTemporaryDir point;
    QVERIFY(point.isValid());
    const QByteArray target = QFile::encodeName(point.path());
    bool mounted = false;
    auto unmount = qScopeGuard([&] {
        if (mounted)
            ::umount2(target.constData(), MNT_DETACH);
    });

    if (::mount("tmpfs", target.constData(), "tmpfs", 0, "size=1m") != 0)
        QSKIP(qPrintable(QStringLiteral("Cannot mount a test volume: errno %1").arg(errno)));
    mounted = true;
    QVERIFY(changed.wait());
    QVERIFY(refreshed.wait());

    changed.clear();
    QCOMPARE(::umount2(target.constData(), 0), 0);
    mounted = false;
    QVERIFY(changed.wait());
}

VIREON_TEST_MAIN(TreePanelTest)
#include "tst_treepanel.moc"
