// main.cpp: the Tallymoor program. The windowless scan runs here with Qt Core alone; the window
// program lives in the module tallymoor-window.so beside the program's folder (in
// "../lib/<multiarch>/tallymoor"), loaded only when a window is wanted, so a windowless run does
// not pay for loading the window libraries.
#include <cerrno>
#include <cstdio>
#include <optional>
#include <string>

#include <dlfcn.h>
#include <limits.h>
#include <unistd.h>

#include "foldersize/services/SystemInfo.h"
#include "foldersize/start/ProgramStart.h"

namespace {

// The module's place: ../TALLYMOOR_MODULE_DIR/tallymoor-window.so from the folder of the running
// program.
std::string windowModulePath()
{
    char exe[PATH_MAX];
    const ssize_t n = ::readlink("/proc/self/exe", exe, sizeof exe - 1);
    std::string dir = n > 0 ? std::string(exe, static_cast<std::size_t>(n)) : std::string("./tallymoor");
    dir.erase(dir.rfind('/') + 1);
    return dir + "../" TALLYMOOR_MODULE_DIR "/tallymoor-window.so";
}

int runWindowProgram(int argc, char** argv)
{
    const std::string path = windowModulePath();
    void* module = ::dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    using Entry = int (*)(int, char**);
    auto entry = module ? reinterpret_cast<Entry>(::dlsym(module, "tallymoor_window_main")) : nullptr;
    if (!entry) {
        // The loader's own words name what it missed (a library, a symbol); a missing module is
        // said in German.
        const char* loader = ::dlerror();
        if (::access(path.c_str(), F_OK) != 0)
            std::fprintf(stderr, "tallymoor: das Fensterprogramm '%s' fehlt: %s\n", path.c_str(),
                foldersize::systemErrorText(errno).c_str());
        else
            std::fprintf(stderr, "tallymoor: das Fensterprogramm '%s' kann nicht geladen werden (%s)\n",
                path.c_str(), loader ? loader : "");
        return 1;
    }
    // The module stays loaded until the process ends: its objects may outlive this call.
    return entry(argc, argv);
}

} // namespace

int main(int argc, char** argv)
{
    const foldersize::ProgramArguments args = foldersize::readArguments(argc, argv);
    if (const std::optional<int> answered = foldersize::answerArguments(args))
        return *answered;
    if (args.scanOnly)
        return foldersize::runWindowlessScan(argc, argv, args);
    return runWindowProgram(argc, argv);
}
