#include "imagefixtures.h"
#include "testenvironment.h"

#include <QDeadlineTimer>
#include <QImageReader>
#include <QProcess>
#include <QSettings>
#include <QtTest>

namespace {

const QString appId = QStringLiteral("org.ostrelle.Vireon");

} // namespace

// Drives the real vireon executable as a user's shell would, from the build folder and
// installed.
class ExecutableTest : public QObject
{
    Q_OBJECT
private slots:
    void informationOptions_data();
    void informationOptions();
    void withoutDisplay();
    void startsAndClosesCleanly_data();
    void startsAndClosesCleanly();
    void installed();

private:
    static QProcessEnvironment environment(bool display);
    // Reads standard error until it holds ready, then asks the program to quit.
    static QString runUntil(QProcess &process, const QString &ready);
};

QProcessEnvironment ExecutableTest::environment(bool display)
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove(QStringLiteral("DISPLAY"));
    env.remove(QStringLiteral("WAYLAND_DISPLAY"));
    env.remove(QStringLiteral("QT_QPA_PLATFORM"));
    env.remove(QStringLiteral("QT_LOGGING_RULES"));
    env.remove(QStringLiteral("VIREON_DEBUG"));
    if (display)
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    env.insert(QStringLiteral("LC_ALL"), QStringLiteral("C.UTF-8"));
    return env;
}

QString ExecutableTest::runUntil(QProcess &process, const QString &ready)
{
    process.setReadChannel(QProcess::StandardError);
    QString err;
    QDeadlineTimer deadline(120000);
    while (!err.contains(ready) && !deadline.hasExpired() && process.state() == QProcess::Running) {
        process.waitForReadyRead(1000);
        err += QString::fromUtf8(process.readAllStandardError());
    }
    if (!err.contains(ready))
        return err;
    // A termination request closes the window the normal way.
    process.terminate();
    process.waitForFinished(120000);
    return err + QString::fromUtf8(process.readAllStandardError());
}

void ExecutableTest::informationOptions_data()
{
    QTest::addColumn<QString>("option");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("out");
    QTest::addColumn<QString>("err");
    const QString usage = QStringLiteral("Usage: vireon [options]");
    QTest::newRow("--version") << "--version" << 0 << "Vireon 3.0\n" << QString();
    QTest::newRow("-v") << "-v" << 0 << "Vireon 3.0\n" << QString();
    QTest::newRow("--help") << "--help" << 0 << usage << QString();
    QTest::newRow("-h") << "-h" << 0 << usage << QString();
    // Not taken for a file name: one line, then the usage, and status 2.
    QTest::newRow("--bogus") << "--bogus" << 2 << QString()
                             << "vireon: Unknown option 'bogus'.\n" + usage;
    QTest::newRow("-x") << "-x" << 2 << QString() << "vireon: Unknown option 'x'.\n" + usage;
}

void ExecutableTest::informationOptions()
{
    QFETCH(QString, option);
    QFETCH(int, exitCode);
    QFETCH(QString, out);
    QFETCH(QString, err);
    // They work without any display and open no window.
    QProcess process;
    process.setProcessEnvironment(environment(false));
    process.start(QStringLiteral(VIREON_EXECUTABLE), { option, QStringLiteral("/tmp/x.png") });
    QVERIFY(process.waitForFinished(60000));
    QCOMPARE(process.exitStatus(), QProcess::NormalExit);
    QCOMPARE(process.exitCode(), exitCode);
    const QString stdOut = QString::fromUtf8(process.readAllStandardOutput());
    const QString stdErr = QString::fromUtf8(process.readAllStandardError());
    QVERIFY2(out.isEmpty() ? stdOut.isEmpty() : stdOut.startsWith(out), qPrintable(stdOut));
    QVERIFY2(err.isEmpty() ? stdErr.isEmpty() : stdErr.startsWith(err), qPrintable(stdErr));
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
    // Paths are relative to a folder of pictures; "*" leaves the current file unchecked.
    QTest::addColumn<QStringList>("images");
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("logging");
    QTest::addColumn<QString>("ready");
    QTest::addColumn<QString>("folder");
    QTest::addColumn<QString>("current");
    const QString cat = QString::fromUtf8("Фото/кот.jpg");
    const QString before = QString::fromUtf8("Фото/before.jpg");
    QTest::newRow("no file") << QStringList() << QStringList() << "VIREON_DEBUG=1"
                             << "Vireon loaded" << QString() << QString();
    QTest::newRow("non-ascii file, then a second one in a document of its own")
            << QStringList { before, cat } << QStringList { cat, before }
            << "QT_LOGGING_RULES=default.debug=true"
            << "MainWindow::imageLoaded \"%1/" + before + "\"" << QString::fromUtf8("Фото") << cat;
    QTest::newRow("folder") << QStringList { cat } << QStringList { QString::fromUtf8("Фото") }
                            << "VIREON_DEBUG=1"
                            << "Application::load" << QString::fromUtf8("Фото") << "*";
    // Quiet by default: the one line is all that is said.
    QTest::newRow("missing file, nearest folder")
            << QStringList { cat } << QStringList { QString::fromUtf8("Фото/gone/x.jpg") }
            << QString() << "no such file or folder" << QString::fromUtf8("Фото") << "*";
}

