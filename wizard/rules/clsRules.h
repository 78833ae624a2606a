// clsRules.h: the rules class whose operations the scripts call by name: the frame of all members in
// their declaration order, and the page-showing operations.
#pragma once

#include <array>
#include <functional>
#include <string>
#include <vector>

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
    // the drive map, unpacking the Office shortcut set for a Windows 95/98/ME source. True; False
    // only when the hand-over merged the source's registry and its mirror did not arrive whole
    // (sourceMirrorWhole).
    bool Source_Value_Initialize();

    // The source PC (ConnectionOperations.cpp): each tells the user why it refuses (message box,
    // troubleshooting dialog, status text) and answers False so that the wizard stays on its page.
    // The name typed on the connection page: well formed, resolvable, not this PC; for a 2000/XP
    // source a user name (user and password kept as typed).
    bool Validate_Source_PC();
    // The chosen source OS agrees with the mapped C: drive (WINIPCFG.EXE marks 95/98/ME); publishes
    // "$st_source_os". Refused without a mapped C:.
    bool Get_Source_PC_Information();
    bool Validate_Network_Port();
    bool Validate_Parallel_Port();
    bool Validate_USB();
    // The source's C$ share to a free letter (and its other administrative shares after it): without
    // a logon after a probe folder proved the share writable, or with the typed logon.
    bool Simple_Map_C_Drive();
    bool Logon_Map_C_Drive();

    // The hand-over (HandOverOperations.cpp). The migration mode and whether the source registry is
    // needed, and Temp.bat for the source; False (after its message) when the file cannot be written.
    bool Create_Batch_File();
    // Puts Temp.bat into the source's C:\KestroBatch, removes exports of an earlier run, asks the
    // user to run it there until the three exports can be copied into AppPath\tempreg, and answers
    // True then; Cancel asks the exit question (its confirmation ends the program, False).
    bool Display_Msg_To_User();

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
        bool (*fn)(clsRules&);
    };
    // The operations built so far that show no page.
    static const std::vector<WorkOperation>& workOperations();

    // Steps shared by the family: status text (when given), "Start", Show_Panel, then "End" or the
    // failure record.
    bool showPage(
        const char* operation, const char* form, const char* status, const std::string& failureSeparator);
    void log(const std::string& process, const std::string& status) const;
    // After the main script merged the copied exports: true when all three arrived below the
    // mirror. Else the mirror goes again (with what of it was merged), so do the copies, the user
    // is told to run the batch file again, and the answer is false.
    bool sourceMirrorWhole();
    // The refusal of a connection operation: default pointer and the refusal log record.
    void refuse(const std::string& operation, const std::string& error = {});
    bool mapCDrive(const char* operation, bool withLogon);

    RulesEnvironment m_env;
};

} // namespace wizard
