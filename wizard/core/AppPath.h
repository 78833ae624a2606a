// AppPath.h: the wizard's application folder and executable name, shared by the whole wizard.
#pragma once

#include <string>

namespace wizard {

// The application folder as a Windows path on the machine the wizard runs on, without a
// trailing "\". Start-up may change it; it defaults to "C:\Program Files\Kestro".
extern std::string AppPath;

// The executable's name without extension ("Kestro"); it names the log file and titles the
// log's message boxes.
extern std::string AppExeName;

inline constexpr const char* kDefaultAppPath = "C:\\Program Files\\Kestro";

} // namespace wizard
