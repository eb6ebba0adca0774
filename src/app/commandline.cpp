#include "commandline.h"

#include <QCoreApplication>
#include <cstdio>
#include <cstring>

CommandLine::Action CommandLine::decide(int argc, char **argv)
{
    bool platformGiven = false;
    for (int i = 1; i < argc; ++i) {
        const char *arg = argv[i];
        if (std::strcmp(arg, "--") == 0)
            break;
        if (std::strcmp(arg, "--help") == 0 || std::strcmp(arg, "-h") == 0
            || std::strcmp(arg, "-?") == 0)
            return Action::ShowHelp;
        if (std::strcmp(arg, "--version") == 0 || std::strcmp(arg, "-v") == 0)
            return Action::ShowVersion;
        if (std::strcmp(arg, "-platform") == 0 || std::strcmp(arg, "--platform") == 0)
            platformGiven = true;
    }
    if (platformGiven || !qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")
        || !qEnvironmentVariableIsEmpty("DISPLAY")
        || !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY"))
        return Action::Run;
    return Action::NoDisplay;
}

QString CommandLine::helpText()
{
    return QStringLiteral("Usage: vireon [options] [file]\n"
                          "Vireon: browse folders of images, view, edit and organise them.\n"
                          "\n"
                          "Options:\n"
                          "  -h, --help     Show this help and exit.\n"
                          "  -v, --version  Show the version and exit.\n"
                          "  -platform <name>, -style <name> and the other options of Qt\n"
                          "                 are taken as usual.\n"
                          "\n"
                          "Arguments:\n"
                          "  file           An image to show at start: its folder opens in the\n"
                          "                 folder tree and the image in a document window.\n");
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

int CommandLine::handle(Action action)
{
    switch (action) {
    case Action::ShowHelp:
        std::fputs(helpText().toLocal8Bit().constData(), stdout);
        return 0;
    case Action::ShowVersion:
        std::fputs(versionText().toLocal8Bit().constData(), stdout);
        return 0;
    case Action::NoDisplay:
        std::fputs(noDisplayText().toLocal8Bit().constData(), stderr);
        return 1;
    case Action::Run:
        break;
    }
    return -1;
}
