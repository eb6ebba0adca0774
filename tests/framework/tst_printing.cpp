#include "document/mdichild.h"
#include "formdocument.h"
#include "framework/lvpagesetupdialog.h"
#include "modalanswerer.h"
#include "testmain.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QProcess>
#include <QProgressDialog>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>

namespace {

// pdfinfo's page count and page size in points, pdfimages' first picture size, and a page
// rendered by pdftoppm at a low resolution.
struct Pdf
{
    explicit Pdf(const QString &path) : path(path)
    {
        const QString info = run(QStringLiteral("pdfinfo"), { path });
        const auto size = QRegularExpression(QStringLiteral("Page size:\\s+([\\d.]+) x ([\\d.]+)"))
                                  .match(info);
        pageSize = QSize(qRound(size.captured(1).toDouble()), qRound(size.captured(2).toDouble()));
        pages = QRegularExpression(QStringLiteral("Pages:\\s+(\\d+)"))
                        .match(info)
                        .captured(1)
                        .toInt();
        const QStringList image
                = run(QStringLiteral("pdfimages"), { QStringLiteral("-list"), path })
                          .split('\n')
                          .value(2)
                          .simplified()
                          .split(' ');
        imageSize = QSize(image.value(3).toInt(), image.value(4).toInt());
    }
    static QString run(const QString &program, const QStringList &arguments)
    {
        QProcess process;
        process.start(program, arguments);
        process.waitForFinished();
        return process.exitCode() == 0 ? QString::fromUtf8(process.readAllStandardOutput())
                                       : QString();
    }
    QImage render(int page) const
    {
        const QString number = QString::number(page);
        run(QStringLiteral("pdftoppm"),
            { QStringLiteral("-f"), number, QStringLiteral("-l"), number, QStringLiteral("-r"),
              QStringLiteral("20"), QStringLiteral("-png"), QStringLiteral("-singlefile"), path,
              path + number });
        return QImage(path + number + QStringLiteral(".png"));
    }

    QString path;
    int pages = 0;
    QSize pageSize;
    QSize imageSize;
};

const QSize a4Portrait(595, 842);

bool near(QRgb a, QColor b)
{
    return qAbs(qRed(a) - b.red()) < 40 && qAbs(qGreen(a) - b.green()) < 40
            && qAbs(qBlue(a) - b.blue()) < 40;
}

QRgb centre(const QImage &page)
{
    return page.pixel(page.width() / 2, page.height() / 2);
}

template <typename Dialog>
Dialog *activeModal()
{
    return qobject_cast<Dialog *>(QApplication::activeModalWidget());
}

// Answers the print dialog as a user printing to a file would; an empty path cancels it.
ModalAnswerer *printToFile(const QString &path)
{
    return ModalAnswerer::until([path] {
        auto *dialog = activeModal<QPrintDialog>();
        auto *printers
                = dialog ? dialog->findChild<QComboBox *>(QStringLiteral("printers")) : nullptr;
        if (!printers)
            return false;
        // Qt lists "Print to File (PDF)" after the system's printers.
        printers->setCurrentIndex(printers->count() - 1);
        dialog->findChild<QLineEdit *>(QStringLiteral("filename"))->setText(path);
        if (path.isEmpty())
            dialog->reject();
        else
            dialog->accept();
        return true;
    });
}

// The page count and orientation the print preview shows.
QPair<int, int> preview(LVMdiChild &doc)
{
    QPair<int, int> shown;
    ModalAnswerer::until([&] {
        auto *dialog = activeModal<QPrintPreviewDialog>();
        if (!dialog)
            return false;
        auto *widget = dialog->findChild<QPrintPreviewWidget *>();
        shown = { widget->pageCount(), widget->orientation() };
        dialog->reject();
        return true;
    });
    doc.printPreview();
    return shown;
}

QImage quarters(const QSize &size)
{
    QImage image(size, QImage::Format_RGB32);
    const int w = size.width() / 2;
    const int h = size.height() / 2;
    QPainter painter(&image);
    painter.fillRect(0, 0, w, h, Qt::red);
    painter.fillRect(w, 0, size.width() - w, h, Qt::green);
    painter.fillRect(0, h, w, size.height() - h, Qt::blue);
    painter.fillRect(w, h, size.width() - w, size.height() - h, Qt::yellow);
    return image;
}

} // namespace

class PrintingTest : public QObject
{
    Q_OBJECT
private slots:
    void init() { QVERIFY(dir.isValid()); }
    void printForm_data();
    void printForm();
    void cancelAfterFirstPage();
    void unwritableFileIsReported();
    void pageSetup_data();
    void pageSetup();
    void printPhoto_data();
    void printPhoto();

private:
    QTemporaryDir dir;
};

