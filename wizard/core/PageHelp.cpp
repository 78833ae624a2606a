// PageHelp.cpp: the page-to-topic table of the main window's Help button.
#include "wizard/core/PageHelp.h"

#include <utility>

namespace wizard {

std::optional<int> helpTopicForPage(
    const std::string& pageName, const std::function<bool(const std::string& control)>& optionChosen)
{
    if (pageName == "Frm_ConnectionType") {
        static const std::pair<const char*, int> kOptions[] = {
            {"optParlPorts", 4}, {"optNWCbl", 2}, {"optNWLan", 3}, {"opt_USB", 5}};
        for (const auto& [control, topic] : kOptions)
            if (optionChosen(control))
                return topic;
        return std::nullopt;
    }
    if (pageName == "Frm_MigrationType")
        return optionChosen("optMass") ? 17 : 18;
    static const std::pair<const char*, int> kPages[] = {{"Frm_Preparatory", 68}, {"Frm_PreparatoryTask", 69},
        {"Frm_ApplicationSettings", 50}, {"frm_source_Space_Info", 24}, {"Frm_Mass", 60},
        {"frm_Migration_Status", 25}};
    for (const auto& [name, topic] : kPages)
        if (pageName == name)
            return topic;
    return std::nullopt;
}

} // namespace wizard
