#include "application.h"

#include "mainwindow.h"

#include <QDebug>
#include <QPixmap>
#include <QSettings>
#include <QSplashScreen>
#include <QTranslator>

Application::Application(int &argc, char **argv) : QApplication(argc, argv)
{
    // The resources live in a static library; register them before the first use.
    Q_INIT_RESOURCE(vireon);
    splash = new QSplashScreen(QPixmap(QStringLiteral(":/images/splash.png")),
                               Qt::WindowStaysOnTopHint);
    splash->show();
}

Application::~Application()
{
    // The window has no parent; it goes before the application it lives in.
    delete window;
    delete splash;
}

void Application::setIdentity()
{
    setOrganizationName(QStringLiteral("Ostrelle"));
    setApplicationName(QStringLiteral("Vireon"));
    setApplicationVersion(QStringLiteral("3.0"));
}

QString Application::startLanguage()
{
    const QString stored = QSettings().value(QStringLiteral("language")).toString();
    return stored.isEmpty() ? LVMainWindow::systemLanguage() : stored;
}

QStringList Application::catalogueStems()
{
    return { QStringLiteral("/translations/qtbase_"),
             QStringLiteral("/translations/qtpropertybrowser_"),
             QStringLiteral("/translations/lvbase_"), QStringLiteral("/translations/Vireon_") };
}

QStringList Application::installTranslators(const QString &baseDir, const QString &language,
                                            std::array<QTranslator, 4> &translators)
{
    static const char *const loadedLines[]
            = { "qtbase loaded", "qtpropertybrowser loaded", "lvbase loaded", "Vireon loaded" };
    const QStringList stems = catalogueStems();
    QStringList loaded;
    for (int i = 0; i < 4; ++i) {
        if (translators[i].load(baseDir + stems.at(i) + language, QString(), QString(),
                                QString())) {
            qDebug() << loadedLines[i];
            loaded << stems.at(i);
        }
        installTranslator(&translators[i]);
    }
    return loaded;
}

void Application::createMainWindow()
{
    window = new MainWindow(true);
    // Shown first: finish() waits for the window to be exposed, up to a second.
    window->show();
    splash->finish(window);
    delete splash;
    splash = nullptr;
    qDebug() << "Application::createMainWindow, shown";
}

void Application::takeFileArgument()
{
    // arguments() decodes as local file names are decoded, and Qt's own options are gone.
    const QStringList args = arguments();
    if (args.size() > 1) {
        file = args.at(1);
        load();
    }
}

void Application::load()
{
    if (window)
        window->selectFile(file);
}
