// RegFileTarget.cpp: the registry a merge writes to, and the empty one a check pretends to write to.
#include "platform/RegFileTarget.h"

#include "platform/RegistryStore.h"

namespace platform {

WinError RegistryTarget::createKey(RegRoot root, const std::string& sub, RegKey& out)
{
    return m_registry.createKey(root, sub, out);
}

WinError RegistryTarget::deleteTree(RegRoot root, const std::string& sub)
{
    return m_registry.deleteTree(root, sub);
}

WinError RegistryTarget::setValue(
    const RegKey& key, const std::string& name, RegType type, const RegBytes& data)
{
    return m_registry.setValue(key, name, type, data);
}

WinError RegistryTarget::deleteValue(const RegKey& key, const std::string& name)
{
    return m_registry.deleteValue(key, name);
}

void CheckTarget::note(RegRoot root, const std::string& sub)
{
    if (m_keys)
        m_keys->push_back(std::string(regRootName(root)) + (sub.empty() ? "" : "\\") + sub);
}

WinError CheckTarget::createKey(RegRoot root, const std::string& sub, RegKey& out)
{
    note(root, sub);
    out = RegKey(root);
    return regstore::keyPathFits(root, sub) ? WinError::Success : WinError::InvalidParameter;
}

WinError CheckTarget::deleteTree(RegRoot root, const std::string& sub)
{
    note(root, sub);
    return WinError::FileNotFound;
}

WinError CheckTarget::setValue(const RegKey&, const std::string& name, RegType, const RegBytes&)
{
    return regstore::charCount(name) > kMaxValueNameLength ? WinError::InvalidParameter : WinError::Success;
}

WinError CheckTarget::deleteValue(const RegKey&, const std::string&) { return WinError::FileNotFound; }

} // namespace platform
