// ProgramGlobals.h: the few program-wide values of Tallymoor (names, paths, version, the scan
// interval and the update hand-over), set once at start-up and read everywhere.
#pragma once

#include <QString>

#include "foldersize/services/TallymoorAddresses.h"

namespace foldersize {

struct ProgramGlobals {
    QString progName = QStringLiteral("Tallymoor"); // g_ProgName
    QString iniDatei;                               // g_INIDatei: the settings file
    QString errorLogPfad;         // g_ErrorLogPfad: folder of error.log, with a trailing "/"
    int doEventsIntervall = 1500; // g_DoEventsIntervall: longest time between two yields, ms
    QString appPfad;              // g_AppPfad: folder of the executable (read-only when installed)
    QString progVersion;          // g_ProgVersion: "1.1" or "1.1.3"
    int versionMajor = 0;
    int versionMinor = 0;
    int versionRevision = 0;
    // Bug-report address of the error report (build option TALLYMOOR_BUGREPORT_MAIL).
    QString bugReportAddress = QLatin1String(addresses::kBugReportMail);
};

// The one instance of the program.
ProgramGlobals& globals();

// Version text: major "." minor, and "." revision when the revision is above 0.
QString versionText(int major, int minor, int revision);

// InitMain: fills appPfad and the version from the running application (or the given numbers),
// and takes the running-copy marker (a shared lock held until the process ends).
void InitMain(int major, int minor, int revision);

} // namespace foldersize