void PrintingTest::printForm_data()
{
    QTest::addColumn<int>("from");
    QTest::addColumn<int>("to");
    QTest::addColumn<QList<int>>("scenePages");
    // -1: through the print dialog, whose "all pages" leaves the range at 0 to 0.
    QTest::newRow("dialog, all") << -1 << -1 << QList<int> { 0, 1, 2 };
    QTest::newRow("all, as set up") << 1 << 3 << QList<int> { 0, 1, 2 };
    QTest::newRow("cleared range") << 0 << 0 << QList<int> { 0, 1, 2 };
    QTest::newRow("2 to 3") << 2 << 3 << QList<int> { 1, 2 };
}

void PrintingTest::printForm()
{
    QFETCH(int, from);
    QFETCH(int, to);
    QFETCH(QList<int>, scenePages);
    FormDocument doc;
    const QString path = dir.filePath(QString::fromLatin1(QTest::currentDataTag()) + ".pdf");
    if (from < 0) {
        QCOMPARE(preview(doc), qMakePair(3, int(QPageLayout::Portrait)));
        ModalAnswerer *cancel = printToFile(QString());
        doc.print();
        QVERIFY(cancel->answered());
        QVERIFY(!QFile::exists(path));
        ModalAnswerer *answerer = printToFile(path);
        doc.print();
        QVERIFY(answerer->answered());
    } else {
        QPrinter printer(QPrinter::HighResolution);
        doc.setUpPrinter(printer);
        printer.setOutputFileName(path);
        printer.setFromTo(from, to);
        doc.printDocument(&printer);
    }
    const Pdf pdf(path);
    QCOMPARE(pdf.pages, scenePages.size());
    QCOMPARE(pdf.pageSize, a4Portrait);
    for (int i = 0; i < scenePages.size(); ++i)
        QVERIFY2(near(centre(pdf.render(i + 1)), FormDocument::colours().at(scenePages.at(i))),
                 qPrintable(QStringLiteral("page %1").arg(i + 1)));
}

void PrintingTest::cancelAfterFirstPage()
{
    FormDocument doc;
    QPrinter printer(QPrinter::HighResolution);
    doc.setUpPrinter(printer);
    printer.setOutputFileName(dir.filePath(QStringLiteral("cancelled.pdf")));
    // The user cancels once the first page is done.
    ModalAnswerer *answerer = ModalAnswerer::until([] {
        const auto windows = QApplication::topLevelWidgets();
        for (QWidget *widget : windows) {
            auto *progress = qobject_cast<QProgressDialog *>(widget);
            if (progress && progress->value() == 1
                && progress->windowModality() == Qt::ApplicationModal) {
                progress->findChild<QPushButton *>()->click();
                return true;
            }
        }
        return false;
    });
    doc.printDocument(&printer);
    QVERIFY(answerer->answered());
    // The painter ended normally: poppler reads a whole file, with the first page and the
    // page started for the second.
    const Pdf pdf(printer.outputFileName());
    QCOMPARE(pdf.pages, 2);
    QVERIFY(near(centre(pdf.render(1)), Qt::red));
    QVERIFY(near(centre(pdf.render(2)), Qt::white));
}

void PrintingTest::unwritableFileIsReported()
{
    FormDocument doc;
    QPrinter printer(QPrinter::HighResolution);
    doc.setUpPrinter(printer);
    printer.setOutputFileName(dir.filePath(QStringLiteral("missing/form.pdf")));
    ModalAnswerer *answerer = ModalAnswerer::messageBox(QMessageBox::Ok);
    doc.printDocument(&printer);
    QVERIFY(answerer->answered());
    QVERIFY(answerer->text().contains(printer.outputFileName()));
}

void PrintingTest::pageSetup_data()
{
    QTest::addColumn<bool>("accept");
    QTest::newRow("OK") << true;
    QTest::newRow("Cancel") << false;
}

