// QtTestApp.h: the one QApplication of a widget test program (offscreen platform).
#pragma once

#include <QApplication>

namespace testsupport {

inline QApplication& qtApp()
{
    static int argc = 1;
    static char name[] = "wizard-test";
    static char* argv[] = {name, nullptr};
    static QApplication* app = new QApplication(argc, argv);
    return *app;
}

} // namespace testsupport
