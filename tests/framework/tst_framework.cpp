#include "framework/lvcombobox.h"
#include "imagefixtures.h"
#include "modalanswerer.h"
#include "scene/pageitem.h"
#include "testmain.h"
#include "testwindow.h"

#include <QAction>
#include <QMdiArea>
#include <QMenu>

namespace {

class FrameworkWindow : public TestWindow
{
public:
    using LVMainWindow::languageMenu;
    using LVMainWindow::undoAct;
    using LVMainWindow::windowMenu;
    using LVMainWindow::zoomBox;
    // Save, Save As, Close, Paste, Zoom In, Print, Preview, Cut, Copy, Delete, Undo, Redo, sep.
    QString enabled() const
    {
        QString flags;
        for (const QAction *a : { saveAct, saveAsAct, closeAct, pasteAct, zoomInAct, printAct,
                                  printPreviewAct, cutAct, copyAct, deleteAct, undoAct, redoAct })
            flags += a->isEnabled() ? '1' : '0';
        return flags + (separatorAct->isVisible() && zoomBox->isEnabled() ? '1' : '0');
    }
    MdiChild *add(const QString &file = QString())
    {
        MdiChild *doc = open(ImageFixtures::pattern(QSize(200, 100)), file);
        doc->lvScene()->clearSelection();
        updateMenus();
        return doc;
    }
};

} // namespace

class FrameworkTest : public QObject
{
    Q_OBJECT
private slots:
    void init()
    {
        TestEnvironment::clearSettings();
        window = std::make_unique<FrameworkWindow>();
    }
    void cleanup() { window.reset(); }
    void menusFollowTheActiveDocument();
    void zoom_data();
    void zoom();
    void findDocuments();
    void closing();

private:
    std::unique_ptr<FrameworkWindow> window;
};

void FrameworkTest::menusFollowTheActiveDocument()
{
    MdiChild *doc = window->add();
    QCOMPARE(window->enabled(), QStringLiteral("0111111000001")); // nothing to save; a page
    doc->lvScene()->selectAll();
    doc->undoStack()->push(new QUndoCommand);
    window->updateMenus();
    QCOMPARE(window->enabled(), QStringLiteral("1111111111101"));
    // The undo actions follow the active document's stack.
    MdiChild *other = window->add();
    QCOMPARE(window->enabled(), QStringLiteral("0111111000001"));
    window->mdiArea->setActiveSubWindow(doc->subWindow);
    window->undoAct->trigger();
    QVERIFY(doc->undoStack()->index() == 0 && other->undoStack()->count() == 0);
    // A selected item that is not an object, here the page, does not enable Cut and Copy.
    doc->lvScene()->clearSelection();
    doc->lvScene()->currentPage()->setFlag(QGraphicsItem::ItemIsSelectable);
    doc->lvScene()->currentPage()->setSelected(true);
    window->updateMenus();
    QCOMPARE(window->enabled(), QStringLiteral("1111111001011"));
    doc->undoStack()->clear();
    window->mdiArea->closeAllSubWindows();
    QTRY_COMPARE(window->enabled(), QStringLiteral("0000000000000"));
}

void FrameworkTest::zoom_data()
{
    QTest::addColumn<QString>("input");
    QTest::addColumn<double>("from");
    QTest::addColumn<double>("to");
    // + and - zoom in and out; the percentage shown is truncated, never rounded up.
    QTest::newRow("in: last step goes relative") << "+" << 4.0 << 5.0;
    QTest::newRow("in: just below the first step") << "+" << 0.09 << 0.1;
    QTest::newRow("out: first step goes relative") << "-" << 0.1 << 0.08;
    QTest::newRow("out: between steps") << "-" << 0.3 << 0.25;
    // Typed: prefixes of the steps (40, 1, 12) mean themselves; 29 % is not exact in binary.
    for (const char *text : { "300", "25600", "29", "40", "1", "12" })
        QTest::newRow(text) << text << 0.5 << QString(text).toDouble() / 100;
    QTest::newRow("too large is capped") << "99999" << 0.5 << 256.0;
    // A refused entry shows the view's scale again.
    for (const char *text : { "abc", "0", "-5", "" })
        QTest::newRow(qPrintable(QStringLiteral("refused '%1'").arg(text))) << text << 0.5 << 0.5;
}

