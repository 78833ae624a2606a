// TallymoorMain.cpp: start-up of Tallymoor.
#include "foldersize/scanner/TallymoorMain.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include <sys/stat.h>
#include <unistd.h>

#include <QElapsedTimer>
#include <QTimer>

#include "foldersize/scanner/FileSystem.h"
#include "foldersize/scanner/FolderNode.h"
#include "foldersize/scanner/FolderQueue.h"
#include "foldersize/scanner/MainWindow.h"
#include "foldersize/scanner/OutputDialogs.h"
#include "foldersize/scanner/ScanDriver.h"
#include "foldersize/scanner/TallymoorApp.h"
#include "foldersize/services/BrowserSettings.h"
#include "foldersize/services/CrashHandler.h"
#include "foldersize/services/ErrorDialog.h"
#include "foldersize/services/ErrorReport.h"
#include "foldersize/services/ExplorerVerb.h"
#include "foldersize/services/ProgramGlobals.h"
#include "foldersize/services/ProgramPaths.h"
#include "foldersize/services/SingleInstance.h"

namespace foldersize {
namespace {

constexpr int kVersionMajor = 1;
constexpr int kVersionMinor = 0;
constexpr int kVersionRevision = 0;

void logLine(const QString& line) { ErrorLogSchreiben(line); }

// One measured root as the scan prints it (the bench reads these lines).
void printTotals(const std::string& name, std::uint64_t bytes, std::uint64_t files, const ScanStatistics& s)
{
    std::printf("folder: %s\nbytes: %llu\nfiles: %llu\nfolders: %llu\nfolder-entry-bytes: %llu\n"
                "unreadable: %llu\nskipped-system-folders: %llu\n",
        name.c_str(), static_cast<unsigned long long>(bytes), static_cast<unsigned long long>(files),
        static_cast<unsigned long long>(s.folders), static_cast<unsigned long long>(s.folderEntryBytes),
        static_cast<unsigned long long>(s.unreadableFolders),
        static_cast<unsigned long long>(s.skippedPseudo));
}

// Measures the folders one after the other with the window's scan driver and prints the totals.
// given[i] is the argument as typed (for messages), folders[i] the same as an absolute path.
int scanAndQuit(const std::vector<std::string>& given, const std::vector<std::string>& folders)
{
    QElapsedTimer clock;
    clock.start();
    int rc = 0;
    for (std::size_t i = 0; i < folders.size(); ++i) {
        const std::string& f = folders[i];
        struct stat st {};
        if (::stat(f.c_str(), &st) != 0) {
            // As du says it; the other arguments are measured all the same.
            std::fflush(stdout);
            std::fprintf(
                stderr, "tallymoor: cannot access '%s': %s\n", given[i].c_str(), std::strerror(errno));
            rc = std::max(rc, 1);
            continue;
        }
        if (!S_ISDIR(st.st_mode)) {
            // A file counts with its own size, as du counts it.
            printTotals(f, static_cast<std::uint64_t>(st.st_size < 0 ? 0 : st.st_size), 1, ScanStatistics{});
            continue;
        }
        FolderNode root(f.back() == '/' ? f : f + "/");
        ScanDriver driver;
        QObject::connect(&driver, &ScanDriver::finished, QCoreApplication::instance(),
            [](bool) { QCoreApplication::exit(0); });
        driver.start(&root);
        QCoreApplication::exec();
        const ScanStatistics& s = driver.statistics();
        printTotals(f, root.totalBytes, root.totalFiles, s);
        if (s.skippedPseudo > 0)
            std::printf(
                "note: kernel file systems (proc, sysfs and the like) were skipped and not measured\n");
        // As du does: a run that could not read everything ends with a failure code.
        if (!root.readable)
            rc = 2;
        else if (s.unreadableFolders > 0 && rc == 0)
            rc = 1;
    }
    // From the first scan's request until the last one's totals, with a hundredth of a millisecond.
    std::printf("milliseconds: %.2f\n", static_cast<double>(clock.nsecsElapsed()) / 1e6);
    std::fflush(stdout);
    return rc;
}

// Program values, error log and crash handlers: the same for the window and the windowless scan.
void setUpProgram()
{
    ProgramGlobals& g = globals();
    g.progName = programName();
    g.errorLogPfad = errorLogFolder();
    g.iniDatei = iniFilePath();
    g.doEventsIntervall = 1500;
    InitMain(kVersionMajor, kVersionMinor, kVersionRevision);
    installFatalSignalHandlers(errorLogFile());
    installTerminateHandler();
    setErrorLogHook(&logLine);
}

} // namespace

int Main(int argc, char** argv)
{
    // Folder arguments are taken from argv byte for byte (names need not be valid text).
    std::vector<std::string> args;
    bool scanOnly = false;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--scan-and-quit") == 0)
            scanOnly = true;
        else
            args.emplace_back(argv[i]);
    }
    // Relative folders mean the caller's working folder, also when a running copy measures them.
    const std::vector<std::string> given = FolderQueue::foldersFromArguments(args);
    const std::vector<std::string> folders = FolderQueue::absoluteFolders(given, xCurrentFolder());
    if (scanOnly) {
        // No window: an application without a display, which neither needs nor contacts one.
        QCoreApplication app(argc, argv);
        QCoreApplication::setApplicationName(QStringLiteral("Tallymoor"));
        setUpProgram();
        return scanAndQuit(given, folders);
    }
    TallymoorApp app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("Tallymoor"));
    installGermanTranslations(app);
    setUpProgram();
    ProgramGlobals& g = globals();

    setReportPresenter(&ErrorDialog::showReport);
    // The error report prints through the same printer dialog as the tree.
    ErrorDialog::setPrinterChooser(
        [](QWidget* parent, QPrinter& printer) { return outputDialogs().choosePrinter(parent, printer); });
    int step = 10;
    try {
        SettingsStore store(g.iniDatei);
        const BrowserSettings settings = store.load();
        step = 20;
        // First run: register the file managers' entry for folders.
        if (settings.kontextmenu == QLatin1String("99")) {
            store.saveKontextmenu(QStringLiteral("1"));
            KontextmenuRegistrieren(1, QCoreApplication::applicationFilePath());
        }
        step = 30;
        SingleInstance instance;
        const bool first = instance.tryBecomeFirst();
        if (!first && settings.instanz) {
            // Hand the folders to the running copy (none: it comes to the front) and end.
            instance.sendToFirst(folders);
            return 0;
        }
        step = 40;
        MainWindow window(g.iniDatei, folders);
        QObject::connect(&instance, &SingleInstance::foldersReceived, &window,
            [&window](const std::vector<std::string>& f) { window.receiveFolders(f); });
        window.show();
        return QCoreApplication::exec();
    } catch (const std::exception& e) {
        ErrorInfo err;
        err.number = 5;
        err.description = QString::fromLocal8Bit(e.what());
        FehlerAnzeigen(QStringLiteral("Main"), QStringLiteral("modMain"), step, err);
    }
    return 1;
}

} // namespace foldersize
