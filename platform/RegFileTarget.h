// RegFileTarget.h (internal to platform/): where the changes of a registry-file merge go: into a
// registry, or nowhere when the file is only checked.
#pragma once

#include "platform/Registry.h"

#include <string>
#include <vector>

namespace platform {

class MergeTarget {
public:
    virtual ~MergeTarget() = default;
    // As Registry::createKey, deleteTree, setValue and deleteValue.
    virtual WinError createKey(RegRoot root, const std::string& sub, RegKey& out) = 0;
    virtual WinError deleteTree(RegRoot root, const std::string& sub) = 0;
    virtual WinError setValue(
        const RegKey& key, const std::string& name, RegType type, const RegBytes& data) = 0;
    virtual WinError deleteValue(const RegKey& key, const std::string& name) = 0;
};

// The changes go into the registry.
class RegistryTarget final : public MergeTarget {
public:
    explicit RegistryTarget(Registry& registry)
        : m_registry(registry)
    {}
    WinError createKey(RegRoot root, const std::string& sub, RegKey& out) override;
    WinError deleteTree(RegRoot root, const std::string& sub) override;
    WinError setValue(
        const RegKey& key, const std::string& name, RegType type, const RegBytes& data) override;
    WinError deleteValue(const RegKey& key, const std::string& name) override;

private:
    Registry& m_registry;
};

// A merge into an empty registry that keeps nothing: what the store would refuse is refused (a key
// name or path too long, a value name too long: InvalidParameter), and no deletion finds anything
// (FileNotFound).
class CheckTarget final : public MergeTarget {
public:
    // `keys`, when given, gets every key opened or deleted ("HKEY_CURRENT_USER\Control Panel").
    explicit CheckTarget(std::vector<std::string>* keys = nullptr)
        : m_keys(keys)
    {}
    WinError createKey(RegRoot root, const std::string& sub, RegKey& out) override;
    WinError deleteTree(RegRoot root, const std::string& sub) override;
    WinError setValue(
        const RegKey& key, const std::string& name, RegType type, const RegBytes& data) override;
    WinError deleteValue(const RegKey& key, const std::string& name) override;

private:
    void note(RegRoot root, const std::string& sub);

    std::vector<std::string>* m_keys;
};

} // namespace platform
