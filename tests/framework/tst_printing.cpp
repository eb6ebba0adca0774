#include "document/mdichild.h"
#include "framework/lvpagesetupdialog.h"
#include "framework/lvscene.h"
#include "modalanswerer.h"
#include "scene/pageitem.h"
#include "testmain.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPrintDialog>
#include <QPrinter>
#include <QProgressDialog>
#include <QPushButton>
#include <QRadioButton>
#include <QUndoStack>

namespace {

// Three A4 pages, each with a block of its own colour: a printed page shows its source.
class FormDocument : public LVMdiChild
{
public:
    FormDocument() : LVMdiChild(nullptr)
    {
        setScene(documentScene = new LVScene(this, nullptr));
        newFile();
        addPage();
        addPage();
        for (int i = 0; i < 3; ++i) {
            PageItem *page = documentScene->pages.at(i);
            auto *block = new QGraphicsRectItem(page->rect.adjusted(100, 100, -100, -100), page);
            block->setBrush(QColor(QString("red green blue").split(' ').at(i)));
        }
        undoStack()->clear();
    }
};

QString run(const QString &program, const QStringList &arguments)
{
    QProcess process;
    process.start(program, arguments);
    process.waitForFinished();
    return QString::fromUtf8(process.readAllStandardOutput());
}

bool near(QRgb a, QColor b)
{
    return qAbs(qRed(a) - b.red()) < 40 && qAbs(qGreen(a) - b.green()) < 40
            && qAbs(qBlue(a) - b.blue()) < 40;
}

// Answers the next print dialog as a user printing to a file would; an empty path cancels.
ModalAnswerer *printToFile(const QString &path)
{
    return ModalAnswerer::until([path] {
        auto *dialog = qobject_cast<QPrintDialog *>(QApplication::activeModalWidget());
        if (!dialog)
            return false;
        // Qt lists "Print to File (PDF)" after the system's printers.
        auto *printers = dialog->findChild<QComboBox *>(QStringLiteral("printers"));
        printers->setCurrentIndex(printers->count() - 1);
        dialog->findChild<QLineEdit *>(QStringLiteral("filename"))->setText(path);
        path.isEmpty() ? dialog->reject() : dialog->accept();
        return true;
    });
}

} // namespace

class PrintingTest : public QObject
{
    Q_OBJECT
private slots:
    void print_data();
    void print();
    void pageSetup();

private:
    QTemporaryDir dir;
};

void PrintingTest::print_data()
{
    QTest::addColumn<int>("from");
    QTest::addColumn<int>("to");
    QTest::addColumn<QString>("pages");
    // From -1: by the dialogs (all pages: 0 to 0); pages: the colours printed; none: unwritable.
    QTest::newRow("form, dialog") << -1 << -1 << "red green blue";
    QTest::newRow("form, 2 to 3") << 2 << 3 << "green blue";
    QTest::newRow("form, cancel") << 1 << 3 << "red white";
    QTest::newRow("form, unwritable") << 1 << 3 << QString();
    // A wide photo shown reduced: its own pixels on a landscape page, centred.
    QTest::newRow("photo, dialog") << -1 << -1 << "blue";
}

void PrintingTest::print()
{
    QFETCH(int, from);
    QFETCH(int, to);
    QFETCH(QString, pages);
    const QStringList colours = pages.split(' ');
    const QString tag = QString::fromLatin1(QTest::currentDataTag());
    QString path = dir.filePath(tag + ".pdf");
    const bool photo = tag.startsWith(QLatin1String("photo"));
    QImage image(900, 300, QImage::Format_RGB32);
    image.fill(Qt::blue);
    auto *shown = photo ? new MdiChild(nullptr) : nullptr;
    std::unique_ptr<LVMdiChild> doc(shown ? shown : static_cast<LVMdiChild *>(new FormDocument));
    if (shown) {
        shown->newFile();
        shown->insertImage(image);
        shown->setImage(image);
    }
    if (from < 0) {
        for (const QString &target : { QString(), path }) { // cancelled first
            ModalAnswerer *answerer = printToFile(target);
            doc->print();
            QVERIFY(answerer->answered() && QFile::exists(path) == !target.isEmpty());
        }
    } else {
        QPrinter printer(QPrinter::HighResolution);
        doc->setUpPrinter(printer);
        if (pages.isEmpty())
            path = dir.filePath(QStringLiteral("missing/form.pdf"));
        printer.setOutputFileName(path);
        printer.setFromTo(from, to);
        // The user cancels once the first page is done; a file not written is reported.
        ModalAnswerer *answerer = nullptr;
        if (pages.isEmpty())
            answerer = ModalAnswerer::messageBox(QMessageBox::Ok);
        else if (tag.endsWith(QLatin1String("cancel")))
            answerer = ModalAnswerer::until([&doc] {
                auto *progress = doc->findChild<QProgressDialog *>();
                return progress && progress->value() == 1
                        && (progress->findChild<QPushButton *>()->click(), true);
            });
        doc->printDocument(&printer);
        QVERIFY(!answerer
                || (answerer->answered() && (!pages.isEmpty() || answerer->text().contains(path))));
        if (pages.isEmpty())
            return;
    }

    const QString info = run("pdfinfo", { path }).simplified();
    QVERIFY(info.contains(QStringLiteral("Pages: %1 ").arg(colours.size()))
            && info.contains(photo ? "Page size: 842 x 595 pts (A4)"
                                   : "Page size: 595 x 842 pts (A4)"));
    QVERIFY(!photo || run("pdfimages", { "-list", path }).simplified().contains(" image 900 300 "));
    // Rendered by pdftoppm: white above, the page's colour in the middle (the photo's at the edge).
    run("pdftoppm", { "-r", "20", "-png", path, path });
    for (int i = 0; i < colours.size(); ++i) {
        const QImage page(QStringLiteral("%1-%2.png").arg(path).arg(i + 1));
        QVERIFY(near(page.pixel(page.width() / 2, page.height() / 20), Qt::white)
                && near(page.pixel(page.width() / 2 * !photo, page.height() / 2), colours.at(i)));
    }
}

// The dialog shows each page's own paper, not stale values; OK turns the page as one step.
void PrintingTest::pageSetup()
{
    FormDocument doc;
    PageItem *last = doc.lvScene()->pages.last();
    last->paperSize = QPrinter::A5;
    last->newPaperSize = QPrinter::Tabloid;
    last->updatePageRect();
    const QRect portrait = last->rect;
    LVPageSetupDialog dialog(doc.lvScene());
    const auto combos = dialog.findChildren<QComboBox *>();
    combos.at(0)->setCurrentIndex(2);
    QCOMPARE(combos.at(1)->currentIndex(), int(QPrinter::A5));
    dialog.findChildren<QRadioButton *>().at(1)->click(); // landscape
    dialog.accept();
    QCOMPARE(last->rect, portrait.transposed());
    QCOMPARE(doc.undoStack()->count(), 1);
    doc.undoStack()->undo();
    QCOMPARE(last->rect, portrait);
}

VIREON_TEST_MAIN(PrintingTest)
#include "tst_printing.moc"
