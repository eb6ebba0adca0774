#include "app/application.h"
#include "app/imageloader.h"
#include "app/mainwindow.h"
#include "browser/thumbnaillistmodel.h"
#include "browser/thumbnaillistview.h"
#include "browser/thumbnailmaker.h"
#include "browser/thumbnailpanel.h"
#include "browser/treepanel.h"
#include "document/mdichild.h"
#include "imagefixtures.h"
#include "testenvironment.h"

#include <QFileSystemModel>
#include <QImageWriter>
#include <QPainter>
#include <QSettings>
#include <QSplashScreen>
#include <QTemporaryDir>
#include <QTranslator>
#include <QTreeView>
#include <QtTest>

namespace {

QStringList debugLines;

void collectDebug(QtMsgType type, const QMessageLogContext &, const QString &message)
{
    if (type == QtDebugMsg)
        debugLines << message;
}

// Where the file named on the command line lives; its name is not ASCII, as on many
// users' disks. Made by main, filled by the test.
QString argumentFolder;
const char *const nonAsciiName = "/\xD0\xA4\xD0\xBE\xD1\x82\xD0\xBE/\xD0\xBA\xD0\xBE\xD1\x82.jpg";

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
    void shippedCatalogues_data();
    void shippedCatalogues();
    void modernFormats_data();
    void modernFormats();
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
    const QStringList all { "qtbase", "qtpropertybrowser", "lvbase", "Vireon" };
    QTest::newRow("all four") << "ru" << all
                              << QStringList { "qtbase loaded", "qtpropertybrowser loaded",
                                               "lvbase loaded", "Vireon loaded" }
                              << "Vireon";
    QTest::newRow("two of four") << "en" << QStringList { "qtbase", "lvbase" }
                                 << QStringList { "qtbase loaded", "lvbase loaded" } << "lvbase";
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
        QVERIFY(QFile::copy(
                QStringLiteral(VIREON_TEST_CATALOGUES "/marker_%1.qm").arg(stem),
                dir.filePath(QStringLiteral("translations/%1_%2.qm").arg(stem, language))));
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

void ApplicationTest::shippedCatalogues_data()
{
    QTest::addColumn<QString>("code");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("saveText");
    QTest::newRow("en") << "en"
                        << "English"
                        << "&Save";
    QTest::newRow("ru") << "ru"
                        << "Русский"
                        << "&Сохранить";
}

void ApplicationTest::shippedCatalogues()
{
    QFETCH(QString, code);
    QFETCH(QString, name);
    QFETCH(QString, saveText);
    // The build puts the catalogues, Qt's own among them, where the program looks.
    const QString dir = QStringLiteral(VIREON_TRANSLATIONS_DIR);
    for (const char *stem : { "qtbase_", "lvbase_", "Vireon_" })
        QVERIFY2(QFile::exists(dir + "/" + stem + code + ".qm"), stem);
    QTranslator lvbase;
    QVERIFY(lvbase.load(QStringLiteral("lvbase_") + code, dir));
    QCOMPARE(lvbase.translate("LVMainWindow", "WorkLanguage"), name);
    QCOMPARE(lvbase.translate("LVMainWindow", "&Save"), code == "en" ? QString() : saveText);

    // Every text of the program has its Russian translation.
    if (code == QLatin1String("ru")) {
        for (const char *source : { "lvbase_ru.ts", "Vireon_ru.ts" }) {
            QFile file(QStringLiteral(VIREON_SOURCE_DIR "/translations/") + QLatin1String(source));
            QVERIFY(file.open(QIODevice::ReadOnly));
            const QByteArray text = file.readAll();
            QVERIFY2(!text.contains("type=\"unfinished\""), source);
            QVERIFY(text.contains("<message>"));
        }
    }
}

void ApplicationTest::modernFormats_data()
{
    QTest::addColumn<QByteArray>("format");
    for (const char *format : { "webp", "tiff", "avif", "heif", "jxl" })
        QTest::newRow(format) << QByteArray(format);
}

void ApplicationTest::modernFormats()
{
    QFETCH(QByteArray, format);
    if (!QImageWriter::supportedImageFormats().contains(format))
        QSKIP(qPrintable(QStringLiteral("Qt has no %1 plugin here (Debian's "
                                        "qt5-image-formats-plugins, kimageformat-plugins)")
                                 .arg(QString::fromLatin1(format))));
    // Four flat quarters: every codec keeps their colours close.
    QImage image(64, 48, QImage::Format_RGB32);
    image.fill(Qt::red);
    QPainter(&image).fillRect(32, 0, 32, 48, Qt::blue);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("picture.") + QString::fromLatin1(format));
    QImageWriter writer(path, format);
    writer.setQuality(100);
    QVERIFY2(writer.write(image), qPrintable(writer.errorString()));

