// MassOperations.h: the mass migration's rules operations, each calling the transfer layer's mass
// steps with fixed arguments.
#pragma once

#include "wizard/rules/ItemRules.h"

#include <vector>

namespace wizard {

// The mass operations built, in the rules class's member order.
const std::vector<ItemRuleOperation>& massRuleOperations();

// Rebuilds the application selection from the mirrored Office keys (11.0 when its product key is
// there, else 9.0) and the FrontPage 2000 and MSN Messenger 5.0 uninstall entry. True.
bool FN_MS_APP_LIST();
// Copies every mapped source drive onto the destination drive of the same letter. True.
bool FN_CopyFiles_Tmp();
// Copies the source user's personal-folders file (the first ".pst" path of the exported mail
// profiles) through its mapped drive to the same path here. A source without mail profiles or
// without a ".pst" is nothing to do (True); False when the export or the copy failed.
bool Fn_Get_Pst_File_Path();
// The first personal-folders path in a registry export (the quoted text around ".pst"), unescaped;
// empty when there is none.
std::string pstPathIn(std::string text);

} // namespace wizard
