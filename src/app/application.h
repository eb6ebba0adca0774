#pragma once

#include <QApplication>
#include <QStringList>
#include <array>

class MainWindow;
class QSplashScreen;
class QTranslator;

// The program's application object: splash screen, identity, catalogues and the one main window.
class Application : public QApplication
{
    Q_OBJECT
public:
    Application(int &argc, char **argv);
    ~Application() override;

    // Organisation, name and version: they decide where settings live.
    static void setIdentity();
    // The stored "language", or the system's when none is stored; never written back.
    static QString startLanguage();
    // The catalogues tried for a language, in the order they are installed.
    static QStringList catalogueStems();
    // The folder of catalogues: "translations" beside the executable (a build folder), else
    // the installed share folder relative to it; the first that holds any catalogue.
    static QString translationsFolder();
    // Diagnostic lines of the default category stay off unless VIREON_DEBUG=1 or
    // QT_LOGGING_RULES asks for them; warnings always show.
    static void configureLogging();
    // Loads each catalogue from baseDir + stem + language into the matching translator
    // and installs all of them, loaded or not; returns the stems that loaded.
    static QStringList installTranslators(const QString &baseDir, const QString &language,
                                          std::array<QTranslator, 4> &translators);

    void createMainWindow();
    // Takes the files named on the command line, if any: the first one's folder is shown
    // (a folder itself when one is named) and every file opens in a document of its own.
    void takeFileArgument();
    QString fileName() const { return file; }
    // The folder shown for a path that does not exist: its nearest existing ancestor.
    static QString nearestFolder(const QString &path);
    MainWindow *mainWindow() const { return window; }

public slots:
    void load();

private:
    // Opens the waiting files one after another: each load replaces a running one.
    void openNextFile();
    static void reportMissing(const QString &path);

    QString file;
    QStringList pendingFiles;
    bool activateFirst = false;
    MainWindow *window = nullptr;
    QSplashScreen *splash = nullptr;
};
