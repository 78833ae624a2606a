// MassSteps.h: the steps around a mass migration's copies: the state filled from both registries,
// the check that the destination drives have room for the source drives, the destination's MAPI
// files kept aside and put back, and the stages shown on the mass-migration page.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace wizard::mass {

// The logged-on user of the running machine, trimmed; empty when there is no machine.
std::string FN_Get_User_Name();

// Fills the mass state (MassState.h) for the source PC named (a 2000/XP source without a default
// user name takes the logon user of the connection page); false when the running machine cannot be
// reached.
bool FN_Temp(const std::string& sourcePcName);

// One source drive against the destination drive the whole-drive copy writes it onto.
struct SpaceCheck {
    std::string sourceDrive; // "C:"
    std::string destDrive;   // "C:"
    std::uint64_t sourceUsed = 0;
    std::uint64_t destFree = 0;
    bool compared = false; // false: the destination drive is no hard disk or its space is unknown
    bool enough = true;
};

// Every mapped source drive that is copied: its used space against the free space of the
// destination drive it is copied onto (copyDestinationDrive). Equal space is too little.
std::vector<SpaceCheck> checkSpace();

// Checks the space before anything is copied. When a drive lacks room it says "Space is not
// available in (C:) drive. You can't proceed migration.", logs it and runs the exit routine until
// the user agrees to leave; then the program is asked to end and the answer is False. True when
// every drive has room.
bool FN_Check_Space();

// "Back" in any case saves the destination's MAPI files into AppPath\Temp\Mapi; anything else puts
// the saved ones back into the destination's System32 folder and removes the folder. Always true.
bool FN_MAPI(const std::string& direction);

// One row of the mass-migration page: its check box, label, caption and whether it is ticked.
struct StageRow {
    const char* check;
    const char* label;
    const char* caption;
    bool ticked;
};
// The page's four rows at a stage: the desktop row from stage 3, the others from stage 1, 2, 3.
std::vector<StageRow> stageRows(int stage);

// Called after each stage change and each drive copy (the page shows them); one listener, empty
// to remove. Returns the previous one.
std::function<void()> setMassProgressListener(std::function<void()> listener);
// Runs the listener, if any.
void notifyMassProgress();

// Advances MassStage (WizardState.h): 1 "Copying files", 2 "Update Registry Values", 3 finished,
// which runs the exit routine (its restart) and asks the program to end when it agrees. Stages past
// 3 change nothing. True.
bool FN_STATUS();

} // namespace wizard::mass
