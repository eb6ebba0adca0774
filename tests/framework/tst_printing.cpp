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

// What poppler makes of a PDF: its page count and first page size in points, and a page
// rendered at a low resolution.
struct Pdf
{
    explicit Pdf(const QString &path) : path(path)
    {
        QProcess info;
        info.start(QStringLiteral("pdfinfo"), { path });
        info.waitForFinished();
        const QString text = QString::fromUtf8(info.readAllStandardOutput());
        valid = info.exitCode() == 0;
        pages = QRegularExpression(QStringLiteral("Pages:\\s+(\\d+)"))
                        .match(text)
                        .captured(1)
                        .toInt();
        const auto size = QRegularExpression(QStringLiteral("Page size:\\s+([\\d.]+) x ([\\d.]+)"))
                                  .match(text);
        pageSize = QSize(qRound(size.captured(1).toDouble()), qRound(size.captured(2).toDouble()));
    }
    // The pixel size of the first picture held in the file.
    QSize imageSize() const
    {
        QProcess images;
        images.start(QStringLiteral("pdfimages"), { QStringLiteral("-list"), path });
        images.waitForFinished();
        const QStringList lines = QString::fromUtf8(images.readAllStandardOutput()).split('\n');
        const QStringList fields = lines.value(2).simplified().split(' ');
        return QSize(fields.value(3).toInt(), fields.value(4).toInt());
    }
    QImage render(int page) const
    {
        const QString prefix = path + QStringLiteral("-page");
        QProcess::execute(QStringLiteral("pdftoppm"),
                          { QStringLiteral("-f"), QString::number(page), QStringLiteral("-l"),
                            QString::number(page), QStringLiteral("-r"), QStringLiteral("20"),
                            QStringLiteral("-png"), QStringLiteral("-singlefile"), path, prefix });
        return QImage(prefix + QStringLiteral(".png")).convertToFormat(QImage::Format_RGB32);
    }

    QString path;
    bool valid = false;
    int pages = 0;
    QSize pageSize;
};

const QSize a4Portrait(595, 842);

bool near(QRgb a, QColor b)
{
    return qAbs(qRed(a) - b.red()) < 40 && qAbs(qGreen(a) - b.green()) < 40
            && qAbs(qBlue(a) - b.blue()) < 40;
}

QColor centreColour(const QImage &page)
{
    return page.pixelColor(page.width() / 2, page.height() / 2);
}

// A printer writing the document's pages into a PDF file.
void setUpPdf(LVMdiChild &doc, QPrinter &printer, const QString &path)
{
    doc.setUpPrinter(printer);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(path);
}

// Answers the print dialog as a user printing to a file would.
ModalAnswerer *printToFile(const QString &path)
{
    return ModalAnswerer::until([path] {
        auto *dialog = qobject_cast<QPrintDialog *>(QApplication::activeModalWidget());
        if (!dialog)
            return false;
        auto *printers = dialog->findChild<QComboBox *>(QStringLiteral("printers"));
        auto *file = dialog->findChild<QLineEdit *>(QStringLiteral("filename"));
        if (!printers || !file) {
            dialog->reject();
            return true;
        }
        // Qt lists "Print to File (PDF)" after the system's printers.
        printers->setCurrentIndex(printers->count() - 1);
        file->setText(path);
        dialog->accept();
        return true;
    });
}

// A photo of four coloured quarters.
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
    void init();
    void printRange_data();
    void printRange();
    void cancelAfterFirstPage();
    void pageSetup_data();
    void pageSetup();
    void printPhoto_data();
    void printPhoto();
    void preview_data();
    void preview();

private:
    std::unique_ptr<QTemporaryDir> dir;
};

void PrintingTest::init()
{
    dir = std::make_unique<QTemporaryDir>();
    QVERIFY(dir->isValid());
}

void PrintingTest::printRange_data()
{
    QTest::addColumn<bool>("throughDialog");
    QTest::addColumn<int>("from");
    QTest::addColumn<int>("to");
    QTest::addColumn<QList<int>>("scenePages");
    // The print dialog's "all pages" leaves the range at 0 to 0.
    QTest::newRow("dialog, all") << true << 0 << 0 << QList<int> { 0, 1, 2 };
    QTest::newRow("all, as set up") << false << 1 << 3 << QList<int> { 0, 1, 2 };
    QTest::newRow("cleared range") << false << 0 << 0 << QList<int> { 0, 1, 2 };
    QTest::newRow("2 to 3") << false << 2 << 3 << QList<int> { 1, 2 };
    QTest::newRow("last") << false << 3 << 3 << QList<int> { 2 };
}

