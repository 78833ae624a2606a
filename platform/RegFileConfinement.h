// RegFileConfinement.h (internal to platform/): the keys a confined registry-file merge may name
// (RegFileMergeOptions::confineTo), compared as the registry store finds keys.
#pragma once

#include "platform/Registry.h"

#include <string>
#include <string_view>
#include <vector>

namespace platform {

// The keys a confined merge may name; a merge without any is not confined.
class Confinement {
public:
    explicit Confinement(const std::vector<std::string>& keys);
    // Whether the key is one of the allowed keys or lies below one (always, when not confined).
    bool allows(RegRoot root, std::string_view sub) const;

    // A key as the store finds it: its hive (HKEY_CLASSES_ROOT is HKEY_LOCAL_MACHINE\SOFTWARE\Classes)
    // and its non-empty name components, case folded.
    struct KeyPlace {
        RegRoot hive = RegRoot::LocalMachine;
        std::vector<std::string> parts;
    };

private:
    bool m_confined;
    std::vector<KeyPlace> m_allowed;
};

} // namespace platform
