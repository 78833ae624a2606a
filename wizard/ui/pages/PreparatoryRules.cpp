// PreparatoryRules.cpp: the decisions of the preparatory-task pages.
#include "wizard/ui/pages/PreparatoryRules.h"

namespace wizard {

bool requiredTasksConfirmed(bool sharesConfirmed, bool applicationsClosed, bool osChosen)
{
    return sharesConfirmed && applicationsClosed && osChosen;
}

} // namespace wizard
