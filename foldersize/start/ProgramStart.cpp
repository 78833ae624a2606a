// ProgramStart.cpp: the command line, the program set-up and the windowless scan.
#include "foldersize/start/ProgramStart.h"

#include <cerrno>
#include <cstdio>

#include <sys/stat.h>

#include <QCoreApplication>
#include <QElapsedTimer>

#include "foldersize/scanner/FileSystem.h"
#include "foldersize/scanner/FolderNode.h"
#include "foldersize/scanner/FolderQueue.h"
#include "foldersize/scanner/ScanDriver.h"
#include "foldersize/services/CrashHandler.h"
#include "foldersize/services/ErrorReport.h"
#include "foldersize/services/IniFile.h"
#include "foldersize/services/ProgramGlobals.h"
#include "foldersize/services/ProgramPaths.h"
#include "foldersize/services/SystemInfo.h"

namespace foldersize {
namespace {

constexpr int kVersionMajor = 1;
constexpr int kVersionMinor = 0;
constexpr int kVersionRevision = 0;

void logLine(const QString& line) { ErrorLogSchreiben(line); }

// A name as the scan prints it: control characters (a line break above all) and the backslash
// escaped, so that every output line is one record; other bytes stay as they are.
std::string printable(const std::string& name)
{
    std::string out;
    out.reserve(name.size());
    for (const char c : name) {
        const auto b = static_cast<unsigned char>(c);
        if (c == '\\')
            out += "\\\\";
        else if (c == '\n')
            out += "\\n";
        else if (c == '\r')
            out += "\\r";
        else if (c == '\t')
            out += "\\t";
        else if (b < 0x20 || b == 0x7f) {
            char hex[5];
            std::snprintf(hex, sizeof hex, "\\x%02x", b);
            out += hex;
        } else
            out += c;
    }
    return out;
}

// One measured root as the scan prints it (the bench reads these lines).
void printTotals(const std::string& name, std::uint64_t bytes, std::uint64_t files, const ScanStatistics& s)
{
    std::printf("folder: %s\nbytes: %llu\nfiles: %llu\nfolders: %llu\nfolder-entry-bytes: %llu\n"
                "unreadable: %llu\nskipped-system-folders: %llu\nrepeated-folders: %llu\n",
        printable(name).c_str(), static_cast<unsigned long long>(bytes),
        static_cast<unsigned long long>(files), static_cast<unsigned long long>(s.folders),
        static_cast<unsigned long long>(s.folderEntryBytes),
        static_cast<unsigned long long>(s.unreadableFolders),
        static_cast<unsigned long long>(s.skippedPseudo), static_cast<unsigned long long>(s.repeatedFolders));
}

// A path below a folder argument as du prints it: the argument as typed, then the rest.
std::string below(const std::string& given, const std::string& rest)
{
    if (rest.empty())
        return given;
    return given.back() == '/' ? given + rest : given + "/" + rest;
}

// What could not be read below the argument `given` (measured as rootName): the cases du names,
// in German.
void printProblems(
    const std::string& given, const std::string& rootName, const std::vector<ReadProblem>& problems)
{
    std::fflush(stdout);
    for (const ReadProblem& p : problems) {
        std::string rest =
            p.path.compare(0, rootName.size(), rootName) == 0 ? p.path.substr(rootName.size()) : p.path;
        while (!rest.empty() && rest.back() == '/')
            rest.pop_back();
        const std::string folder = below(given, rest);
        if (p.entry.empty())
            std::fprintf(stderr, "tallymoor: Ordner '%s' kann nicht gelesen werden: %s\n",
                printable(folder).c_str(), systemErrorText(p.error).c_str());
        else
            std::fprintf(stderr, "tallymoor: kein Zugriff auf '%s': %s\n",
                printable(below(folder, p.entry)).c_str(), systemErrorText(p.error).c_str());
    }
}

// Measures one folder with the window's scan driver and prints its totals; false when not all of
// it could be read.
bool scanFolder(const std::string& given, const std::string& f)
{
    FolderNode root(f.back() == '/' ? f : f + "/");
    ScanDriver driver;
    QObject::connect(&driver, &ScanDriver::finished, QCoreApplication::instance(),
        [](bool) { QCoreApplication::exit(0); });
    driver.start(&root);
    QCoreApplication::exec();
    const ScanStatistics& s = driver.statistics();
    printProblems(given, root.name(), s.problems);
    printTotals(f, root.totalBytes, root.totalFiles, s);
    if (s.skippedPseudo > 0)
        std::printf(
            "Hinweis: Systemdateisysteme (z. B. /proc, /sys) wurden übersprungen und nicht gemessen\n");
    return root.readable && s.unreadableFolders == 0;
}

// Measures the folders one after the other and prints the totals. given[i] is the argument as
// typed (for messages), folders[i] the same as an absolute path. As du does, a run that could not
// read everything ends with exit code 1.
int scanAndQuit(const std::vector<std::string>& given, const std::vector<std::string>& folders)
{
    QElapsedTimer clock;
    clock.start();
    int rc = 0;
    for (std::size_t i = 0; i < folders.size(); ++i) {
        const std::string& f = folders[i];
        if (given[i].empty()) {
            // An error as in du; the other arguments are measured all the same.
            std::fflush(stdout);
            std::fprintf(stderr, "tallymoor: ein leerer Name ist kein gültiger Dateiname\n");
            rc = 1;
            continue;
        }
        struct stat st {};
        if (::stat(f.c_str(), &st) != 0) {
            // An error as in du; the other arguments are measured all the same.
            std::fflush(stdout);
            std::fprintf(stderr, "tallymoor: kein Zugriff auf '%s': %s\n", printable(given[i]).c_str(),
                systemErrorText(errno).c_str());
            rc = 1;
            continue;
        }
        if (!S_ISDIR(st.st_mode)) {
            // A file counts with its own size, as du counts it.
            printTotals(f, static_cast<std::uint64_t>(st.st_size < 0 ? 0 : st.st_size), 1, ScanStatistics{});
            continue;
        }
        if (!scanFolder(given[i], f))
            rc = 1;
    }
    // From the first scan's request until the last one's totals, with a hundredth of a millisecond.
    std::printf("milliseconds: %.2f\n", static_cast<double>(clock.nsecsElapsed()) / 1e6);
    std::fflush(stdout);
    return rc;
}

constexpr const char* kUsage =
    "Aufruf: tallymoor [ORDNER]...\n"
    "  oder: tallymoor --scan-and-quit [ORDNER]...\n"
    "Misst die ORDNER mit allem, was darunter liegt, und zeigt ihre Größen im Fenster als Baum\n"
    "und die Dateien eines Ordners als Liste (ohne ORDNER wählt man sie im Fenster).\n"
    "\n"
    "  --scan-and-quit  ohne Fenster messen, die Summen und die Zeit ausgeben und enden\n"
    "                   (ohne ORDNER: den aktuellen Ordner)\n"
    "  --help           diese Hilfe ausgeben und enden\n"
    "  --version        die Version ausgeben und enden\n"
    "  --               alles Weitere sind Ordner, auch was mit \"-\" beginnt\n"
    "\n"
    "Rückgabewert von --scan-and-quit: 0, wenn alles gemessen wurde; 1, wenn ein ORDNER fehlt\n"
    "oder nicht ganz gelesen werden konnte (die Meldungen nennen, was fehlt).\n";

} // namespace

ProgramArguments readArguments(int argc, char** argv)
{
    ProgramArguments a;
    std::vector<std::string> rest;
    bool options = true;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (!options || arg.size() < 2 || arg[0] != '-')
            rest.push_back(arg); // "-" alone is a name, as in du
        else if (arg == "--")
            options = false;
        else if (arg == "--scan-and-quit")
            a.scanOnly = true;
        else if (a.answer == ProgramArguments::Answer::None) {
            // The first of --help, --version and an unknown option answers, as in du.
            a.answer = arg == "--help" ? ProgramArguments::Answer::Help
                : arg == "--version"   ? ProgramArguments::Answer::Version
                                       : ProgramArguments::Answer::BadOption;
            if (a.answer == ProgramArguments::Answer::BadOption)
                a.badOption = arg;
        }
    }
    // The windowless scan reports an empty argument as du does; the window passes it over.
    a.given = a.scanOnly ? rest : FolderQueue::foldersFromArguments(rest);
    if (a.scanOnly && a.given.empty())
        a.given.emplace_back(".");
    a.folders = FolderQueue::absoluteFolders(a.given, xCurrentFolder());
    return a;
}

