// MassState.h: the state a mass migration shares between its steps (source and destination
// Windows folders and systems, user names, the PC's share root) and the paths built from it.
#pragma once

#include <string>

namespace wizard::mass {

struct MassState {
    std::string uncRoot;          // "\\" & source PC name, no trailing "\"
    std::string sourceSystemRoot; // the source's Windows folder ("C:\WINDOWS")
    std::string destSystemRoot;   // the destination's Windows folder ("C:\WINNT")
    std::string sourceOsCode;     // "W95", "W98", "ME", "W2K", "XP" or the product name itself
    std::string destOsCode;
    std::string sourceUserName;
    std::string destUserName;
    // The source's SystemRoot as its registry gives it, when it is no Windows folder of the source
    // (sourceSystemRoot is then empty: nothing is copied from or into a Windows folder by it).
    std::string refusedSystemRoot;
};

// The run's one instance; empty until fillMassState has run.
MassState& massState();

// The OS code of a product name (compared without regard to case); any other name is its own code.
std::string osCodeOf(const std::string& productName);
// True for the codes of Windows 95, 98 and ME.
bool isWin9xCode(const std::string& code);
// True for the codes of Windows 2000 and XP.
bool isNtCode(const std::string& code);

// Fills the state from the mirror (source), the local registry (destination), the source PC's
// name and the logged-on user. True; false when the running machine cannot be reached.
bool fillMassState(const std::string& sourcePcName, const std::string& logonUser);

// Takes the source's SystemRoot as its Windows folder only when it is one: a folder directly below
// the root of its drive, as the source's share shows it, holding the system folder of the source's
// system (SYSTEM for 95, 98 and ME, System32 for 2000 and XP); its name is then the one stored.
// Otherwise sourceSystemRoot is emptied, refusedSystemRoot keeps it, and "" is not answered: the
// answer says why.
std::string confineSourceSystemRoot(bool ntSource);

// The Windows folder's name without its drive ("WINDOWS" for "C:\WINDOWS"); empty for a root that
// is too short to hold one.
std::string windowsFolderName(const std::string& systemRoot);

} // namespace wizard::mass
