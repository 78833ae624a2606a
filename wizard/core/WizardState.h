// WizardState.h: the wizard's shared run state that the rules write and the exit routine reads.
#pragma once

#include <string>

namespace wizard {

// A page after the agreement has been shown; before that the exit routine ends at once.
inline bool WizardStarted = false;
// "mass" or "selective" once the migration type is chosen; empty before.
inline std::string MigrationMode;
// The selective migration needed the source registry exports.
inline bool RegistryRequired = false;
// The mass-migration stage 0..3; 3 means the mass migration has finished.
inline int MassStage = 0;
// The mass migration's copies left something of the source behind (its page and the log name it).
inline bool MassItemsNotCopied = false;
// OS code of the source PC ("win95" ... "winxp"); empty until chosen.
inline std::string SourceOs;
// The source PC holds the premium Office edition; chooses the Office shortcut set unpacked for a
// Windows 95/98/ME source.
inline bool OfficePremiumFlag = false;
// The required preparatory tasks were confirmed at the last change of the required-tasks page's
// rule inputs (PreparatoryRules.h); false until then.
inline bool TasksConfirmed = false;

// The source PC's name as validated on the connection page (trimmed, no leading backslashes), and
// the logon for a Windows 2000 or XP source exactly as typed.
inline std::string SourcePcName;
inline std::string LogonUserName;
inline std::string LogonPassword;
// The source whose registry exports this run has copied into "tempreg" ("<PC name>|<OS code>");
// empty until a hand-over has finished.
inline std::string HandOverSource;

// Puts every value above back to how a program start finds it.
inline void resetWizardState()
{
    WizardStarted = false;
    MigrationMode.clear();
    RegistryRequired = false;
    MassStage = 0;
    MassItemsNotCopied = false;
    SourceOs.clear();
    OfficePremiumFlag = false;
    TasksConfirmed = false;
    SourcePcName.clear();
    LogonUserName.clear();
    LogonPassword.clear();
    HandOverSource.clear();
}

} // namespace wizard
