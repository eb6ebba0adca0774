#include "commandline.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QFile>
#include <cstdio>

namespace {

// QApplication takes these itself; they must not be reported as unknown.
const char *const qtValueOptions[]
        = { "platform", "platformpluginpath", "platformtheme",   "plugin",       "qmljsdebugger",
            "style",    "stylesheet",         "session",         "display",      "name",
            "title",    "geometry",           "qwindowgeometry", "qwindowtitle", "qwindowicon" };
const char *const qtFlagOptions[]
        = { "reverse", "widgetcount", "nograb", "dograb", "sync", "testability" };

struct Parser
{
    QCommandLineParser parser;
    QCommandLineOption help { { QStringLiteral("h"), QStringLiteral("help"),
                                QStringLiteral("?") } };
    QCommandLineOption version { { QStringLiteral("v"), QStringLiteral("version") } };

    Parser()
    {
        // Qt's options are single-dash words ("-platform offscreen").
        parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
        parser.addOption(help);
        parser.addOption(version);
        for (const char *name : qtValueOptions)
            parser.addOption(QCommandLineOption(QString::fromLatin1(name), QString(),
                                                QStringLiteral("value")));
        for (const char *name : qtFlagOptions)
            parser.addOption(QCommandLineOption(QString::fromLatin1(name)));
    }
};

QStringList decodedArguments(int argc, char **argv)
{
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QFile::decodeName(argv[i]);
    return arguments;
}

} // namespace

CommandLine::Action CommandLine::decide(int argc, char **argv)
{
    Parser p;
    if (!p.parser.parse(decodedArguments(argc, argv)))
        return Action::BadOption;
    if (p.parser.isSet(p.help))
        return Action::ShowHelp;
    if (p.parser.isSet(p.version))
        return Action::ShowVersion;
    if (p.parser.isSet(QStringLiteral("platform"))
        || !qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")
        || !qEnvironmentVariableIsEmpty("DISPLAY")
        || !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY"))
        return Action::Run;
    return Action::NoDisplay;
}

QStringList CommandLine::files(const QStringList &arguments)
{
    Parser p;
    p.parser.parse(arguments);
    return p.parser.positionalArguments();
}

QString CommandLine::helpText()
{
    return QStringLiteral("Usage: vireon [options] [files or folder...]\n"
                          "Vireon: browse folders of images, view, edit and organise them.\n"
                          "\n"
                          "Options:\n"
                          "  -h, --help     Show this help and exit.\n"
                          "  -v, --version  Show the version and exit.\n"
                          "  -platform <name>, -style <name> and the other options of Qt\n"
                          "                 are taken as usual.\n"
                          "\n"
                          "Arguments:\n"
                          "  files          Images to show at start, each in a document window;\n"
                          "                 the first one's folder opens in the folder tree.\n"
                          "  folder         A folder to show in the folder tree.\n");
}

QString CommandLine::versionText()
{
    return QStringLiteral("Vireon 3.0\n");
}

QString CommandLine::noDisplayText()
{
    return QStringLiteral(
            "vireon: no display found (DISPLAY and WAYLAND_DISPLAY are not set); "
            "run it in a desktop session, or headless with: xvfb-run vireon [file]\n");
}

QString CommandLine::badOptionText(int argc, char **argv)
{
    Parser p;
    p.parser.parse(decodedArguments(argc, argv));
    return QStringLiteral("vireon: %1\n").arg(p.parser.errorText());
}

int CommandLine::handle(Action action, int argc, char **argv)
{
    switch (action) {
    case Action::ShowHelp:
        std::fputs(helpText().toLocal8Bit().constData(), stdout);
        return 0;
    case Action::ShowVersion:
        std::fputs(versionText().toLocal8Bit().constData(), stdout);
        return 0;
    case Action::BadOption:
        std::fputs((badOptionText(argc, argv) + helpText()).toLocal8Bit().constData(), stderr);
        return 2;
    case Action::NoDisplay:
        std::fputs(noDisplayText().toLocal8Bit().constData(), stderr);
        return 1;
    case Action::Run:
        break;
    }
    return -1;
}
