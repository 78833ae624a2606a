// TransferActions.cpp: forwards each script action to its transfer primitive.
#include "wizard/transfer/TransferActions.h"

#include "wizard/core/WizardCore.h"
#include "wizard/transfer/FileActions.h"
#include "wizard/transfer/FileFetchActions.h"
#include "wizard/transfer/ModOtherApplications.h"
#include "wizard/transfer/RegistryActions.h"
#include "wizard/transfer/TransferOutcome.h"
#include "wizard/transfer/TransferText.h"

namespace wizard {

namespace AF = Action_Function;

namespace {

// Passes a primitive's answer on; a False answer names its step in the current item's tally, so
// that the report can say which step of the item failed.
bool noted(bool answer, const std::string& step)
{
    if (!answer)
        if (transfer::ItemTally* tally = transfer::currentItemTally())
            tally->noteFailedStep(step);
    return answer;
}

} // namespace

TransferActions& transferActions()
{
    static TransferActions instance;
    return instance;
}

ActionPrimitives* installTransferActions() { return core().engine.setPrimitives(&transferActions()); }

bool TransferActions::Action_Copy(const std::string& name, const std::string& from, const std::string& to,
    const std::string& kind, const std::string& flag)
{
    return noted(
        AF::Action_Copy(name, from, to, kind, flag), "Action_Copy " + sourceNamed(from + "\\" + name));
}

bool TransferActions::ModOtherApplications_Action_Copy_File(
    const std::string& source, const std::string& target, const std::string& flag)
{
    // The engine names the target file; the worker takes the folder to copy into.
    return noted(ModOtherApplications::Action_Copy_File(source, folderOf(target), flag),
        "Action_Copy_File " + sourceNamed(source));
}

bool TransferActions::ModOtherApplications_Action_Copy_Folder(
    const std::string& source, const std::string& target, const std::string& flag)
{
    return noted(ModOtherApplications::Action_Copy_Folder(source, target, flag),
        "Action_Copy_Folder " + sourceNamed(source));
}

bool TransferActions::Action_Move(const std::string& name, const std::string& from, const std::string& to,
    const std::string& kind, const std::string& flag)
{
    return noted(
        AF::Action_Move(name, from, to, kind, flag), "Action_Move " + sourceNamed(from + "\\" + name));
}

bool TransferActions::Action_Delete(const std::string& path, const std::string& kind)
{
    return noted(AF::Action_Delete(path, kind), "Action_Delete " + sourceNamed(path));
}

bool TransferActions::Action_Update_Registry(const std::string& file)
{
    return noted(AF::Action_Update_Registry(file), "Action_Update_Registry " + file);
}

bool TransferActions::Action_Rename(const std::string& oldPath, const std::string& newPath)
{
    return noted(AF::Action_Rename(oldPath, newPath), "Action_Rename " + sourceNamed(oldPath));
}

bool TransferActions::Action_Replace(
    const std::string& file, const std::string& search, const std::string& replacement)
{
    return noted(AF::Action_Replace(file, search, replacement), "Action_Replace " + sourceNamed(file));
}

bool TransferActions::Action_Get(const std::string& key, const std::string& name, const std::string& from)
{
    return noted(AF::Action_Get(key, name, from), "Action_Get " + key + " " + name);
}

bool TransferActions::Action_Import(const std::string& key, const std::string& item)
{
    return noted(AF::Action_Import(key, item), "Action_Import " + key);
}

bool TransferActions::Action_Export(const std::string& key, const std::string& fileName)
{
    return noted(AF::Action_Export(key, fileName), "Action_Export " + key);
}

bool TransferActions::Action_Get_File(
    const std::string& key, const std::string& name, const std::string& /*third*/)
{
    return noted(AF::Action_Get_File(key, name), "Action_Get_File " + name);
}

bool TransferActions::Action_File_Type_Copy(const std::string& folder, const std::string& ending)
{
    return noted(AF::Action_File_Type_Copy(folder, ending), "Action_File_Type_Copy " + sourceNamed(folder));
}

bool TransferActions::Action_Msgbox(const std::string& text, const std::string& kind)
{
    return AF::Action_Msgbox(text, kind);
}

bool TransferActions::itemRefused() const
{
    const transfer::ItemTally* tally = transfer::currentItemTally();
    return tally && tally->refused();
}

} // namespace wizard
