// ActionPrimitives.h: the one interface through which every script action reaches a transfer
// primitive. The transfer library implements it; the engine only calls it.
#pragma once

#include <string>

namespace wizard {

// Each call has the shape of the transfer primitive of the same name and answers its Boolean
// result. Paths are Windows paths on the machine the wizard runs on. The base class answers
// false for every primitive ("not available"), so a primitive that no implementation provides
// takes the engine's failure report instead of pretending to work.
class ActionPrimitives {
public:
    virtual ~ActionPrimitives() = default;

    // Kind "folder" copies folder From\Name to To\Name, "file" copies file From\Name into the
    // folder To; kind compared after lower-casing; any other kind does nothing and answers true.
    // Flag is the text "False" from the engine and passed on unused.
    virtual bool Action_Copy(const std::string& name, const std::string& from, const std::string& to,
        const std::string& kind, const std::string& flag);
    // Copies one file Source to the file path Target, creating its folders; always true.
    virtual bool ModOtherApplications_Action_Copy_File(
        const std::string& source, const std::string& target, const std::string& flag);
    // Copies the folder tree Source to Target; false when an error is pending at its end.
    virtual bool ModOtherApplications_Action_Copy_Folder(
        const std::string& source, const std::string& target, const std::string& flag);
    // As Action_Copy, moving instead; kinds compared as given (case significant).
    virtual bool Action_Move(const std::string& name, const std::string& from, const std::string& to,
        const std::string& kind, const std::string& flag);
    // Kind "folder", "file" or "all" (empty the folder); true unless the file system failed.
    virtual bool Action_Delete(const std::string& path, const std::string& kind);
    // Imports the registry file silently with the registry editor; true.
    virtual bool Action_Update_Registry(const std::string& file);
    // Renames the file OldPath to NewPath; false when OldPath does not exist.
    virtual bool Action_Rename(const std::string& oldPath, const std::string& newPath);
    // Replaces every Search by Replacement in File; true when nothing failed.
    virtual bool Action_Replace(
        const std::string& file, const std::string& search, const std::string& replacement);
    // Copies an application's folder found from the mirrored registry value Name under Key.
    virtual bool Action_Get(const std::string& key, const std::string& name, const std::string& from);
    // Imports the mirrored key Key ("*.*": with its subkeys) to its real place.
    virtual bool Action_Import(const std::string& key, const std::string& item);
    // Exports Key into "C:\QZExpTemp\" & FileName; false when Key is blank.
    virtual bool Action_Export(const std::string& key, const std::string& fileName);
    // Copies the file whose path the registry gives; the engine passes "" as Third.
    virtual bool Action_Get_File(const std::string& key, const std::string& name, const std::string& third);
    // Copies every file under Folder whose path ends with Ending.
    virtual bool Action_File_Type_Copy(const std::string& folder, const std::string& ending);
    // Message box Text; kind "I" information, "E" exclamation, "C" critical, else nothing; true.
    virtual bool Action_Msgbox(const std::string& text, const std::string& kind);
    // Whether a step of the item being migrated refused a path its source named: the item then
    // ends, and none of its later steps runs. The base class knows no item: false.
    virtual bool itemRefused() const { return false; }
};

} // namespace wizard
