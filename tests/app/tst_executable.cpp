#include "imagefixtures.h"

#include <QImageReader>
#include <QtTest>

// The real vireon executable, from the build folder and installed, run as a shell runs it.
class ExecutableTest : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void commandLine_data();
    void commandLine();

private:
    QTemporaryDir destDir;
};

// What the command prints, and a space; empty if it fails.
static QString output(const QString &program, const QStringList &arguments)
{
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(program, arguments);
    const bool ok = process.waitForFinished(120000) && process.exitCode() == 0;
    const QString text = QString::fromUtf8(process.readAll());
    return ok ? text + ' ' : (qWarning() << program << "failed:" << text, QString());
}

void ExecutableTest::initTestCase()
{
    qputenv("DESTDIR", QFile::encodeName(destDir.path()));
    QVERIFY(!output(VIREON_CMAKE, { "--install", VIREON_BUILD_DIR, "--prefix", "/usr" }).isEmpty());
    // The desktop's validator (scripts/install-deps) finds nothing to remark.
    const QString entry = destDir.path() + "/usr/share/applications/org.ostrelle.Vireon.desktop";
    QCOMPARE(output("desktop-file-validate", { entry }), " ");
    // It offers to open the types Qt reads here, and nothing else.
    const QString text = output("cat", { entry });
    const QString types = QRegularExpression("\nMimeType=(.*)\n").match(text).captured(1);
    QVERIFY(text.contains("\nExec=vireon %F\n") && types.contains("image/jpeg;"));
    for (const QString &type : types.split(';', Qt::SkipEmptyParts))
        QVERIFY2(QImageReader::supportedMimeTypes().contains(type.toLatin1()), qPrintable(type));
}

void ExecutableTest::commandLine_data()
{
    // Arguments (in a folder holding Фото/before.jpg and Фото/кот.jpg) and variables; what
    // stdout|stderr match before a window is asked to quit; the folder stored ("-": no window).
    QTest::addColumn<QStringList>("command");
    QTest::addColumn<QString>("pattern");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("folder");
    // Without any display; a bogus option is not taken for a file: one line, then the usage.
    QTest::newRow("version") << QStringList { "-v", "x.jpg" } << "^Vireon 3.0\n\\|$" << 0 << "-";
    QTest::newRow("bogus option")
            << QStringList { "--bogus", "x.jpg" }
            << "^\\|vireon: Unknown option 'bogus'.\nUsage: vireon \\[options\\]" << 2 << "-";
    QTest::newRow("no display") << QStringList() << "^\\|vireon: no display[^\n]*xvfb-run[^\n]*\n$"
                                << 1 << "-";
    // Each file opens in turn, the missing one passed over.
    QTest::newRow("several files, the first one's name not ASCII")
            << QStringList { "Фото/кот.jpg", "gone.jpg", "Фото/before.jpg", "VIREON_DEBUG=1" }
            << "imageLoaded [^\n]*кот.jpg.*gone.jpg: no such file.*imageLoaded [^\n]*before.jpg"
            << 0 << "Фото";
    // Quiet by default: the one line is all that is said.
    QTest::newRow("missing file") << QStringList { "Фото/gone/x.jpg" }
                                  << "vireon: [^\n]*/Фото/gone/x.jpg: no such file or folder\n"
                                  << 0 << "Фото";
    // Installed and started elsewhere, it finds and uses its Russian catalogues.
    QTest::newRow("installed, Russian")
            << QStringList { "gone.jpg", "LC_ALL=ru_RU.UTF-8", "VIREON_DEBUG=1", "INSTALLED=1" }
            << "qtbase loaded\nlvbase loaded\nVireon loaded\n.*gone.jpg: нет такого файла" << 0
            << "";
}

void ExecutableTest::commandLine()
{
    QFETCH(QStringList, command);
    QFETCH(QString, folder);
    QTemporaryDir home, pictures;
    QDir(pictures.path()).mkdir("Фото");
    for (const char *image : { "Фото/before.jpg", "Фото/кот.jpg" })
        QVERIFY(ImageFixtures::writeImage(pictures.filePath(image), QSize(30, 20)));
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const char *name : { "DISPLAY", "WAYLAND_DISPLAY", "QT_LOGGING_RULES", "VIREON_DEBUG",
                              "XDG_CONFIG_HOME", "XDG_CACHE_HOME", "XDG_DATA_HOME" })
        env.remove(name);
    env.insert("QT_QPA_PLATFORM", folder == "-" ? "" : "offscreen");
    env.insert("HOME", home.path());
    env.insert("LC_ALL", "C.UTF-8");
    QStringList arguments;
    for (const QString &item : command) {
        if (item.contains('='))
            env.insert(item.section('=', 0, 0), item.section('=', 1));
        else
            arguments << (item.startsWith('-') ? item : pictures.filePath(item));
    }
    QProcess process;
    process.setProcessEnvironment(env);
    process.setWorkingDirectory(home.path());
    process.start(env.contains("INSTALLED") ? destDir.path() + "/usr/bin/vireon"
                                            : VIREON_EXECUTABLE,
                  arguments);
    QFETCH(QString, pattern);
    const QRegularExpression expected(pattern, QRegularExpression::DotMatchesEverythingOption);
    QString out, err;
    const auto matches = [&] {
        out += QString::fromUtf8(process.readAllStandardOutput());
        err += QString::fromUtf8(process.readAllStandardError());
        return expected.match(out + '|' + err).hasMatch();
    };
    QTRY_VERIFY_WITH_TIMEOUT(matches() || process.state() == QProcess::NotRunning, 60000);
    // A termination request closes the window the normal way; the others end by themselves.
    if (folder != "-")
        process.terminate();
    process.waitForFinished(120000);
    QCOMPARE(process.state(), QProcess::NotRunning);
    QVERIFY2(matches(), qPrintable(out + '|' + err));
    QCOMPARE(process.exitStatus(), QProcess::NormalExit);
    QTEST(process.exitCode(), "exitCode");
    QVERIFY2(!err.contains("ERROR: "), qPrintable(err));
    QCOMPARE(err.contains("MainWindow::closeEvent"), env.contains("VIREON_DEBUG"));
    // Settings are written at close, under the program's identity.
    QSettings stored(home.filePath(".config/Ostrelle/Vireon.conf"), QSettings::IniFormat);
    QCOMPARE(QFileInfo::exists(stored.fileName()), folder != "-");
    QCOMPARE(stored.value("currentTreeFolder", "-").toString(),
             folder == "-" ? folder : QDir::cleanPath(pictures.filePath(folder)));
}

QTEST_GUILESS_MAIN(ExecutableTest)
#include "tst_executable.moc"
