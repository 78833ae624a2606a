// TransferActions.h: the transfer layer's implementation of the script engine's action
// primitives: every script action reaches its primitive here.
#pragma once

#include "wizard/core/ActionPrimitives.h"

namespace wizard {

class TransferActions : public ActionPrimitives {
public:
    bool Action_Copy(const std::string& name, const std::string& from, const std::string& to,
        const std::string& kind, const std::string& flag) override;
    bool ModOtherApplications_Action_Copy_File(
        const std::string& source, const std::string& target, const std::string& flag) override;
    bool ModOtherApplications_Action_Copy_Folder(
        const std::string& source, const std::string& target, const std::string& flag) override;
    bool Action_Move(const std::string& name, const std::string& from, const std::string& to,
        const std::string& kind, const std::string& flag) override;
    bool Action_Delete(const std::string& path, const std::string& kind) override;
    bool Action_Update_Registry(const std::string& file) override;
    bool Action_Rename(const std::string& oldPath, const std::string& newPath) override;
    bool Action_Replace(
        const std::string& file, const std::string& search, const std::string& replacement) override;
    bool Action_Get(const std::string& key, const std::string& name, const std::string& from) override;
    bool Action_Import(const std::string& key, const std::string& item) override;
    bool Action_Export(const std::string& key, const std::string& fileName) override;
    bool Action_Get_File(const std::string& key, const std::string& name, const std::string& third) override;
    bool Action_File_Type_Copy(const std::string& folder, const std::string& ending) override;
    bool Action_Msgbox(const std::string& text, const std::string& kind) override;
    bool itemRefused() const override;
};

// The program's one instance, handed to the wizard core's script engine (call once at start-up);
// installing answers the primitives it replaces.
TransferActions& transferActions();
ActionPrimitives* installTransferActions();

} // namespace wizard
