// Opens a three-page form in the page-setup dialog and then in the print preview, for
// looking at both by hand: formpreview [--no-setup]
#include "formdocument.h"
#include "framework/lvpagesetupdialog.h"

#include <QApplication>

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    FormDocument doc;
    doc.resize(600, 700);
    doc.show();
    if (!app.arguments().contains(QStringLiteral("--no-setup"))) {
        LVPageSetupDialog setup(doc.lvScene());
        setup.exec();
    }
    doc.printPreview();
    return 0;
}
