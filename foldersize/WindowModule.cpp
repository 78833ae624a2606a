// WindowModule.cpp: the entry of the window program module (tallymoor-window.so), which the
// Tallymoor program loads when a window is wanted.
#include "foldersize/program/TallymoorMain.h"

extern "C" __attribute__((visibility("default"))) int tallymoor_window_main(int argc, char** argv)
{
    return foldersize::Main(argc, argv);
}
