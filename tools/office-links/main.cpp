// office-links: makes the wizard's Office shortcut sets "lnk.zip" (standard editions) and
// "PRlnk.zip" (premium edition) from our shell-link writer; the build puts them in
// data/Icons/mslinks_9x. The shortcuts point where the demo network's sources hold Office.
// Usage: office-links OUTDIR
#include "platform/ShellLink.h"
#include "tools/demo-network/DemoNetwork.h"

#include <zip.h>

#include <array>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <iostream>
#include <string>

namespace {

struct Shortcut {
    const char* file;    // the shortcut's file name
    const char* program; // the program file in the Office folder
    const char* title;   // its description
};

constexpr std::array<Shortcut, 9> kShortcuts = {{
    {"Microsoft Access.lnk", "MSACCESS.EXE", "Microsoft Access"},
    {"Microsoft Excel.lnk", "EXCEL.EXE", "Microsoft Excel"},
    {"Microsoft Outlook.lnk", "OUTLOOK.EXE", "Microsoft Outlook"},
    {"Microsoft PowerPoint.lnk", "POWERPNT.EXE", "Microsoft PowerPoint"},
    {"Microsoft Project.lnk", "WINPROJ.EXE", "Microsoft Project"},
    {"Microsoft Word.lnk", "WINWORD.EXE", "Microsoft Word"},
    {"Microsoft FrontPage.lnk", "FRONTPG.EXE", "Microsoft FrontPage"},
    {"Microsoft Publisher.lnk", "MSPUB.EXE", "Microsoft Publisher"},
    {"Microsoft Visio.lnk", "VISIO.EXE", "Microsoft Visio"},
}};

// 5 January 2004, 09:00:00 (the DOS time of every entry, so that each build gives the same bytes).
constexpr std::time_t kEntryTime = 1073293200;

bool writeSet(const std::filesystem::path& archive, const std::string& officeFolder)
{
    std::error_code ec;
    std::filesystem::remove(archive, ec);
    int error = 0;
    zip_t* zip = zip_open(archive.c_str(), ZIP_CREATE | ZIP_TRUNCATE, &error);
    if (!zip) {
        std::cerr << "office-links: cannot create " << archive << "\n";
        return false;
    }
    for (const auto& s : kShortcuts) {
        platform::ShellLinkData link;
        link.targetPath = officeFolder + "\\" + s.program;
        link.workingDirectory = officeFolder;
        link.iconLocation = link.targetPath;
        link.description = s.title;
        const std::string bytes = platform::encodeShellLink(link);
        // libzip reads the buffer at zip_close; let it keep its own copy.
        void* copy = std::malloc(bytes.size());
        std::copy(bytes.begin(), bytes.end(), static_cast<char*>(copy));
        zip_source_t* src = zip_source_buffer(zip, copy, bytes.size(), 1);
        const zip_int64_t index = src ? zip_file_add(zip, s.file, src, ZIP_FL_OVERWRITE) : -1;
        if (index < 0) {
            std::cerr << "office-links: cannot add " << s.file << ": " << zip_strerror(zip) << "\n";
            zip_discard(zip);
            return false;
        }
        zip_file_set_mtime(zip, static_cast<zip_uint64_t>(index), kEntryTime, 0);
    }
    if (zip_close(zip) != 0) {
        std::cerr << "office-links: cannot write " << archive << ": " << zip_strerror(zip) << "\n";
        zip_discard(zip);
        return false;
    }
    return true;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::cerr << "usage: office-links OUTDIR\n";
        return 2;
    }
    // libzip turns entry times into DOS times in local time; one zone gives the same bytes
    // wherever the build runs.
    ::setenv("TZ", "UTC0", 1);
    ::tzset();
    const std::filesystem::path out = argv[1];
    std::error_code ec;
    std::filesystem::create_directories(out, ec);
    const std::string drive = "C:";
    return writeSet(out / "lnk.zip", drive + demo::kOfficeFolder2000) &&
            writeSet(out / "PRlnk.zip", drive + demo::kOfficeFolder2003)
        ? 0
        : 1;
}
