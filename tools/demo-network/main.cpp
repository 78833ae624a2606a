// demo-network: builds the demo network (OLDPC, OLDXP, NEWPC) in a folder.
// Usage: demo-network DIR [DATA...]; without DATA the installed wizard data (share/kestro beside
// the program's bin folder) or, in the build tree, the repository's data folder and the build's
// laid-out data (build/data) are installed into NEWPC's wizard folder.
#include "tools/demo-network/DemoNetwork.h"

#include <filesystem>
#include <iostream>

namespace fs = std::filesystem;

int main(int argc, char** argv)
{
    if (argc < 2 || std::string(argv[1]) == "-h" || std::string(argv[1]) == "--help") {
        std::cerr << "usage: demo-network DIR [DATA...]\n"
                     "Builds the machines OLDPC (Windows 98), OLDXP (Windows XP, logon "
                  << demo::kXpAdminUser << "/" << demo::kXpAdminPassword
                  << ") and NEWPC (Windows XP, the wizard in " << demo::kWizardFolder << ") in DIR.\n";
        return 2;
    }
    demo::DemoOptions options;
    for (int i = 2; i < argc; ++i)
        options.dataFolders.emplace_back(argv[i]);
    if (options.dataFolders.empty()) {
        // Installed, the wizard's application folder is share/kestro beside bin; in the build
        // tree it is the repository's data folder and build/data.
        std::error_code ec;
        const auto exe = fs::read_symlink("/proc/self/exe", ec);
        const fs::path prefix = ec ? fs::path() : exe.parent_path().parent_path();
        if (!ec && fs::is_directory(prefix / "share" / "kestro", ec)) {
            options.dataFolders.push_back(prefix / "share" / "kestro");
        } else {
            options.dataFolders.emplace_back(KESTRO_SOURCE_DATA);
            if (!prefix.empty())
                options.dataFolders.push_back(prefix / "data");
        }
    }
    std::string error;
    if (!demo::buildDemoNetwork(argv[1], options, error)) {
        std::cerr << "demo-network: " << error << "\n";
        return 1;
    }
    const fs::path net = fs::absolute(argv[1]);
    std::cout << "Built " << (net / demo::kSourcePc98).string() << ", " << (net / demo::kSourcePcXp).string()
              << " and " << (net / demo::kDestinationPc).string() << "\n";
    return 0;
}
