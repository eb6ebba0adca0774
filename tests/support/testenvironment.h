#pragma once

#include <QTemporaryDir>

// Gives a test process a home, settings, data and cache folders of its own, so that
// nothing a test does touches the real user. Build it before the application object.
class TestEnvironment
{
public:
    TestEnvironment();
    // Sets the program's identity, as start-up does, so settings land in the test home.
    static void setIdentity();
    // Removes every stored setting of the program.
    static void clearSettings();

private:
    QTemporaryDir dir;
};
