#include "browser/thumbnaildelegate.h"
#include "browser/thumbnaileditor.h"
#include "browser/thumbnaillistmodel.h"
#include "browser/thumbnaillistview.h"
#include "browser/thumbnailpanel.h"
#include "browser/thumbnailsortfilterproxymodel.h"
#include "modalanswerer.h"
#include "testmain.h"

#include <QPointer>

Q_DECLARE_METATYPE(QAbstractItemDelegate::EndEditHint)

class RenameTest : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup() { panel.reset(); }
    void rename_data();
    void rename();
    void clash_data();
    void clash();
    void relistingDuringRename_data();
    void relistingDuringRename();
    void longNameGrowsDownward();
    void keepsPlaceWithoutSorting();

private:
    void touch(const QString &name, qint64 size = 1);
    // Every file below the temporary folder, as "folder/name".
    QStringList files() const;
    // Lists the folder and opens the editor on the file with this name.
    ThumbnailEditor *edit(const QString &name, bool list = true);
    std::unique_ptr<QTemporaryDir> top;
    std::unique_ptr<ThumbnailPanel> panel;
};

void RenameTest::init()
{
    top = std::make_unique<QTemporaryDir>(QDir::homePath() + QStringLiteral("/top-XXXXXX"));
    QVERIFY(QDir().mkpath(top->filePath("folder/sub")));
    panel = std::make_unique<ThumbnailPanel>(QStringLiteral("Thumbnails"));
    panel->resize(500, 400);
    panel->show();
}

void RenameTest::touch(const QString &name, qint64 size)
{
    QFile file(top->filePath("folder/" + name));
    QVERIFY(file.open(QIODevice::WriteOnly) && file.resize(size));
}

QStringList RenameTest::files() const
{
    QStringList found;
    QDirIterator it(top->path(), QDir::Files | QDir::Hidden | QDir::System,
                    QDirIterator::Subdirectories);
    while (it.hasNext())
        found << QDir(top->path()).relativeFilePath(it.next());
    found.sort();
    return found;
}

ThumbnailEditor *RenameTest::edit(const QString &name, bool list)
{
    if (list)
        panel->setFolder(top->filePath("folder"));
    panel->view()->setCurrentFile(top->filePath("folder/" + name));
    const QModelIndex index = panel->view()->currentIndex();
    panel->view()->edit(index);
    return qobject_cast<ThumbnailEditor *>(panel->view()->indexWidget(index));
}

void RenameTest::rename_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<int>("key");
    QTest::addColumn<QString>("renamed");
    const auto row = [](const char *tag, const QString &name, const QString &shown,
                        const QString &typed, const QString &renamed, int key = Qt::Key_Return) {
        QTest::newRow(tag) << name << shown << typed << key << renamed;
    };
    row("whole name up to the last dot", "trip.2024.beach.jpg", "trip.2024.beach",
        "voyage.2024.beach", "voyage.2024.beach.jpg");
    row("dotted name replaced", "a.b.jpg", "a.b", "new", "new.jpg");
    row("keypad Enter", "my photo.png", "my photo", "Фото", "Фото.png", Qt::Key_Enter);
    row("typed dots stay", "a.jpg", "a", "x.y", "x.y.jpg");
    row("other keys edit", "a.jpg", "a", "b", "a.jpg", Qt::Key_Z);
    row("unchanged", "a.b.jpg", "a.b", "a.b", "a.b.jpg");
    // Refused: each of these would otherwise hide, move or truncate the file.
    row("empty", "a.jpg", "a", "", "a.jpg");
    row("dot", "a.jpg", "a", ".", "a.jpg");
    row("dot dot", "a.jpg", "a", "..", "a.jpg");
    row("into a subfolder", "a.jpg", "a", "sub/moved", "a.jpg");
    row("out of the folder", "a.jpg", "a", "../moved", "a.jpg");
    row("line break", "a.jpg", "a", "two\nlines", "a.jpg");
    row("NUL", "a.jpg", "a", QString("cut") + QChar(0) + "here", "a.jpg");
}

