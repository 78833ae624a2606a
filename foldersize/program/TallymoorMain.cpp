// TallymoorMain.cpp: start-up of Tallymoor's window.
#include "foldersize/program/TallymoorMain.h"

#include <QFile>
#include <QGuiApplication>
#include <QScreen>

#include "foldersize/program/TallymoorApp.h"
#include "foldersize/services/BrowserSettings.h"
#include "foldersize/services/ErrorReport.h"
#include "foldersize/services/ExplorerVerb.h"
#include "foldersize/services/ProgramGlobals.h"
#include "foldersize/services/ProgramPaths.h"
#include "foldersize/services/SingleInstance.h"
#include "foldersize/start/ProgramStart.h"
#include "foldersize/ui/scanner/MainWindow.h"
#include "foldersize/ui/scanner/OutputDialogs.h"
#include "foldersize/ui/services/ErrorDialog.h"

namespace foldersize {

int Main(int argc, char** argv)
{
    const ProgramArguments args = readArguments(argc, argv);
    if (const std::optional<int> answered = answerArguments(args))
        return *answered;
    if (args.scanOnly)
        return runWindowlessScan(argc, argv, args);
    const std::vector<std::string>& folders = args.folders;
    // Qt warns on standard error when there is no runtime folder (su, ssh, cron) and takes one of
    // its own: it gets the one the program uses for its running copy.
    const QString runtime = runtimeFolder();
    if (!runtime.isEmpty() && QFile::encodeName(runtime) != qgetenv("XDG_RUNTIME_DIR"))
        qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtime));
    readSystemLocaleAsGerman();
    TallymoorApp app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("Tallymoor"));
    installGermanTranslations(app);
    setUpProgram();
    setScreenSizeSource([] {
        const QScreen* s = QGuiApplication::primaryScreen();
        return s ? s->geometry().size() : QSize();
    });
    ProgramGlobals& g = globals();

    setReportPresenter(&ErrorDialog::showReport);
    // The error report prints through the same printer dialog as the tree.
    ErrorDialog::setPrinterChooser(
        [](QWidget* parent, QPrinter& printer) { return outputDialogs().choosePrinter(parent, printer); });
    int step = 10;
    try {
        SettingsStore store(g.iniDatei);
        std::vector<SettingsProblem> problems;
        const BrowserSettings settings = store.loadOptionen(&problems);
        step = 20;
        // First run: register the file managers' entry for folders. Once the option is stored,
        // whatever its value, the start leaves the entry as it is: only the options dialog writes
        // or removes it. A file too large to be read is left for the window to report (it is
        // replaced when the window saves).
        const bool unread = !problems.empty() && problems.front().tooLarge;
        if (settings.kontextmenu == QLatin1String("99") && !unread) {
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
