#include "app/application.h"
#include "app/mainwindow.h"
#include "testenvironment.h"

#include <QSettings>
#include <QSplashScreen>
#include <QTemporaryDir>
#include <QTranslator>
#include <QtTest>

namespace {

QStringList debugLines;

void collectDebug(QtMsgType type, const QMessageLogContext &, const QString &message)
{
    if (type == QtDebugMsg)
        debugLines << message;
}

// The name a test file argument carries: not ASCII, as on many users' disks.
const char *const nonAsciiPath = "/tmp/\xD0\xA4\xD0\xBE\xD1\x82\xD0\xBE/\xD0\xBA\xD0\xBE\xD1\x82.jpg";

} // namespace

class ApplicationTest : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void identity();
    void startLanguage_data();
    void startLanguage();
    void catalogues_data();
    void catalogues();
    void startUp();
};

void ApplicationTest::init()
{
    TestEnvironment::clearSettings();
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
}

void ApplicationTest::identity()
{
    QCOMPARE(QCoreApplication::organizationName(), QStringLiteral("Ostrelle"));
    QCOMPARE(QCoreApplication::applicationName(), QStringLiteral("Vireon"));
    QCOMPARE(QCoreApplication::applicationVersion(), QStringLiteral("3.0"));
    // Settings land under that identity, inside the test's private home.
    QSettings settings;
    QVERIFY(settings.fileName().startsWith(QDir::homePath()));
    QVERIFY(settings.fileName().endsWith(QStringLiteral("Ostrelle/Vireon.conf")));
}

void ApplicationTest::startLanguage_data()
{
    QTest::addColumn<QString>("stored");
    QTest::addColumn<int>("locale");
    QTest::addColumn<QString>("expected");
    QTest::newRow("russian system") << QString() << int(QLocale::Russian) << "ru";
    QTest::newRow("german system") << QString() << int(QLocale::German) << "en";
    QTest::newRow("english system") << QString() << int(QLocale::English) << "en";
    QTest::newRow("stored code kept") << "de" << int(QLocale::Russian) << "de";
    QTest::newRow("stored en on russian") << "en" << int(QLocale::Russian) << "en";
}

void ApplicationTest::startLanguage()
{
    QFETCH(QString, stored);
    QFETCH(int, locale);
    QFETCH(QString, expected);
    if (!stored.isEmpty())
        QSettings().setValue(QStringLiteral("language"), stored);
    QLocale::setDefault(QLocale(QLocale::Language(locale)));
    QCOMPARE(Application::startLanguage(), expected);
    // The automatic choice is not written back.
    QCOMPARE(QSettings().contains(QStringLiteral("language")), !stored.isEmpty());
}

void ApplicationTest::catalogues_data()
{
    QTest::addColumn<QString>("language");
    QTest::addColumn<QStringList>("present");
    QTest::addColumn<QStringList>("lines");
    QTest::addColumn<QString>("winner");
    const QStringList all{"qtbase", "qtpropertybrowser", "lvbase", "Vireon"};
    QTest::newRow("all four") << "ru" << all
                              << QStringList{"qtbase loaded", "qtpropertybrowser loaded",
                                             "lvbase loaded", "Vireon loaded"}
                              << "Vireon";
    QTest::newRow("two of four") << "en" << QStringList{"qtbase", "lvbase"}
                                 << QStringList{"qtbase loaded", "lvbase loaded"} << "lvbase";
    QTest::newRow("other language missing") << "de" << QStringList() << QStringList() << "which";
}

void ApplicationTest::catalogues()
{
    QFETCH(QString, language);
    QFETCH(QStringList, present);
    QFETCH(QStringList, lines);
    QFETCH(QString, winner);
    QTemporaryDir dir;
    QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("translations")));
    // Each catalogue translates the same marker with its own name; a catalogue of the
    // wrong language must never be picked up.
    for (const QString &stem : present)
        QVERIFY(QFile::copy(QStringLiteral(VIREON_TEST_CATALOGUES "/marker_%1.qm").arg(stem),
                            dir.filePath(QStringLiteral("translations/%1_%2.qm")
                                                 .arg(stem, language))));
    QVERIFY(QFile::copy(QStringLiteral(VIREON_TEST_CATALOGUES "/marker_Vireon.qm"),
                        dir.filePath(QStringLiteral("translations/Vireon_xx.qm"))));

    debugLines.clear();
    const QtMessageHandler previous = qInstallMessageHandler(collectDebug);
    {
        std::array<QTranslator, 4> translators;
        Application::installTranslators(dir.path(), language, translators);
        qInstallMessageHandler(previous);
        QCOMPARE(debugLines, lines);
        // The catalogue installed last answers first.
        QCOMPARE(QCoreApplication::translate("Marker", "which"), winner);
    }
    // Destroyed translators are removed again.
    QCOMPARE(QCoreApplication::translate("Marker", "which"), QStringLiteral("which"));
}

void ApplicationTest::startUp()
{
    auto *app = qobject_cast<Application *>(qApp);
    QVERIFY(app);
    QSplashScreen *splash = nullptr;
    for (QWidget *widget : QApplication::topLevelWidgets()) {
        if (auto *s = qobject_cast<QSplashScreen *>(widget))
            splash = s;
    }
    QVERIFY(splash);
    QVERIFY(splash->windowFlags() & Qt::WindowStaysOnTopHint);
    QVERIFY(!splash->pixmap().isNull());
    QPointer<QSplashScreen> splashGuard(splash);

    app->createMainWindow();
    QVERIFY(splashGuard.isNull());
    QVERIFY(app->mainWindow());
    QVERIFY(app->mainWindow()->isVisible());
    QCOMPARE(app->mainWindow()->windowTitle(), QStringLiteral("Vireon"));

    // Only the first argument counts, decoded as local file names are.
    debugLines.clear();
    const QtMessageHandler previous = qInstallMessageHandler(collectDebug);
    app->takeFileArgument();
    qInstallMessageHandler(previous);
    QCOMPARE(app->fileName(), QFile::decodeName(nonAsciiPath));
    QCOMPARE(app->fileName(), QString::fromUtf8(nonAsciiPath));
    QCOMPARE(debugLines,
             QStringList{QStringLiteral("MainWindow::selectFile \"%1\"").arg(app->fileName())});

    app->mainWindow()->close();
    QVERIFY(!app->mainWindow()->isVisible());
}

int main(int argc, char **argv)
{
    TestEnvironment environment;
    // The program's arguments: a file with a non-ASCII name, then one that must be ignored.
    QByteArray program = argv[0];
    QByteArray file = nonAsciiPath;
    QByteArray ignored = "/tmp/second.png";
    char *appArgv[] = {program.data(), file.data(), ignored.data(), nullptr};
    int appArgc = 3;
    Application app(appArgc, appArgv);
    Application::setIdentity();
    ApplicationTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_application.moc"
