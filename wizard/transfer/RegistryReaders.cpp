// RegistryReaders.cpp: registry readers over the machine's registry.
#include "wizard/transfer/RegistryReaders.h"

#include <algorithm>

#include "platform/MessageBox.h"
#include "platform/RunningMachine.h"
#include "wizard/transfer/TransferGlobals.h"
#include "wizard/transfer/TransferText.h"

#include <cstdlib>
#include <memory>

namespace wizard::Registry_Related_Functions {
namespace {

using platform::RegKey;
using platform::WinError;

// Opens root\keyPath; false when the root is unknown or the key cannot be opened.
bool openKey(platform::Registry*& registry, platform::RegRoot root, const std::string& keyPath, RegKey& out)
{
    registry = transfer::machineRegistry();
    return registry && registry->openKey(RegKey(root), keyPath, out) == WinError::Success;
}

} // namespace

std::string FN_Reg_Query_Value(platform::Registry& registry, const RegKey& key, const std::string& valueName)
{
    platform::RegValue value;
    if (registry.queryValue(key, valueName, value) != WinError::Success)
        return {};
    if (value.type == platform::RegType::Sz || value.type == platform::RegType::ExpandSz) {
        // Stored data without any terminating zero is not a complete text.
        if (std::find(value.data.begin(), value.data.end(), 0) == value.data.end())
            return {};
        return platform::regDataText(value.data);
    }
    return "0";
}

std::string FN_Reg_Get_Value(platform::RegRoot root, const std::string& keyPath, const std::string& valueName,
    const std::string& defaultText)
{
    platform::Registry* registry = nullptr;
    RegKey key;
    if (!openKey(registry, root, keyPath, key))
        return defaultText;
    return FN_Reg_Query_Value(*registry, key, valueName);
}

TextList FN_Reg_Enum_Keys(platform::RegRoot root, const std::string& keyPath)
{
    platform::Registry* registry = nullptr;
    RegKey key;
    if (!openKey(registry, root, keyPath, key))
        return std::nullopt;
    std::vector<std::string> names;
    std::string name;
    for (std::uint32_t index = 0; registry->enumKey(key, index, name, 255) == WinError::Success; ++index)
        names.push_back(name);
    return names;
}

TextList FN_Reg_Enum_Values(platform::RegRoot root, const std::string& keyPath)
{
    platform::Registry* registry = nullptr;
    RegKey key;
    if (!openKey(registry, root, keyPath, key))
        return std::nullopt;
    std::vector<std::string> entries;
    platform::RegValue value;
    for (std::uint32_t index = 0; registry->enumValue(key, index, value, 255) == WinError::Success; ++index) {
        if (!value.name.empty())
            entries.push_back(value.name + "=" + FN_Reg_Query_Value(*registry, key, value.name));
    }
    return entries;
}

} // namespace wizard::Registry_Related_Functions

namespace wizard::Application_Functions {

std::string Get_Remote_App_Path(const std::string& fullKey, const std::string& valueName)
{
    if (trim(fullKey).empty()) {
        writeTransferLog("Get_Remote_App_Path", "0:");
        platform::showMessage(
            "Error In Accessing Remote Regfile", platform::MsgButtons::Ok, platform::MsgIcon::Critical);
        return {};
    }
    writeTransferLog("Get_Remote_App_Path", "Start");
    std::string result;
    const size_t slash = fullKey.find('\\');
    const std::string rootName = slash == std::string::npos ? std::string() : fullKey.substr(0, slash);
    // The long name in capitals only.
    const auto root = scriptRootOf(rootName);
    if (root && platform::regRootName(*root) == rootName)
        result =
            Registry_Related_Functions::FN_Reg_Get_Value(*root, fullKey.substr(slash + 1), valueName, "");
    writeTransferLog("Get_Remote_App_Path", "End");
    return result;
}

} // namespace wizard::Application_Functions

namespace wizard::transfer {

platform::Registry* machineRegistry()
{
    platform::RunningMachine* machine = platform::RunningMachine::current();
    return machine ? &machine->registry() : nullptr;
}

} // namespace wizard::transfer