void ExecutableTest::startsAndClosesCleanly()
{
    QFETCH(QStringList, images);
    QFETCH(QStringList, arguments);
    QFETCH(QString, logging);
    QFETCH(QString, ready);
    QFETCH(QString, folder);
    QFETCH(QString, current);
    QTemporaryDir home;
    QProcessEnvironment env = environment(true);
    env.insert(QStringLiteral("HOME"), home.path());
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), home.path() + QStringLiteral("/.config"));
    // Thumbnails of the shown folder go to the shared cache.
    env.insert(QStringLiteral("XDG_CACHE_HOME"), home.path() + QStringLiteral("/.cache"));
    if (!logging.isEmpty())
        env.insert(logging.section(QLatin1Char('='), 0, 0), logging.section(QLatin1Char('='), 1));

    QTemporaryDir pictures;
    for (const QString &image : images) {
        QVERIFY(QDir().mkpath(QFileInfo(pictures.filePath(image)).absolutePath()));
        QVERIFY(ImageFixtures::writeImage(pictures.filePath(image), QSize(30, 20)));
    }
    QStringList paths;
    for (const QString &argument : arguments)
        paths << pictures.filePath(argument);

    QProcess process;
    process.setProcessEnvironment(env);
    process.start(QStringLiteral(VIREON_EXECUTABLE), paths);
    QVERIFY(process.waitForStarted());
    const QString err = runUntil(
            process, ready.contains(QLatin1String("%1")) ? ready.arg(pictures.path()) : ready);
    QCOMPARE(process.state(), QProcess::NotRunning);
    QCOMPARE(process.exitStatus(), QProcess::NormalExit);
    QCOMPARE(process.exitCode(), 0);
    QVERIFY2(!err.contains(QStringLiteral("ERROR: ")), qPrintable(err));
    QCOMPARE(err.contains(QStringLiteral("MainWindow::closeEvent")), !logging.isEmpty());
    if (logging.isEmpty())
        QVERIFY2(!err.contains(QStringLiteral(" loaded")), qPrintable(err));
    // Settings were written at close, under the program's identity.
    QSettings written(home.path() + QStringLiteral("/.config/Ostrelle/Vireon.conf"),
                      QSettings::IniFormat);
    QCOMPARE(written.value(QStringLiteral("language")).toString(), QStringLiteral("en"));
    if (current != QLatin1String("*"))
        QCOMPARE(written.value(QStringLiteral("currentFile")).toString(),
                 current.isEmpty() ? QString() : pictures.filePath(current));
    if (!folder.isEmpty())
        QCOMPARE(written.value(QStringLiteral("currentTreeFolder")).toString(),
                 pictures.filePath(folder));
}