void FrameworkTest::zoom()
{
    QFETCH(QString, input);
    QFETCH(double, from);
    QFETCH(double, to);
    MdiChild *doc = window->add();
    doc->setTransform(QTransform(from, 0, 0, from, 7, 9));
    window->setZoomText(int(from * 100));
    LVComboBox *box = window->zoomBox;
    if (input == QLatin1String("+") || input == QLatin1String("-")) {
        input == QLatin1String("+") ? window->viewZoomIn() : window->viewZoomOut();
    } else {
        box->setFocus(); // as a user replaces the text: select it all, then type
        QTest::keyClick(box, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClick(box, Qt::Key_Backspace);
        QTest::keyClicks(box, input);
        QTest::keyClick(box, Qt::Key_Return);
    }
    QCOMPARE(QPointF(doc->transform().m11(), doc->transform().m22()), QPointF(to, to));
    window->describeActiveDocument(); // as on coming back to the document
    QCOMPARE(box->currentText(), QStringLiteral("%1 %").arg(int(to * 100 + 1e-9)));
    // A step of the list applies after any zoom; the scroll position stays.
    box->setCurrentIndex(8);
    QCOMPARE(doc->transform(), QTransform(2, 0, 0, 2, 7, 9));
}

// Documents are found by their file, through links too, and listed in the Window menu.
void FrameworkTest::findDocuments()
{
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("p10.png"));
    QVERIFY(ImageFixtures::writeImage(file, QSize(4, 4))
            && QFile::link(file, dir.filePath(QStringLiteral("link.png"))));
    QList<MdiChild *> docs;
    for (int i = 1; i <= 10; ++i)
        docs << window->add(dir.filePath(QStringLiteral("p%1.png").arg(i)));
    QCOMPARE(window->findMdiChild(dir.filePath(QStringLiteral("link.png"))),
             docs.last()->subWindow);
    // A file that does not exist matches nothing, not even documents whose files are gone.
    QCOMPARE(window->findMdiChild(dir.filePath(QStringLiteral("p9.png"))), nullptr);
    window->updateWindowMenu();
    // After the fixed entries, one for each document: nine with accelerators.
    const QList<QAction *> entries = window->windowMenu->actions().mid(9);
    QCOMPARE(entries.at(8)->text() + '|' + entries.at(9)->text(), "&9 p9.png|10 p10.png");
    QVERIFY(entries.at(9)->isChecked() && !entries.at(8)->isChecked());
    entries.at(6)->trigger();
    QCOMPARE(window->activeMdiChild(), docs.at(6));
}

// A single catalogue offers no choice. Closing asks about the modified document: Cancel keeps
// everything, Discard closes and only then stores the language chosen.
void FrameworkTest::closing()
{
    QDir dir(LVMainWindow::translationsPath());
    dir.removeRecursively(); // what a failed run may have left
    QSettings().setValue(QStringLiteral("language"), QStringLiteral("en"));
    for (const QString code : { "en", "ru" }) {
        QVERIFY(dir.mkpath(QStringLiteral("."))
                && QFile::copy(QStringLiteral(VIREON_TEST_CATALOGUES "/work_%1.qm").arg(code),
                               dir.filePath(QStringLiteral("lvbase_%1.qm").arg(code))));
        window = std::make_unique<FrameworkWindow>();
        QCOMPARE(window->languageMenu->isEnabled(), code == QLatin1String("ru"));
    }
    QVERIFY(window->languageMenu->actions().at(0)->isChecked());
    ModalAnswerer::messageBox(QMessageBox::Ok);
    window->languageMenu->actions().at(1)->trigger();
    for (const bool closes : { false, true }) {
        window->add(QStringLiteral("/tmp/clean.png"));
        MdiChild *modified = window->add(QStringLiteral("/tmp/edited.png"));
        modified->undoStack()->push(new QUndoCommand);
        ModalAnswerer *answerer
                = ModalAnswerer::messageBox(closes ? QMessageBox::Discard : QMessageBox::Cancel);
        QCOMPARE(window->close(), closes);
        QVERIFY(answerer->text().startsWith(QLatin1String("'edited.png' has been modified.")));
        QCOMPARE(QSettings().value(QStringLiteral("language")).toString(),
                 QLatin1String(closes ? "ru" : "en"));
        QVERIFY(closes
                || (window->activeMdiChild() == modified && modified->undoStack()->index() == 1));
        modified->undoStack()->clear();
    }
    dir.removeRecursively();
}

VIREON_TEST_MAIN(FrameworkTest)
#include "tst_framework.moc"
