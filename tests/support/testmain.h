#pragma once

#include "testenvironment.h"

#include <QApplication>
#include <QtTest>

// Like QTEST_MAIN, with a private home and the program's identity set.
#define VIREON_TEST_MAIN(TestObject)                                                               \
    int main(int argc, char **argv)                                                                \
    {                                                                                              \
        TestEnvironment environment;                                                               \
        QApplication app(argc, argv);                                                              \
        Q_INIT_RESOURCE(vireon);                                                                   \
        app.setAttribute(Qt::AA_Use96Dpi, true);                                                   \
        TestEnvironment::setIdentity();                                                            \
        TestObject test;                                                                           \
        QTEST_SET_MAIN_SOURCE_PATH                                                                 \
        return QTest::qExec(&test, argc, argv);                                                    \
    }
