// main.cpp: the Kestro program: the Qt application, the machine it runs on and the start-up.
#include "platform/RunningMachine.h"
#include "wizard/program/KestroApp.h"
#include "wizard/program/KestroProgram.h"

#include <QApplication>

#include <exception>
#include <iostream>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    wizard::setUpProgramApplication();

    // The wizard runs on the machine WINENV_MACHINE names. Without a screen (the offscreen and
    // minimal platforms) nobody could answer a box: the reason goes to standard error alone.
    const QString screen = QGuiApplication::platformName();
    if (!wizard::openStartMachine(screen != "offscreen" && screen != "minimal"))
        return 2;

    try {
        wizard::KestroProgram program;
        wizard::KestroApp kestro(wizard::programStartOptions());
        return kestro.run(app);
    } catch (const std::exception& e) {
        std::cerr << "kestro: " << e.what() << "\n";
        return 3;
    }
}
