// zip_bench.cpp: times the zip control reading the directory of an archive of 10,000 entries and
// extracting nine shortcuts, on a temporary machine; run by hand (build/bin/zip_bench), not by
// ctest.
#include "platform/Machine.h"
#include "platform/ShellLink.h"
#include "wizard/zip/AZIP.h"

#include <zip.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

// An archive of `entries` (name, data), deflated, written by libzip to a host file.
void writeArchive(
    const std::filesystem::path& file, const std::vector<std::pair<std::string, std::string>>& entries)
{
    int error = 0;
    zip_t* za = zip_open(file.c_str(), ZIP_CREATE | ZIP_TRUNCATE, &error);
    for (const auto& [name, data] : entries) {
        zip_source_t* src = zip_source_buffer(za, data.data(), data.size(), 0);
        zip_file_add(za, name.c_str(), src, 0);
    }
    zip_close(za);
}

template <typename F> double bestOf(int runs, F&& f)
{
    double best = 1e9;
    for (int i = 0; i < runs; ++i) {
        const auto t0 = std::chrono::steady_clock::now();
        f();
        best = std::min(
            best, std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t0).count());
    }
    return best;
}

} // namespace

int main()
{
    char pattern[] = "/tmp/zip-bench-XXXXXX";
    if (!::mkdtemp(pattern))
        return 1;
    const std::filesystem::path net = pattern;
    platform::Machine machine;
    if (machine.create(net / "benchpc", platform::OsCode::WinXp) != platform::WinError::Success)
        return 1;
    ::setenv(platform::Machine::kEnvironmentVariable, (net / "benchpc").c_str(), 1);
    const auto drive = machine.driveFolder('C');
    std::filesystem::create_directories(drive / "Z");

    std::vector<std::pair<std::string, std::string>> many;
    for (int i = 0; i < 10000; ++i)
        many.emplace_back(
            "folder" + std::to_string(i % 50) + "/file" + std::to_string(i) + ".txt", std::to_string(i));
    writeArchive(drive / "Z" / "many.zip", many);

    std::vector<std::pair<std::string, std::string>> links;
    std::vector<std::string> names;
    for (const char* app :
        {"Access", "Excel", "Outlook", "PowerPoint", "Project", "Word", "FrontPage", "Publisher", "Visio"}) {
        platform::ShellLinkData link;
        link.targetPath = std::string("C:\\Program Files\\Microsoft Office\\Office\\") + app + ".EXE";
        names.push_back(std::string("Microsoft ") + app + ".lnk");
        links.emplace_back(names.back(), platform::encodeShellLink(link));
    }
    writeArchive(drive / "Z" / "lnk.zip", links);

    wizard::AZIP control;
    int entries = 0;
    const double read = bestOf(10, [&] {
        control.setFilename("C:\\Z\\many.zip");
        entries = control.GetEntryNum();
    });
    control.setFilename("C:\\Z\\lnk.zip");
    int extracted = 0;
    const double extract =
        bestOf(10, [&] { extracted = control.Extract(names, 1, false, true, "C:\\Z").count; });
    std::printf("directory of %d entries: %.2f ms (best of 10)\n", entries, read);
    std::printf("extracting %d shortcuts: %.2f ms (best of 10)\n", extracted, extract);
    std::error_code ec;
    std::filesystem::remove_all(net, ec);
    return 0;
}
