// PreparatoryRules.cpp: the decisions of the preparatory-task pages.
#include "wizard/pages/PreparatoryRules.h"

namespace wizard {

bool requiredTasksConfirmed(bool sharesConfirmed, bool applicationsClosed, bool osChosen)
{
    return sharesConfirmed && applicationsClosed && osChosen;
}

std::string doubledSlashes(const std::string& path)
{
    std::string out;
    out.reserve(path.size() * 2);
    for (char c : path) {
        out += c;
        if (c == '\\')
            out += '\\';
    }
    return out;
}

} // namespace wizard