void PrintingTest::printRange()
{
    QFETCH(bool, throughDialog);
    QFETCH(int, from);
    QFETCH(int, to);
    QFETCH(QList<int>, scenePages);
    FormDocument doc;
    const QString path = dir->filePath(QStringLiteral("form.pdf"));
    if (throughDialog) {
        ModalAnswerer *answerer = printToFile(path);
        doc.print();
        QVERIFY(answerer->answered());
    } else {
        QPrinter printer(QPrinter::HighResolution);
        setUpPdf(doc, printer, path);
        QCOMPARE(printer.fromPage(), 1);
        QCOMPARE(printer.toPage(), 3);
        printer.setFromTo(from, to);
        doc.printDocument(&printer);
    }
    const Pdf pdf(path);
    QVERIFY(pdf.valid);
    QCOMPARE(pdf.pages, scenePages.size());
    QCOMPARE(pdf.pageSize, a4Portrait);
    for (int i = 0; i < scenePages.size(); ++i) {
        const QImage page = pdf.render(i + 1);
        QVERIFY2(near(centreColour(page).rgb(), FormDocument::colours().at(scenePages.at(i))),
                 qPrintable(QStringLiteral("page %1").arg(i + 1)));
        // The whole page is printed, not a corner of it: the margin outside the block is white.
        QVERIFY(near(page.pixel(page.width() / 2, 2), Qt::white));
        QVERIFY(near(page.pixel(page.width() / 2, page.height() - 3), Qt::white));
    }
    QCOMPARE(doc.undoStack()->count(), 0);
}

