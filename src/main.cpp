#include "app/application.h"
#include "app/commandline.h"
#include "framework/lvmainwindow.h"
#include "platform/terminationsignals.h"

#include <QFileInfo>
#include <QTranslator>
#include <array>

int main(int argc, char **argv)
{
    Application::configureLogging();
    const int early = CommandLine::handle(CommandLine::decide(argc, argv), argc, argv);
    if (early >= 0)
        return early;

    Application app(argc, argv);
    // Hooked before anything else: a request that arrives during start-up waits until
    // the main window exists, then closes it.
    TerminationSignals termination;
    QObject::connect(&termination, &TerminationSignals::terminationRequested, &app,
                     &QApplication::closeAllWindows);
    Application::setIdentity();
    // The language menu offers what the folder actually used holds.
    const QString catalogues = Application::translationsFolder();
    LVMainWindow::setTranslationsPath(catalogues);
    std::array<QTranslator, 4> translators;
    Application::installTranslators(QFileInfo(catalogues).absolutePath(),
                                    Application::startLanguage(), translators);

    app.createMainWindow();
    termination.start();
    app.takeFileArgument();
    return app.exec();
}
