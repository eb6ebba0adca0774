#include "testenvironment.h"

#include <QCoreApplication>
#include <QDir>
#include <QSettings>

TestEnvironment::TestEnvironment() : dir(QDir::tempPath() + QStringLiteral("/vireon-test-XXXXXX"))
{
    const QByteArray home = QFile::encodeName(dir.path());
    qputenv("HOME", home);
    qputenv("XDG_CONFIG_HOME", home + "/.config");
    qputenv("XDG_DATA_HOME", home + "/.local/share");
    qputenv("XDG_CACHE_HOME", home + "/.cache");
    qunsetenv("XDG_CONFIG_DIRS");
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QDir(dir.path()).mkpath(QStringLiteral(".config"));
}

void TestEnvironment::setIdentity()
{
    QCoreApplication::setOrganizationName(QStringLiteral("Ostrelle"));
    QCoreApplication::setApplicationName(QStringLiteral("Vireon"));
    QCoreApplication::setApplicationVersion(QStringLiteral("3.0"));
}

void TestEnvironment::clearSettings()
{
    QSettings settings;
    settings.clear();
    settings.sync();
}