void RenameTest::rename()
{
    QFETCH(QString, name);
    QFETCH(QString, shown);
    QFETCH(QString, typed);
    QFETCH(int, key);
    QFETCH(QString, renamed);
    touch(name);
    ThumbnailEditor *editor = edit(name);
    QVERIFY(editor);
    QCOMPARE(editor->toPlainText(), shown);
    QCOMPARE(editor->textCursor().selectedText(), shown);
    qRegisterMetaType<QAbstractItemDelegate::EndEditHint>();
    QSignalSpy closed(panel->view()->itemDelegate(), &QAbstractItemDelegate::closeEditor);

    editor->setPlainText(typed);
    editor->moveCursor(QTextCursor::End);
    QTest::keyClick(editor, Qt::Key(key));
    const bool ends = key != Qt::Key_Z;
    QCOMPARE(closed.count(), int(ends));
    QCOMPARE(files(), QStringList("folder/" + renamed));
    if (!ends)
        QCOMPARE(editor->toPlainText(), typed + 'z');
}

void RenameTest::clash_data()
{
    QTest::addColumn<QStringList>("present");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<bool>("accept");
    QTest::addColumn<QString>("offered");
    QTest::newRow("no") << QStringList { "x.jpg" } << "x" << false << "x 2.jpg";
    QTest::newRow("yes, next free number")
            << QStringList { "x.jpg", "x 2.jpg" } << "x" << true << "x 3.jpg";
    QTest::newRow("a dangling link is taken")
            << QStringList { "x.jpg", "x 2.jpg", "->x 3.jpg" } << "x" << true << "x 4.jpg";
    QTest::newRow("dotted name") << QStringList { "x.y.jpg" } << "x.y" << true << "x.y 2.jpg";
}

void RenameTest::clash()
{
    QFETCH(QStringList, present);
    QFETCH(QString, typed);
    QFETCH(bool, accept);
    QFETCH(QString, offered);
    for (const QString &name : qAsConst(present)) {
        if (name.startsWith("->"))
            QVERIFY(QFile::link(top->filePath("gone"), top->filePath("folder/" + name.mid(2))));
        else
            touch(name, 5);
    }
    touch("a.jpg", 9);
    const QStringList before = files();
    ThumbnailEditor *editor = edit("a.jpg");
    QVERIFY(editor);
    editor->setPlainText(typed);
    ModalAnswerer *answer = ModalAnswerer::messageBox(accept ? QMessageBox::Yes : QMessageBox::No);
    QTest::keyClick(editor, Qt::Key_Return);
    QVERIFY(answer->answered());
    QCOMPARE(answer->title(), QString("Vireon"));
    const QString folder = top->filePath("folder/");
    QCOMPARE(answer->text(),
             QString("'%1' already exists. Do you want to rename '%2' to '%3'?")
                     .arg(folder + typed + ".jpg", folder + "a.jpg", folder + offered));
    QCOMPARE(QFileInfo(folder + typed + ".jpg").size(), 5);
    if (!accept)
        QCOMPARE(files(), before);
    else
        QCOMPARE(QFileInfo(folder + offered).size(), 9);
    QCOMPARE(QFileInfo::exists(folder + "a.jpg"), !accept);
}

void RenameTest::relistingDuringRename_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("relisting");
    QTest::addColumn<QString>("renamed");
    // The folder watch's re-listing waits for the editor; a new listing of the folder
    // takes the editor away, but the question still finishes the rename safely.
    QTest::newRow("file lands while editing") << "b" << "watch" << "b.jpg";
    QTest::newRow("file lands during the clash question") << "x" << "watch" << "x 2.jpg";
    QTest::newRow("folder listed during the clash question") << "x" << "listing" << "x 2.jpg";
}

