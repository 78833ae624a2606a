// main.cpp: the Tallymoor program.
#include "foldersize/scanner/TallymoorMain.h"

int main(int argc, char** argv) { return foldersize::Main(argc, argv); }
