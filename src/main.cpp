#include "app/application.h"
#include "app/commandline.h"
#include "platform/terminationsignals.h"

#include <QTranslator>
#include <array>

int main(int argc, char **argv)
{
    const int early = CommandLine::handle(CommandLine::decide(argc, argv));
    if (early >= 0)
        return early;

    Application app(argc, argv);
    // Hooked before anything else: a request that arrives during start-up waits until
    // the main window exists, then closes it.
    TerminationSignals termination;
    QObject::connect(&termination, &TerminationSignals::terminationRequested, &app,
                     &QApplication::closeAllWindows);
    Application::setIdentity();
    std::array<QTranslator, 4> translators;
    Application::installTranslators(QCoreApplication::applicationDirPath(),
                                    Application::startLanguage(), translators);

    app.createMainWindow();
    termination.start();
    app.takeFileArgument();
    return app.exec();
}
