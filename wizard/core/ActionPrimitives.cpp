// ActionPrimitives.cpp: the "not available" answers of the action-dispatch interface.
#include "wizard/core/ActionPrimitives.h"

namespace wizard {

bool ActionPrimitives::Action_Copy(
    const std::string&, const std::string&, const std::string&, const std::string&, const std::string&)
{
    return false;
}
bool ActionPrimitives::ModOtherApplications_Action_Copy_File(
    const std::string&, const std::string&, const std::string&)
{
    return false;
}
bool ActionPrimitives::ModOtherApplications_Action_Copy_Folder(
    const std::string&, const std::string&, const std::string&)
{
    return false;
}
bool ActionPrimitives::Action_Move(
    const std::string&, const std::string&, const std::string&, const std::string&, const std::string&)
{
    return false;
}
bool ActionPrimitives::Action_Delete(const std::string&, const std::string&) { return false; }
bool ActionPrimitives::Action_Update_Registry(const std::string&) { return false; }
bool ActionPrimitives::Action_Rename(const std::string&, const std::string&) { return false; }
bool ActionPrimitives::Action_Replace(const std::string&, const std::string&, const std::string&)
{
    return false;
}
bool ActionPrimitives::Action_Get(const std::string&, const std::string&, const std::string&)
{
    return false;
}
bool ActionPrimitives::Action_Import(const std::string&, const std::string&) { return false; }
bool ActionPrimitives::Action_Export(const std::string&, const std::string&) { return false; }
bool ActionPrimitives::Action_Get_File(const std::string&, const std::string&, const std::string&)
{
    return false;
}
bool ActionPrimitives::Action_File_Type_Copy(const std::string&, const std::string&) { return false; }
bool ActionPrimitives::Action_Msgbox(const std::string&, const std::string&) { return false; }

} // namespace wizard
