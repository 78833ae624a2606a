// PageHelp.h: the help topic of the page on screen, as the main window's Help button chooses it.
#pragma once

#include <functional>
#include <optional>
#include <string>

namespace wizard {

// The topic id for the page named `pageName`; `optionChosen` tells whether an option button of
// that page (by control name) is chosen. Empty when the page has no topic of its own (or the
// connection page has no connection type chosen): the Help button then keeps its last topic.
std::optional<int> helpTopicForPage(
    const std::string& pageName, const std::function<bool(const std::string& control)>& optionChosen);

} // namespace wizard
