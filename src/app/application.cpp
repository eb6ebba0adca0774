#include "application.h"

#include "browser/treepanel.h"
#include "commandline.h"
#include "mainwindow.h"

#include <QDebug>
#include <QDir>
#include <QFileInfo>
#include <QIcon>
#include <QLoggingCategory>
#include <QPixmap>
#include <QSettings>
#include <QSplashScreen>
#include <QTranslator>
#include <cstdio>

Application::Application(int &argc, char **argv) : QApplication(argc, argv)
{
    // The resources live in a static library; register them before the first use.
    Q_INIT_RESOURCE(vireon);
    QIcon icon;
    for (int size : { 16, 22, 24, 32, 48, 64, 128, 256 })
        icon.addFile(QStringLiteral(":/images/appicon-%1.png").arg(size), QSize(size, size));
    setWindowIcon(icon);
    // Lets the desktop match the windows to the installed entry and its icon.
    setDesktopFileName(QStringLiteral("org.ostrelle.Vireon"));
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

QString Application::translationsFolder()
{
    const QString exeDir = QCoreApplication::applicationDirPath();
    const QStringList candidates {
        exeDir + QStringLiteral("/translations"),
        QDir::cleanPath(exeDir + QLatin1Char('/') + QStringLiteral(VIREON_INSTALLED_TRANSLATIONS))
    };
    for (const QString &folder : candidates) {
        if (!QDir(folder).entryList({ QStringLiteral("*.qm") }, QDir::Files).isEmpty())
            return folder;
    }
    return candidates.first();
}

void Application::configureLogging()
{
    // QT_LOGGING_RULES overrides these rules where it names the same category.
    if (qgetenv("VIREON_DEBUG") != "1")
        QLoggingCategory::setFilterRules(QStringLiteral("default.debug=false"));
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
    connect(window, &MainWindow::loadFinished, this, &Application::openNextFile);
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
    const QStringList files = CommandLine::files(arguments());
    if (files.isEmpty())
        return;
    file = files.first();
    pendingFiles = files.mid(1);
    load();
}

QString Application::nearestFolder(const QString &path)
{
    QString folder = QFileInfo(path).absolutePath();
    while (!QFileInfo(folder).isDir()) {
        const QString parent = QFileInfo(folder).path();
        if (parent == folder)
            break;
        folder = parent;
    }
    return folder;
}

void Application::reportMissing(const QString &path)
{
    std::fputs(tr("vireon: %1: no such file or folder\n").arg(path).toLocal8Bit().constData(),
               stderr);
    std::fflush(stderr);
}

void Application::load()
{
    if (!window)
        return;
    qDebug() << "Application::load" << file;
    const QFileInfo info(file);
    if (info.isDir()) {
        window->folderTree()->setCurrentFolder(info.absoluteFilePath());
    } else if (info.exists()) {
        window->selectFile(file);
    } else {
        reportMissing(file);
        window->folderTree()->setCurrentFolder(nearestFolder(file));
    }
    activateFirst = info.isFile() && !pendingFiles.isEmpty();
    openNextFile();
}

void Application::openNextFile()
{
    // A load whose result or end is still on its way calls this again when it ends.
    if (!window || window->isLoadPending())
        return;
    while (!pendingFiles.isEmpty()) {
        const QFileInfo next(pendingFiles.takeFirst());
        if (next.isFile()) {
            window->loadImage(next.absoluteFilePath(), true);
            if (window->isLoadPending())
                return;
        } else if (!next.exists()) {
            reportMissing(next.filePath());
        }
    }
    // Once all are open, the document of the file the tree shows comes to the front.
    if (activateFirst) {
        activateFirst = false;
        if (window->findMdiChild(file))
            window->openFile(file);
    }
}