    const ImageInfo loaded = loadImageFile(LoadInfo { path, true });
    QCOMPARE(loaded.image.size(), image.size());
    const QColor left = loaded.image.pixelColor(8, 24);
    const QColor right = loaded.image.pixelColor(56, 24);
    QVERIFY2(left.red() > 200 && left.blue() < 60, qPrintable(left.name()));
    QVERIFY2(right.blue() > 200 && right.red() < 60, qPrintable(right.name()));
    const ThumbnailInfo thumbnail = ThumbnailMaker::make(path);
    QCOMPARE(thumbnail.imageSize, image.size());
    QVERIFY(!thumbnail.image.isNull());

    // The folder lists it, Open offers it, and Save As keeps the format.
    ThumbnailListModel model;
    model.setFolder(dir.path());
    QCOMPARE(model.count(), 1);
    QVERIFY(MdiChild::imageFilter().contains(QStringLiteral("*.") + QString::fromLatin1(format)));
    QCOMPARE(MdiChild::writerFormat(path), format);
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

    // The first argument's folder is shown and the file is the current thumbnail; each
    // file opens in a document of its own, the first one's in front. Names are decoded
    // as local file names are.
    const QString file = argumentFolder + QString::fromUtf8(nonAsciiName);
    const QString folder = QFileInfo(file).absolutePath();
    const QString second = argumentFolder + QStringLiteral("/second.png");
    QVERIFY(QDir().mkpath(folder));
    QVERIFY(ImageFixtures::writeImage(folder + QStringLiteral("/before.jpg"), QSize(20, 10)));
    QVERIFY(ImageFixtures::writeImage(file, QSize(30, 20)));
    QVERIFY(ImageFixtures::writeImage(second, QSize(40, 30)));
    app->takeFileArgument();
    QCOMPARE(app->fileName(), file);
    MainWindow *window = app->mainWindow();
    TreePanel *tree = window->folderTree();
    QCOMPARE(tree->model()->filePath(tree->view()->currentIndex()), folder);
    QCOMPARE(window->thumbnails()->currentFolder(), folder);
    QCOMPARE(window->thumbnails()->view()->currentIndex().data(ThumbnailListModel::FilePathRole),
             QVariant(file));
    QTRY_VERIFY(window->findMdiChild(file) && window->findMdiChild(second)
                && !window->isLoadPending());
    QCOMPARE(window->activeDocument()->currentFilePath(), file);
    QCOMPARE(window->findMdiChild(QStringLiteral("/tmp/missing.png")), nullptr);

    app->mainWindow()->close();
    QVERIFY(!app->mainWindow()->isVisible());
}

int main(int argc, char **argv)
{
    TestEnvironment environment;
    QTemporaryDir folder;
    argumentFolder = folder.path();
    // The program's arguments: a file with a non-ASCII name, one that does not exist and
    // a second image.
    QByteArray program = argv[0];
    QByteArray file = QFile::encodeName(argumentFolder) + nonAsciiName;
    QByteArray missing = "/tmp/missing.png";
    QByteArray second = QFile::encodeName(argumentFolder) + "/second.png";
    char *appArgv[] = { program.data(), file.data(), missing.data(), second.data(), nullptr };
    int appArgc = 4;
    Application app(appArgc, appArgv);
    Application::setIdentity();
    ApplicationTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_application.moc"