void PrintingTest::cancelAfterFirstPage()
{
    FormDocument doc;
    const QString path = dir->filePath(QStringLiteral("cancelled.pdf"));
    QPrinter printer(QPrinter::HighResolution);
    setUpPdf(doc, printer, path);
    // Cancel, as the user would, once the first page is done.
    int valueSeen = -1;
    Qt::WindowModality modality = Qt::NonModal;
    ModalAnswerer *answerer = ModalAnswerer::until([&] {
        const auto windows = QApplication::topLevelWidgets();
        for (QWidget *widget : windows) {
            auto *progress = qobject_cast<QProgressDialog *>(widget);
            if (!progress || progress->value() < 1)
                continue;
            modality = progress->windowModality();
            valueSeen = progress->value();
            progress->findChild<QPushButton *>()->click();
            return true;
        }
        return false;
    });
    doc.printDocument(&printer);
    QVERIFY(answerer->answered());
    QCOMPARE(valueSeen, 1);
    QCOMPARE(modality, Qt::ApplicationModal);
    // The painter ended normally: poppler reads a complete file, with the first page and
    // the page started for the second.
    const Pdf pdf(path);
    QVERIFY(pdf.valid);
    QCOMPARE(pdf.pages, 2);
    QVERIFY(near(centreColour(pdf.render(1)).rgb(), Qt::red));
    QVERIFY(near(centreColour(pdf.render(2)).rgb(), Qt::white));
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
    // Each page its own settings: Letter portrait, A4 portrait, A5 landscape.
    const QList<int> papers { QPrinter::Letter, QPrinter::A4, QPrinter::A5 };
    const QList<int> orientations { QPrinter::Portrait, QPrinter::Portrait, QPrinter::Landscape };
    QList<QRect> rects;
    for (int i = 0; i < 3; ++i) {
        PageItem *page = scene->pages.at(i);
        page->paperSize = papers.at(i);
        page->orientation = orientations.at(i);
        page->newPaperSize = QPrinter::Tabloid; // stale values from an earlier dialog
        page->updatePageRect();
        rects << page->rect;
    }
    scene->layoutPages();
    QVERIFY(rects.at(2).width() > rects.at(2).height());

    LVPageSetupDialog dialog(scene);
    auto *pageCombo = dialog.findChildren<QComboBox *>().value(0);
    auto *paperCombo = dialog.findChildren<QComboBox *>().value(1);
    auto *portrait = dialog.findChild<QRadioButton *>();
    auto *landscape = dialog.findChildren<QRadioButton *>().value(1);
    QVERIFY(pageCombo && paperCombo && landscape);
    QCOMPARE(pageCombo->count(), 3);
    QCOMPARE(pageCombo->itemText(1), QStringLiteral("Page 2"));
    QCOMPARE(paperCombo->count(), 31);
    QCOMPARE(paperCombo->itemText(QPrinter::Tabloid), QStringLiteral("Tabloid"));
    QCOMPARE(paperCombo->itemText(QPrinter::Custom), QStringLiteral("Custom"));

    const auto shows = [&](int page) {
        pageCombo->setCurrentIndex(page);
        return paperCombo->currentIndex() == papers.at(page)
                && landscape->isChecked() == (orientations.at(page) == QPrinter::Landscape)
                && portrait->isChecked() != landscape->isChecked();
    };
    for (int page : { 0, 2, 1, 0, 1 })
        QVERIFY2(shows(page), qPrintable(QStringLiteral("page %1").arg(page + 1)));

    landscape->click();
    QCOMPARE(scene->pages.at(1)->newOrientation, int(QPrinter::Landscape));
    // Other pages keep their own values, and page 2 keeps the choice made for it.
    QVERIFY(shows(0) && shows(2));
    pageCombo->setCurrentIndex(1);
    QVERIFY(landscape->isChecked());
    QCOMPARE(paperCombo->currentIndex(), int(QPrinter::A4));

    if (accept)
        dialog.accept();
    else
        dialog.reject();
    QUndoStack *stack = doc.undoStack();
    QCOMPARE(stack->count(), accept ? 1 : 0);
    PageItem *second = scene->pages.at(1);
    QCOMPARE(second->orientation, accept ? int(QPrinter::Landscape) : int(QPrinter::Portrait));
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
    if (accept) {
        stack->redo();
        QCOMPARE(second->rect, rects.at(1).transposed());
        QCOMPARE(scene->pages.at(2)->rect, rects.at(2));
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
    doc.setCurrentFile(dir->filePath(QStringLiteral("photo.png")));
    doc.newFile();
    doc.insertImage(quarters(size));
    doc.setImage(quarters(size));
    doc.undoStack()->clear();
    // Zoomed out, as a photo fitted to its window is.
    doc.scale(0.25, 0.25);
    if (modified)
        doc.undoStack()->push(new QUndoCommand);
    QCOMPARE(doc.isWindowModified(), modified);

    // A print the user cancels, and one to a file.
    ModalAnswerer *cancel = ModalAnswerer::until([] {
        auto *dialog = qobject_cast<QPrintDialog *>(QApplication::activeModalWidget());
        if (dialog)
            dialog->reject();
        return dialog != nullptr;
    });
    doc.print();
    QVERIFY(cancel->answered());
    const QString path = dir->filePath(QStringLiteral("photo.pdf"));
    QVERIFY(!QFile::exists(path));
    ModalAnswerer *answerer = printToFile(path);
    doc.print();
    QVERIFY(answerer->answered());
    QCOMPARE(doc.isWindowModified(), modified);
    QCOMPARE(doc.undoStack()->count(), modified ? 1 : 0);

    const Pdf pdf(path);
    QVERIFY(pdf.valid);
    QCOMPARE(pdf.pages, 1);
    const bool wide = size.width() > size.height();
    QCOMPARE(pdf.pageSize, wide ? a4Portrait.transposed() : a4Portrait);
    // The printer gets the photo's own pixels, not the copy reduced for the screen.
    QCOMPARE(pdf.imageSize(), size);
    // Fitted to the page and centred: where the picture is, each quarter shows its colour.
    const QImage page = pdf.render(1);
    const QSizeF fitted = QSizeF(size).scaled(page.size(), Qt::KeepAspectRatio);
    const QPointF corner((page.width() - fitted.width()) / 2,
                         (page.height() - fitted.height()) / 2);
    const QList<QPair<QPointF, QColor>> spots {
        { { 0.25, 0.25 }, Qt::red },  { { 0.75, 0.25 }, Qt::green },
        { { 0.25, 0.75 }, Qt::blue }, { { 0.75, 0.75 }, Qt::yellow },
        { { 0.03, 0.03 }, Qt::red },  { { 0.97, 0.97 }, Qt::yellow },
    };
    for (const auto &spot : spots) {
        const QPointF at = corner
                + QPointF(spot.first.x() * fitted.width(), spot.first.y() * fitted.height());
        QVERIFY2(near(page.pixel(at.toPoint()), spot.second),
                 qPrintable(QStringLiteral("at %1, %2").arg(at.x()).arg(at.y())));
    }
    // The margin left over is shared equally on both sides.
    const QPoint before = wide ? QPoint(page.width() / 2, int(corner.y()) / 2)
                               : QPoint(int(corner.x()) / 2, page.height() / 2);
    const QPoint after = wide ? QPoint(page.width() / 2, page.height() - 1 - int(corner.y()) / 2)
                              : QPoint(page.width() - 1 - int(corner.x()) / 2, page.height() / 2);
    QVERIFY(near(page.pixel(before), Qt::white));
    QVERIFY(near(page.pixel(after), Qt::white));
}

void PrintingTest::preview_data()
{
    QTest::addColumn<bool>("photo");
    QTest::addColumn<int>("pages");
    QTest::addColumn<int>("orientation");
    QTest::newRow("form") << false << 3 << int(QPageLayout::Portrait);
    QTest::newRow("landscape photo") << true << 1 << int(QPageLayout::Landscape);
}

void PrintingTest::preview()
{
    QFETCH(bool, photo);
    QFETCH(int, pages);
    QFETCH(int, orientation);
    std::unique_ptr<LVMdiChild> doc;
    if (photo) {
        auto *image = new MdiChild(nullptr);
        doc.reset(image);
        image->newFile();
        image->insertImage(quarters(QSize(400, 200)));
        image->setImage(quarters(QSize(400, 200)));
    } else {
        doc = std::make_unique<FormDocument>();
    }
    int shown = -1;
    int shownOrientation = -1;
    ModalAnswerer *answerer = ModalAnswerer::until([&] {
        auto *dialog = qobject_cast<QPrintPreviewDialog *>(QApplication::activeModalWidget());
        if (!dialog)
            return false;
        auto *widget = dialog->findChild<QPrintPreviewWidget *>();
        shown = widget->pageCount();
        shownOrientation = widget->orientation();
        dialog->reject();
        return true;
    });
    doc->printPreview();
    QVERIFY(answerer->answered());
    QCOMPARE(shown, pages);
    QCOMPARE(shownOrientation, orientation);
}

VIREON_TEST_MAIN(PrintingTest)
#include "tst_printing.moc"
