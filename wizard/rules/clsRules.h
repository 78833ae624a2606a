// clsRules.h: the rules class whose operations the scripts call by name: the frame of all members in
// their declaration order, and the page-showing operations.
#pragma once

#include <array>
#include <functional>
#include <string>

namespace wizard {

class RulesTable;

// What the rules reach outside themselves; the program wires the engine, the variable store, the
// log and the pages, tests put doubles in.
struct RulesEnvironment {
    // Show_Panel of the engine: shows the page by form name ("KestroMain" is the agreement page).
    std::function<bool(const std::string& form)> showPanel;
    // Set_System_Variable_Value.
    std::function<void(const std::string& name, const std::string& value)> setVariable;
    // FN_Write_Log with the enabled flag True and no detail.
    std::function<void(const std::string& process, const std::string& status)> writeLog;
    // Whether an option button of a page is set (the page is loaded to read it).
    std::function<bool(const std::string& form, const std::string& control)> optionChosen;
    // Whether a page can be shown in this build; a page-showing operation whose page is missing is
    // not registered.
    std::function<bool(const std::string& form)> pageAvailable;
};

class clsRules {
public:
    // The 68 public members in declaration order (the order is part of the class's interface).
    static constexpr std::size_t kMemberCount = 68;
    static const std::array<const char*, kMemberCount>& memberNames();
    // The two members that take arguments and are called only inside the class.
    static bool takesArguments(const std::string& member);

    explicit clsRules(RulesEnvironment env);

    // Registers, in declaration order, every parameterless operation built so far; members that are
    // not built (or whose page is missing) are left out, and the engine takes a call of them as
    // False. Answers the number registered.
    std::size_t registerOperations(RulesTable& table);
    // The names registerOperations would register.
    std::vector<std::string> registeredNames() const;

    // Page-showing operations: status text, log records, the page through Show_Panel.
    bool Display_License_Agreement();
    bool Display_Prep_Tasks_Panels();
    bool Display_Req_Prep_Tasks_Panels();
    bool Display_Migration_Type();
    bool Display_Connection_Info();
    bool Display_application_Setting();
    bool Display_Drive_Info_Panel();
    bool Display_Source_Space_Info();
    bool Display_Migration_Report();
    bool Display_Mass_Screen();

    // Work operations.
    // Rebuilds the selection collections from the selection page's trees; answers True.
    bool Collect_Selected_Info();
    // Once the source's registry is mirrored and its drives are mapped: logs "Start" (and no
    // "End"), then fills the source values (SourceValues.h) from the running machine's mirror and
    // the drive map, unpacking the Office shortcut set for a Windows 95/98/ME source. True.
    bool Source_Value_Initialize();

    // The form each page-showing operation shows.
    static std::string pageOf(const std::string& operation);

private:
    struct PageOperation {
        const char* name;
        const char* form;
        bool (clsRules::*fn)();
    };
    static const std::array<PageOperation, 10>& pageOperations();
    struct WorkOperation {
        const char* name;
        bool (clsRules::*fn)();
    };
    // The operations built so far that show no page.
    static const std::vector<WorkOperation>& workOperations();

    // Steps shared by the family: status text (when given), "Start", Show_Panel, then "End" or the
    // failure record.
    bool showPage(
        const char* operation, const char* form, const char* status, const std::string& failureSeparator);
    void log(const std::string& process, const std::string& status) const;

    RulesEnvironment m_env;
};

} // namespace wizard