std::optional<int> answerArguments(const ProgramArguments& args)
{
    switch (args.answer) {
    case ProgramArguments::Answer::None: return std::nullopt;
    case ProgramArguments::Answer::Help: std::fputs(kUsage, stdout); break;
    case ProgramArguments::Answer::Version:
        std::printf("%s %s\n", programName().toUtf8().constData(),
            versionText(kVersionMajor, kVersionMinor, kVersionRevision).toUtf8().constData());
        break;
    case ProgramArguments::Answer::BadOption:
        std::fprintf(stderr, "tallymoor: unbekannte Option '%s'\nMehr dazu: 'tallymoor --help'.\n",
            printable(args.badOption).c_str());
        return 1;
    }
    std::fflush(stdout);
    return 0;
}

// Program values, error log and crash handlers: the same for the window and the windowless scan.
void setUpProgram()
{
    ProgramGlobals& g = globals();
    g.progName = programName();
    g.errorLogPfad = errorLogFolder();
    g.iniDatei = iniFilePath();
    removeUnfinishedWrites(g.iniDatei);
    g.doEventsIntervall = 1500;
    InitMain(kVersionMajor, kVersionMinor, kVersionRevision);
    installFatalSignalHandlers(errorLogFile());
    installTerminateHandler();
    setErrorLogHook(&logLine);
}

int runWindowlessScan(int argc, char** argv, const ProgramArguments& args)
{
    // An application without a display, which neither needs nor contacts one.
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("Tallymoor"));
    setUpProgram();
    return scanAndQuit(args.given, args.folders);
}

} // namespace foldersize
