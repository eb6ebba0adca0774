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
    // Loads each catalogue from baseDir + stem + language into the matching translator
    // and installs all of them, loaded or not; returns the stems that loaded.
    static QStringList installTranslators(const QString &baseDir, const QString &language,
                                          std::array<QTranslator, 4> &translators);

    void createMainWindow();
    // Takes the file named on the command line, if any, and shows it.
    void takeFileArgument();
    QString fileName() const { return file; }
    MainWindow *mainWindow() const { return window; }

public slots:
    void load();

private:
    QString file;
    MainWindow *window = nullptr;
    QSplashScreen *splash = nullptr;
};
