// PreparatoryRules.h: the decisions of the preparatory-task pages, without widgets: the rule for
// Next on the required-tasks page and the source OS code of its choice.
#pragma once

#include <array>
#include <string>
#include <utility>

#include "wizard/core/WizardState.h"

namespace wizard {

// TasksConfirmed (WizardState.h) holds whether the required tasks were confirmed at the last
// change of the page's rule inputs; only the required-tasks page writes and reads it.

// Next may be pressed when the shares (box 3) and the closed applications (box 4) are confirmed
// and a source operating system is chosen; boxes 1 and 2 do not count.
bool requiredTasksConfirmed(bool sharesConfirmed, bool applicationsClosed, bool osChosen);

// The source-OS option buttons in the order the rules test them, with their codes.
inline constexpr std::array<std::pair<const char*, const char*>, 5> kSourceOsOptions{
    {{"Opt2K", "win2k"}, {"Opt95", "win95"}, {"Opt98", "win98"}, {"OptME", "winme"}, {"OptXP", "winxp"}}};

// The "$st_destination_alluser_d_slash" form of the all-users folder: every "\" doubled.
std::string doubledSlashes(const std::string& path);

} // namespace wizard
