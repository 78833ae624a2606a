// AppPath.cpp: storage of the wizard's application folder and executable name.
#include "wizard/core/AppPath.h"

namespace wizard {

std::string AppPath = kDefaultAppPath;
std::string AppExeName = "Kestro";

} // namespace wizard
