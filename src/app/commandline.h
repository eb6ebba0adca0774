#pragma once

#include <QString>
#include <QStringList>

// What the command line asks for before any window may be made.
class CommandLine
{
public:
    enum class Action { Run, ShowHelp, ShowVersion, BadOption, NoDisplay };

    // Decides from the raw arguments and the environment; needs no application object.
    static Action decide(int argc, char **argv);
    // The files and folders named, in order; Qt's own options are skipped.
    static QStringList files(const QStringList &arguments);
    static QString helpText();
    static QString versionText();
    static QString noDisplayText();
    // The one line printed before the usage for an option nobody knows.
    static QString badOptionText(int argc, char **argv);
    // Prints what the action asks for; returns the exit code, or -1 for Run.
    static int handle(Action action, int argc = 0, char **argv = nullptr);
};
