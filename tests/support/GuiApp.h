#pragma once
// One QGuiApplication for a test program that draws pictures but opens no
// widgets; never destroyed, since Qt objects of later tests may outlive any
// one test.

#include <QGuiApplication>

namespace skyloom::test {

inline void ensureQGuiApplication() {
    static int argc = 1;
    static char arg0[] = "skyloom-test";
    static char* argv[] = {arg0, nullptr};
    if (!QGuiApplication::instance())
        new QGuiApplication(argc, argv);
}

} // namespace skyloom::test
