// TransferActions.cpp: forwards each script action to its transfer primitive.
#include "wizard/transfer/TransferActions.h"

#include "wizard/core/WizardCore.h"
#include "wizard/transfer/FileActions.h"
#include "wizard/transfer/FileFetchActions.h"
#include "wizard/transfer/ModOtherApplications.h"
#include "wizard/transfer/RegistryActions.h"
#include "wizard/transfer/TransferText.h"

namespace wizard {

namespace AF = Action_Function;

TransferActions& transferActions()
{
    static TransferActions instance;
    return instance;
}

void installTransferActions() { core().engine.setPrimitives(&transferActions()); }

bool TransferActions::Action_Copy(const std::string& name, const std::string& from, const std::string& to,
    const std::string& kind, const std::string& flag)
{
    return AF::Action_Copy(name, from, to, kind, flag);
}

bool TransferActions::ModOtherApplications_Action_Copy_File(
    const std::string& source, const std::string& target, const std::string& flag)
{
    // The engine names the target file; the worker takes the folder to copy into.
    return ModOtherApplications::Action_Copy_File(source, folderOf(target), flag);
}

bool TransferActions::ModOtherApplications_Action_Copy_Folder(
    const std::string& source, const std::string& target, const std::string& flag)
{
    return ModOtherApplications::Action_Copy_Folder(source, target, flag);
}

bool TransferActions::Action_Move(const std::string& name, const std::string& from, const std::string& to,
    const std::string& kind, const std::string& flag)
{
    return AF::Action_Move(name, from, to, kind, flag);
}

bool TransferActions::Action_Delete(const std::string& path, const std::string& kind)
{
    return AF::Action_Delete(path, kind);
}

bool TransferActions::Action_Update_Registry(const std::string& file)
{
    return AF::Action_Update_Registry(file);
}

bool TransferActions::Action_Rename(const std::string& oldPath, const std::string& newPath)
{
    return AF::Action_Rename(oldPath, newPath);
}

bool TransferActions::Action_Replace(
    const std::string& file, const std::string& search, const std::string& replacement)
{
    return AF::Action_Replace(file, search, replacement);
}

bool TransferActions::Action_Get(const std::string& key, const std::string& name, const std::string& from)
{
    return AF::Action_Get(key, name, from);
}

bool TransferActions::Action_Import(const std::string& key, const std::string& item)
{
    return AF::Action_Import(key, item);
}

bool TransferActions::Action_Export(const std::string& key, const std::string& fileName)
{
    return AF::Action_Export(key, fileName);
}

bool TransferActions::Action_Get_File(
    const std::string& key, const std::string& name, const std::string& /*third*/)
{
    return AF::Action_Get_File(key, name);
}

bool TransferActions::Action_File_Type_Copy(const std::string& folder, const std::string& ending)
{
    return AF::Action_File_Type_Copy(folder, ending);
}

bool TransferActions::Action_Msgbox(const std::string& text, const std::string& kind)
{
    return AF::Action_Msgbox(text, kind);
}

} // namespace wizard
