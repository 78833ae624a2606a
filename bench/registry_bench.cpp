// registry_bench.cpp: times merging a REGEDIT4 file of 100,000 values into a fresh registry and
// exporting it again; run by hand (build/bin/registry_bench [values]), not by ctest.
#include "platform/RegFile.h"
#include "platform/Registry.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <unistd.h>

using namespace platform;

namespace {

// 100 values per key, a mix of strings, dwords and hex lists long enough to wrap.
std::string makeFile(int values)
{
    std::string text = "REGEDIT4\r\n";
    char buf[256];
    for (int i = 0; i < values; ++i) {
        if (i % 100 == 0) {
            std::snprintf(buf, sizeof buf,
                "\r\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\Bench\\Group%03d\\Key%05d]\r\n", i / 10000, i / 100);
            text += buf;
        }
        switch (i % 4) {
        case 0:
            std::snprintf(
                buf, sizeof buf, "\"Path%d\"=\"C:\\\\Program Files\\\\App %d\\\\bin\\\\app.exe\"\r\n", i, i);
            break;
        case 1:
            std::snprintf(buf, sizeof buf, "\"Count%d\"=dword:%08x\r\n", i, static_cast<unsigned>(i));
            break;
        case 2:
            std::snprintf(buf, sizeof buf,
                "\"Blob%d\"=hex:%02x,01,02,03,04,05,06,07,08,09,0a,0b,0c,0d,0e,0f\r\n", i, i & 0xff);
            break;
        default:
            std::snprintf(buf, sizeof buf,
                "\"Expand%d\"=hex(2):25,53,79,73,74,65,6d,52,6f,6f,74,25,5c,73,79,73,74,65,6d,33,32,5c,\\\r\n"
                "  61,70,70,2e,64,6c,6c,00\r\n",
                i);
            break;
        }
        text += buf;
    }
    text += "\r\n";
    return text;
}

double secondsSince(std::chrono::steady_clock::time_point start)
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

} // namespace

int main(int argc, char** argv)
{
    const int values = argc > 1 ? std::atoi(argv[1]) : 100000;
    std::string folder = (std::filesystem::temp_directory_path() / "registry-bench-XXXXXX").string();
    if (!::mkdtemp(folder.data())) {
        std::fprintf(stderr, "registry_bench: cannot make a temporary folder\n");
        return 1;
    }
    const std::filesystem::path dir = folder;
    const std::filesystem::path in = dir / "in.reg";
    const std::filesystem::path out = dir / "out.reg";
    {
        std::ofstream f(in, std::ios::binary);
        const std::string text = makeFile(values);
        f.write(text.data(), static_cast<std::streamsize>(text.size()));
    }

    Registry registry;
    std::string message;
    if (registry.open(dir / "registry.db", Registry::OpenMode::CreateIfMissing, &message) !=
        WinError::Success) {
        std::fprintf(stderr, "registry_bench: %s\n", message.c_str());
        return 1;
    }
    auto start = std::chrono::steady_clock::now();
    RegFileMergeReport report;
    const WinError merged = mergeRegFile(registry, in, report);
    const double importSeconds = secondsSince(start);
    if (merged != WinError::Success || report.valuesSet != static_cast<std::size_t>(values) ||
        !report.warnings.empty()) {
        std::fprintf(stderr, "registry_bench: merge failed: %s (%zu values, %zu warnings)\n",
            report.message.c_str(), report.valuesSet, report.warnings.size());
        return 1;
    }

    start = std::chrono::steady_clock::now();
    const WinError exported = exportRegFile(
        registry, out, "HKEY_LOCAL_MACHINE\\SOFTWARE\\Bench", RegFileFormat::Regedit4, &message);
    const double exportSeconds = secondsSince(start);
    if (exported != WinError::Success) {
        std::fprintf(stderr, "registry_bench: export failed: %s\n", message.c_str());
        return 1;
    }
    // The export holds one extra section for the Bench key itself and one per group key.
    std::printf("values: %d\nimport: %.3f s\nexport: %.3f s\nexport size: %ju bytes\n", values, importSeconds,
        exportSeconds, static_cast<std::uintmax_t>(std::filesystem::file_size(out)));
    registry.close();
    std::error_code ec;
    std::filesystem::remove_all(dir, ec);
    return 0;
}
