#include "lvpagesetupdialog.h"

#include "lvscene.h"
#include "scene/pageitem.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPrinter>
#include <QRadioButton>
#include <QVBoxLayout>

LVPageSetupDialog::LVPageSetupDialog(LVScene *scene, QWidget *parent)
    : QDialog(parent), scene(scene)
{
    setWindowTitle(tr("Page Setup"));
    scene->copyPageSettingsToPending();

    auto *group = new QGroupBox(tr("Orientation and paper size"));
    auto *groupLayout = new QVBoxLayout(group);

    auto *pageRow = new QHBoxLayout;
    pageRow->addWidget(new QLabel(tr("Page:")));
    pageCombo = new QComboBox;
    for (int i = 0; i < scene->pages.size(); ++i)
        pageCombo->addItem(QStringLiteral("%1 %2").arg(tr("Page")).arg(i + 1));
    pageRow->addWidget(pageCombo);
    groupLayout->addLayout(pageRow);

    auto *orientationRow = new QHBoxLayout;
    portraitButton = new QRadioButton(tr("Portrait"));
    landscapeButton = new QRadioButton(tr("Landscape"));
    orientationRow->addWidget(portraitButton);
    orientationRow->addWidget(landscapeButton);
    groupLayout->addLayout(orientationRow);

    auto *paperRow = new QHBoxLayout;
    paperRow->addWidget(new QLabel(tr("Paper size:")));
    paperCombo = new QComboBox;
    paperCombo->addItems(paperSizeNames());
    paperRow->addWidget(paperCombo);
    groupLayout->addLayout(paperRow);
    groupLayout->addStretch();

    auto *buttons
            = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, Qt::Vertical);
    connect(buttons, &QDialogButtonBox::accepted, this, &LVPageSetupDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &LVPageSetupDialog::reject);

    auto *layout = new QHBoxLayout(this);
    layout->addWidget(group);
    layout->addWidget(buttons);

    connect(pageCombo, QOverload<int>::of(&QComboBox::currentIndexChanged), this,
            &LVPageSetupDialog::update);
    connect(portraitButton, &QRadioButton::toggled, this, &LVPageSetupDialog::orientationChanged);
    connect(paperCombo, QOverload<int>::of(&QComboBox::currentIndexChanged), this,
            &LVPageSetupDialog::paperSizeChanged);
    update();
}

QStringList LVPageSetupDialog::paperSizeNames()
{
    // Names of the paper, not words: they stay untranslated.
    return { QStringLiteral("A4"),    QStringLiteral("B5"),        QStringLiteral("Letter"),
             QStringLiteral("Legal"), QStringLiteral("Executive"), QStringLiteral("A0"),
             QStringLiteral("A1"),    QStringLiteral("A2"),        QStringLiteral("A3"),
             QStringLiteral("A5"),    QStringLiteral("A6"),        QStringLiteral("A7"),
             QStringLiteral("A8"),    QStringLiteral("A9"),        QStringLiteral("B0"),
             QStringLiteral("B1"),    QStringLiteral("B10"),       QStringLiteral("B2"),
             QStringLiteral("B3"),    QStringLiteral("B4"),        QStringLiteral("B6"),
             QStringLiteral("B7"),    QStringLiteral("B8"),        QStringLiteral("B9"),
             QStringLiteral("C5E"),   QStringLiteral("Comm10E"),   QStringLiteral("DLE"),
             QStringLiteral("Folio"), QStringLiteral("Ledger"),    QStringLiteral("Tabloid"),
             QStringLiteral("Custom") };
}

PageItem *LVPageSetupDialog::currentPage() const
{
    return scene->pages.value(pageCombo->currentIndex());
}

void LVPageSetupDialog::update()
{
    PageItem *page = currentPage();
    if (!page)
        return;
    if (page->newOrientation != QPrinter::Portrait)
        landscapeButton->setChecked(true);
    else
        portraitButton->setChecked(true);
    paperCombo->setCurrentIndex(page->newPaperSize);
}

void LVPageSetupDialog::orientationChanged()
{
    if (PageItem *page = currentPage())
        page->newOrientation
                = portraitButton->isChecked() ? QPrinter::Portrait : QPrinter::Landscape;
}

void LVPageSetupDialog::paperSizeChanged()
{
    if (PageItem *page = currentPage())
        page->newPaperSize = paperCombo->currentIndex();
}

void LVPageSetupDialog::accept()
{
    scene->applyPendingPageSettings();
    QDialog::accept();
}