void RenameTest::relistingDuringRename()
{
    QFETCH(QString, typed);
    QFETCH(QString, relisting);
    QFETCH(QString, renamed);
    touch("x.jpg", 5);
    touch("a.jpg", 9);
    const QPointer<ThumbnailEditor> editor = edit("a.jpg");
    QVERIFY(editor);
    QTest::keyClicks(editor, typed);
    const auto relist = [&] {
        // The edited item changes too, as when its thumbnail is made.
        panel->model()->updateThumbnail(top->filePath("folder/a.jpg"));
        touch("new.jpg");
        if (relisting == QLatin1String("watch"))
            panel->model()->tDirectoryChanged();
        else
            panel->setFolder(top->filePath("folder"));
        // What the re-listing let go is deleted now, inside the question's event loop.
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    };
    const bool clash = QFileInfo::exists(top->filePath("folder/" + typed + ".jpg"));
    ModalAnswerer *answer = nullptr;
    if (clash) {
        answer = ModalAnswerer::messageBox(QMessageBox::Yes, relist);
    } else {
        relist();
        QVERIFY(editor && editor->isVisible());
        QCOMPARE(editor->toPlainText(), typed);
    }
    QTest::keyClick(editor, Qt::Key_Return);
    QVERIFY(!answer || answer->answered());
    QStringList expected { renamed, "new.jpg", "x.jpg" };
    expected.sort();
    QStringList inFolder = files().replaceInStrings("folder/", "");
    QCOMPARE(inFolder, expected);
    QCOMPARE(QFileInfo(top->filePath("folder/" + renamed)).size(), 9);
    // The waiting re-listing comes once the editor has closed.
    const auto listed = [this] {
        QStringList names;
        for (int row = 0; row < panel->model()->count(); ++row)
            names << panel->model()->index(row).data().toString();
        names.sort();
        return names;
    };
    QTRY_COMPARE(listed(), expected);
    QTRY_COMPARE(panel->view()->currentIndex().data().toString(), renamed);
}

void RenameTest::longNameGrowsDownward()
{
    const QStringList names { "a.jpg", "a rather long file name that cannot fit on one line.jpg" };
    for (const QString &name : names)
        touch(name);
    // One line of this font fits below the thumbnail.
    QFont font = panel->view()->font();
    font.setPixelSize(11);
    panel->view()->setFont(font);
    QRect cell[2];
    QRect editor[2];
    for (int i = 0; i < 2; ++i) {
        ThumbnailEditor *opened = edit(names.at(i));
        QVERIFY(opened);
        cell[i] = panel->view()->visualRect(panel->view()->currentIndex());
        editor[i] = opened->geometry();
        QTest::keyClick(opened, Qt::Key_Escape);
        QCOMPARE(editor[i].top(), cell[i].top() + 77);
        QCOMPARE(editor[i].width(), cell[i].width());
    }
    QCOMPARE(editor[0].bottom(), cell[0].bottom());
    QVERIFY(editor[1].bottom() > cell[1].bottom());
    QVERIFY(editor[1].height() >= 2 * QFontMetrics(font).lineSpacing());
}

void RenameTest::keepsPlaceWithoutSorting()
{
    const QStringList names { "a.png", "b.png", "c.png", "d.png" };
    for (int i = 0; i < names.size(); ++i)
        touch(names.at(i), QVector<int> { 30, 10, 20, 40 }.at(i));
    panel->setFolder(top->filePath("folder"));
    panel->view()->setSorting(4, 1);
    panel->view()->setSorting(0, 0);
    ThumbnailEditor *editor = edit("c.png", false);
    QVERIFY(editor);
    editor->setPlainText("z");
    QTest::keyClick(editor, Qt::Key_Return);
    panel->model()->tDirectoryChanged();
    QStringList shown;
    for (int row = 0; row < panel->proxy()->rowCount(); ++row)
        shown << panel->proxy()->index(row, 0).data().toString();
    QCOMPARE(shown, (QStringList { "d.png", "a.png", "z.png", "b.png" }));
}

VIREON_TEST_MAIN(RenameTest)
#include "tst_rename.moc"
