// main.cpp: the Tallymoor program.
#include "TallymoorMain.h"

int main(int argc, char** argv) { return foldersize::Main(argc, argv); }
