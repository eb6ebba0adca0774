#include "imagefixtures.h"
#include "testenvironment.h"

#include <QDeadlineTimer>
#include <QProcess>
#include <QSettings>
#include <QtTest>

// Drives the real vireon executable as a user's shell would.
class ExecutableTest : public QObject
{
    Q_OBJECT
private slots:
    void informationOptions_data();
    void informationOptions();
    void withoutDisplay();
    void startsAndClosesCleanly_data();
    void startsAndClosesCleanly();

private:
    static QProcessEnvironment environment(bool display);
};

QProcessEnvironment ExecutableTest::environment(bool display)
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove(QStringLiteral("DISPLAY"));
    env.remove(QStringLiteral("WAYLAND_DISPLAY"));
    env.remove(QStringLiteral("QT_QPA_PLATFORM"));
    if (display)
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    env.insert(QStringLiteral("LC_ALL"), QStringLiteral("C.UTF-8"));
    return env;
}

void ExecutableTest::informationOptions_data()
{
    QTest::addColumn<QString>("option");
    QTest::addColumn<QString>("expected");
    QTest::newRow("--version") << "--version"
                               << "Vireon 3.0\n";
    QTest::newRow("-v") << "-v"
                        << "Vireon 3.0\n";
    QTest::newRow("--help") << "--help"
                            << "Usage: vireon [options] [file]";
    QTest::newRow("-h") << "-h"
                        << "Usage: vireon [options] [file]";
}

void ExecutableTest::informationOptions()
{
    QFETCH(QString, option);
    QFETCH(QString, expected);
    // They work without any display and open no window.
    QProcess process;
    process.setProcessEnvironment(environment(false));
    process.start(QStringLiteral(VIREON_EXECUTABLE), { option, QStringLiteral("/tmp/x.png") });
    QVERIFY(process.waitForFinished(60000));
    QCOMPARE(process.exitStatus(), QProcess::NormalExit);
    QCOMPARE(process.exitCode(), 0);
    QVERIFY2(QString::fromUtf8(process.readAllStandardOutput()).startsWith(expected),
             qPrintable(expected));
    QCOMPARE(process.readAllStandardError(), QByteArray());
}

void ExecutableTest::withoutDisplay()
{
    QProcess process;
    process.setProcessEnvironment(environment(false));
    process.start(QStringLiteral(VIREON_EXECUTABLE), QStringList());
    QVERIFY(process.waitForFinished(60000));
    QCOMPARE(process.exitStatus(), QProcess::NormalExit);
    QCOMPARE(process.exitCode(), 1);
    const QString err = QString::fromUtf8(process.readAllStandardError());
    QCOMPARE(err.count(QLatin1Char('\n')), 1);
    QVERIFY2(err.contains(QStringLiteral("no display")), qPrintable(err));
    QVERIFY2(err.contains(QStringLiteral("xvfb-run")), qPrintable(err));
}

void ExecutableTest::startsAndClosesCleanly_data()
{
    QTest::addColumn<QString>("file");
    QTest::newRow("no file") << QString();
    QTest::newRow("non-ascii file, extra argument ignored") << QString::fromUtf8("Фото/кот.jpg");
}

void ExecutableTest::startsAndClosesCleanly()
{
    QFETCH(QString, file);
    QTemporaryDir home;
    QProcessEnvironment env = environment(true);
    env.insert(QStringLiteral("HOME"), home.path());
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), home.path() + QStringLiteral("/.config"));
    // Thumbnails of the shown folder go to the shared cache.
    env.insert(QStringLiteral("XDG_CACHE_HOME"), home.path() + QStringLiteral("/.cache"));

    // A folder of two images; the second one is named on the command line.
    QTemporaryDir pictures;
    QStringList arguments;
    QString shown;
    if (!file.isEmpty()) {
        shown = pictures.filePath(file);
        const QString folder = QFileInfo(shown).absolutePath();
        QVERIFY(QDir().mkpath(folder));
        QVERIFY(ImageFixtures::writeImage(folder + QStringLiteral("/before.jpg"), QSize(20, 10)));
        QVERIFY(ImageFixtures::writeImage(shown, QSize(30, 20)));
        arguments << shown << folder + QStringLiteral("/before.jpg");
    }

    QProcess process;
    process.setProcessEnvironment(env);
    process.start(QStringLiteral(VIREON_EXECUTABLE), arguments);
    QVERIFY(process.waitForStarted());
    process.setReadChannel(QProcess::StandardError);

    // Once the main window has been handed the start-up file, a termination request
    // follows; what the window showed is then read back from the settings it wrote.
    const QString ready = shown.isEmpty()
            ? QStringLiteral("Vireon loaded")
            : QStringLiteral("MainWindow::selectFile \"%1\"").arg(shown);
    QString err;
    QDeadlineTimer deadline(120000);
    while (!err.contains(ready) && !deadline.hasExpired() && process.state() == QProcess::Running) {
        process.waitForReadyRead(1000);
        err += QString::fromUtf8(process.readAllStandardError());
    }
    QVERIFY2(err.contains(ready), qPrintable(err));

    // A termination request closes the window the normal way.
    process.terminate();
    QVERIFY(process.waitForFinished(120000));
    err += QString::fromUtf8(process.readAllStandardError());
    QCOMPARE(process.exitStatus(), QProcess::NormalExit);
    QCOMPARE(process.exitCode(), 0);
    QVERIFY2(err.contains(QStringLiteral("MainWindow::closeEvent")), qPrintable(err));
    QVERIFY2(!err.contains(QStringLiteral("ERROR: ")), qPrintable(err));
    // Settings were written at close, under the program's identity.
    QSettings written(home.path() + QStringLiteral("/.config/Ostrelle/Vireon.conf"),
                      QSettings::IniFormat);
    QCOMPARE(written.value(QStringLiteral("language")).toString(), QStringLiteral("en"));
    // The file's folder was shown, with the file as the current thumbnail.
    QCOMPARE(written.value(QStringLiteral("currentFile")).toString(), shown);
    if (!shown.isEmpty())
        QCOMPARE(written.value(QStringLiteral("currentTreeFolder")).toString(),
                 QFileInfo(shown).absolutePath());
}

QTEST_GUILESS_MAIN(ExecutableTest)
#include "tst_executable.moc"
