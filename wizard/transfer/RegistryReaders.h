// RegistryReaders.h: readers of the machine's registry for the whole wizard: one value as text,
// the sub-key names and the named values of a key, and one value of a key given by its full path.
// They never show a message (but for an empty full path) and never write to the registry.
#pragma once

#include "platform/Registry.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace wizard::Registry_Related_Functions {

// A collection of texts in enumeration order; no collection (nullopt) when the key cannot be opened.
using TextList = std::optional<std::vector<std::string>>;

// The value's text form: REG_SZ and REG_EXPAND_SZ give their text up to the first zero, any other
// type "0" (the value exists but is not text); an empty text when the value cannot be read.
std::string FN_Reg_Query_Value(
    platform::Registry& registry, const platform::RegKey& key, const std::string& valueName);

// The value's text form under root and keyPath; defaultText when the
// key cannot be opened; an empty text for a missing value in an existing key.
std::string FN_Reg_Get_Value(platform::RegRoot root, const std::string& keyPath, const std::string& valueName,
    const std::string& defaultText);
// The sub-key names; the listing ends early at a name of 255 characters or more.
TextList FN_Reg_Enum_Keys(platform::RegRoot root, const std::string& keyPath);
// Each named value as name "=" text form; the unnamed value is left out.
TextList FN_Reg_Enum_Values(platform::RegRoot root, const std::string& keyPath);

} // namespace wizard::Registry_Related_Functions

namespace wizard::Application_Functions {

// One value of a key given by its full path ("HKEY_LOCAL_MACHINE\SOFTWARE\QZ\..."); the root name
// must be "HKEY_CLASSES_ROOT", "HKEY_CURRENT_USER" or "HKEY_LOCAL_MACHINE" in this case. An empty
// text when it cannot be read; a blank path shows "Error In Accessing Remote Regfile".
std::string Get_Remote_App_Path(const std::string& fullKey, const std::string& valueName);

} // namespace wizard::Application_Functions

namespace wizard::transfer {
// The registry of the machine the wizard runs on. Null when it cannot be opened.
platform::Registry* machineRegistry();
} // namespace wizard::transfer