void PrintingTest::pageSetup()
{
    QFETCH(bool, accept);
    FormDocument doc;
    LVScene *scene = doc.lvScene();
    // Each page its own settings, and stale pending values from an earlier dialog.
    const QList<int> papers { QPrinter::Letter, QPrinter::A4, QPrinter::A5 };
    const QList<int> orientations { QPrinter::Portrait, QPrinter::Portrait, QPrinter::Landscape };
    QList<QRect> rects;
    for (int i = 0; i < 3; ++i) {
        PageItem *page = scene->pages.at(i);
        page->paperSize = papers.at(i);
        page->orientation = orientations.at(i);
        page->newPaperSize = QPrinter::Tabloid;
        page->updatePageRect();
        rects << page->rect;
    }
    scene->layoutPages();

    LVPageSetupDialog dialog(scene);
    const auto combos = dialog.findChildren<QComboBox *>();
    const auto buttons = dialog.findChildren<QRadioButton *>();
    QComboBox *pageCombo = combos.at(0);
    QRadioButton *landscape = buttons.at(1);
    QCOMPARE(pageCombo->itemText(2), QStringLiteral("Page 3"));
    QCOMPARE(combos.at(1)->itemText(QPrinter::Custom), QStringLiteral("Custom"));
    const auto shows = [&](int page, int orientation) {
        pageCombo->setCurrentIndex(page);
        return combos.at(1)->currentIndex() == papers.at(page)
                && buttons.at(orientation)->isChecked()
                && !buttons.at(1 - orientation)->isChecked();
    };
    for (int page : { 0, 2, 1, 0, 2 })
        QVERIFY2(shows(page, orientations.at(page)), qPrintable(QString::number(page)));
    QVERIFY(shows(1, QPrinter::Portrait));
    landscape->click();
    QVERIFY(shows(0, QPrinter::Portrait) && shows(2, QPrinter::Landscape));
    QVERIFY(shows(1, QPrinter::Landscape));

    if (accept)
        dialog.accept();
    else
        dialog.reject();
    QUndoStack *stack = doc.undoStack();
    QCOMPARE(stack->count(), accept ? 1 : 0);
    PageItem *second = scene->pages.at(1);
    QCOMPARE(second->rect, accept ? rects.at(1).transposed() : rects.at(1));
    // The pages hang one below the other at their new sizes.
    QCOMPARE(scene->pages.at(2)->y(), rects.at(0).height() + 20 + second->rect.height() + 20.0);
    stack->undo();
    for (int i = 0; i < 3; ++i) {
        PageItem *page = scene->pages.at(i);
        QCOMPARE(page->paperSize, papers.at(i));
        QCOMPARE(page->orientation, orientations.at(i));
        QCOMPARE(page->rect, rects.at(i));
    }
}

void PrintingTest::printPhoto_data()
{
    QTest::addColumn<QSize>("size");
    QTest::addColumn<bool>("modified");
    QTest::newRow("landscape, unchanged") << QSize(600, 400) << false;
    QTest::newRow("landscape, modified") << QSize(600, 400) << true;
    QTest::newRow("portrait, modified") << QSize(300, 600) << true;
}

void PrintingTest::printPhoto()
{
    QFETCH(QSize, size);
    QFETCH(bool, modified);
    MdiChild doc(nullptr);
    doc.newFile();
    doc.insertImage(quarters(size));
    doc.setImage(quarters(size));
    doc.undoStack()->clear();
    // Zoomed out, as a photo fitted to its window is.
    doc.scale(0.25, 0.25);
    if (modified)
        doc.undoStack()->push(new QUndoCommand);
    const bool wide = size.width() > size.height();
    QCOMPARE(preview(doc),
             qMakePair(1, int(wide ? QPageLayout::Landscape : QPageLayout::Portrait)));

    const QString path = dir.filePath(QString::fromLatin1(QTest::currentDataTag()) + ".pdf");
    ModalAnswerer *answerer = printToFile(path);
    doc.print();
    QVERIFY(answerer->answered());
    QCOMPARE(doc.isWindowModified(), modified);
    QCOMPARE(doc.undoStack()->count(), modified ? 1 : 0);

    const Pdf pdf(path);
    QCOMPARE(pdf.pages, 1);
    QCOMPARE(pdf.pageSize, wide ? a4Portrait.transposed() : a4Portrait);
    // The printer gets the photo's own pixels, not the copy reduced for the screen.
    QCOMPARE(pdf.imageSize, size);
    // Fitted to the page and centred: each quarter shows its colour, near the edges too, and
    // the margin left over is shared equally.
    const QImage page = pdf.render(1);
    const QSizeF fitted = QSizeF(size).scaled(page.size(), Qt::KeepAspectRatio);
    const QPointF corner((page.width() - fitted.width()) / 2,
                         (page.height() - fitted.height()) / 2);
    const QPointF margin = wide ? QPointF(0.5, -0.5 * corner.y() / fitted.height())
                                : QPointF(-0.5 * corner.x() / fitted.width(), 0.5);
    const QList<QPair<QPointF, QColor>> spots {
        { { 0.25, 0.25 }, Qt::red },  { { 0.75, 0.25 }, Qt::green },
        { { 0.25, 0.75 }, Qt::blue }, { { 0.75, 0.75 }, Qt::yellow },
        { { 0.03, 0.03 }, Qt::red },  { { 0.97, 0.97 }, Qt::yellow },
        { margin, Qt::white },        { QPointF(1, 1) - margin, Qt::white },
    };
    for (const auto &spot : spots) {
        const QPointF at = corner
                + QPointF(spot.first.x() * fitted.width(), spot.first.y() * fitted.height());
        QVERIFY2(near(page.pixel(at.toPoint()), spot.second),
                 qPrintable(QStringLiteral("at %1, %2").arg(at.x()).arg(at.y())));
    }
}

VIREON_TEST_MAIN(PrintingTest)
#include "tst_printing.moc"
