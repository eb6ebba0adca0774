#pragma once

#include <QString>

// What the command line asks for before any window may be made.
class CommandLine
{
public:
    enum class Action { Run, ShowHelp, ShowVersion, NoDisplay };

    // Decides from the raw arguments and the environment; needs no application object.
    static Action decide(int argc, char **argv);
    static QString helpText();
    static QString versionText();
    static QString noDisplayText();
    // Prints what the action asks for; returns the exit code, or -1 for Run.
    static int handle(Action action);
};
