// main.cpp: the Kestro program: the wizard started on the machine WINENV_MACHINE names and run
// until it ends.
#include "wizard/program/StartKestro.h"

#include <exception>
#include <iostream>

int main(int argc, char* argv[])
{
    wizard::KestroOptions options;
    options.argc = argc;
    options.argv = argv;
    try {
        return wizard::startKestro(std::move(options))->run();
    } catch (const std::exception& e) {
        std::cerr << "kestro: " << e.what() << "\n";
        return 3;
    }
}