void ExecutableTest::installed()
{
    QTemporaryDir destDir;
    QProcess install;
    QProcessEnvironment installEnv = QProcessEnvironment::systemEnvironment();
    installEnv.insert(QStringLiteral("DESTDIR"), destDir.path());
    install.setProcessEnvironment(installEnv);
    install.setProcessChannelMode(QProcess::MergedChannels);
    install.start(QStringLiteral(VIREON_CMAKE),
                  { "--install", VIREON_BUILD_DIR, "--prefix", "/usr" });
    QVERIFY(install.waitForFinished(120000));
    QVERIFY2(install.exitCode() == 0, install.readAll().constData());
    const QString prefix = destDir.path() + QStringLiteral("/usr/");
    const QString entry = prefix + "share/applications/" + appId + ".desktop";
    QStringList expected { "share/icons/hicolor/scalable/apps/" + appId + ".svg" };
    for (int size : { 16, 22, 24, 32, 48, 64, 128, 256 })
        expected << QStringLiteral("share/icons/hicolor/%1x%1/apps/").arg(size) + appId + ".png";
    for (const QString stem : { "qtbase_", "lvbase_", "Vireon_" })
        expected << "share/vireon/translations/" + stem + "en.qm"
                 << "share/vireon/translations/" + stem + "ru.qm";
    for (const QString &file : expected)
        QVERIFY2(QFileInfo(prefix + file).size() > 0, qPrintable(file));

    // The desktop's validators accept the entry and the metainfo without a remark.
    const QList<QStringList> validators { { "desktop-file-validate", entry },
                                          { "appstreamcli", "validate", "--no-net",
                                            prefix + "share/metainfo/" + appId
                                                    + ".metainfo.xml" } };
    for (const QStringList &command : validators) {
        QProcess validator;
        validator.setProcessChannelMode(QProcess::MergedChannels);
        validator.start(command.first(), command.mid(1));
        QVERIFY2(validator.waitForFinished(60000),
                 qPrintable(command.first() + ": run scripts/install-deps"));
        const QString output = QString::fromUtf8(validator.readAll());
        QVERIFY2(validator.exitCode() == 0
                         && !output.contains(
                                 QRegularExpression("^[EW]:", QRegularExpression::MultilineOption)),
                 qPrintable(output));
    }

    // The entry offers what Qt reads here, and nothing else.
    // (QSettings would take the MimeType list's semicolons for comments.)
    QFile file(entry);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QMap<QString, QString> keys;
    for (const QString &line : QString::fromUtf8(file.readAll()).split(QLatin1Char('\n')))
        keys.insert(line.section(QLatin1Char('='), 0, 0), line.section(QLatin1Char('='), 1));
    QCOMPARE(keys.value("Exec"), QStringLiteral("vireon %F"));
    QCOMPARE(keys.value("Icon"), appId);
    const QStringList types = keys.value("MimeType").split(';', Qt::SkipEmptyParts);
    QVERIFY(types.contains(QStringLiteral("image/jpeg"))
            && types.contains(QStringLiteral("image/png")));
    for (const QString &type : types)
        QVERIFY2(type.startsWith("image/")
                         && QImageReader::supportedMimeTypes().contains(type.toLatin1()),
                 qPrintable(type));

    // Started from elsewhere, as a desktop starts it, it finds its Russian catalogues: only
    // they can load under a Russian locale.
    QTemporaryDir elsewhere;
    QProcessEnvironment env = environment(true);
    env.insert(QStringLiteral("HOME"), elsewhere.path());
    env.insert(QStringLiteral("LC_ALL"), QStringLiteral("ru_RU.UTF-8"));
    env.insert(QStringLiteral("VIREON_DEBUG"), QStringLiteral("1"));
    for (const QStringList &arguments : { QStringList { "--version" }, QStringList() }) {
        QProcess process;
        process.setProcessEnvironment(env);
        process.setWorkingDirectory(elsewhere.path());
        process.start(prefix + QStringLiteral("bin/vireon"), arguments);
        QVERIFY(process.waitForStarted());
        if (arguments.isEmpty()) {
            const QString loaded = QStringLiteral("qtbase loaded\nlvbase loaded\nVireon loaded\n");
            const QString err = runUntil(process, loaded);
            QVERIFY2(err.contains(loaded), qPrintable(err));
        } else {
            QVERIFY(process.waitForFinished(60000));
            QCOMPARE(process.readAllStandardOutput(), QByteArray("Vireon 3.0\n"));
        }
        QCOMPARE(process.exitStatus(), QProcess::NormalExit);
        QCOMPARE(process.exitCode(), 0);
    }
}

QTEST_GUILESS_MAIN(ExecutableTest)
#include "tst_executable.moc"
