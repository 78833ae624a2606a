// NetworkHelpers.h: the wizard's small network helpers on the running machine: whether it has a
// network, its computer name, name resolution to a dotted address and the probe of a computer's
// administrative shares.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace wizard {

// The text every caller takes to mean "the name does not resolve".
inline constexpr const char* kUnresolvedAddress = "127.0.0.1";

// The administrative shares found by the last Get_Admin_Shares, each a letter and ":" in letter
// order, followed by one empty entry (readers skip it). A single empty entry before any probe.
std::vector<std::string>& AdminShares();

// GetSystemMetrics(SM_NETWORK): the running machine has a network adapter.
bool Is_Network_Present();

// The running machine's computer name; "" when there is no running machine.
std::string Get_Computer_Name();

// The first address of `name` in dotted form, or kUnresolvedAddress when it does not resolve
// (also when there is no running machine). An unset name is replaced by the local computer
// name, which the caller's variable then holds.
std::string Get_IP_Address(std::optional<std::string>& name);
std::string Get_IP_Address(const std::string& name);

// Four bytes (network order) as dotted decimal text ("192.168.0.7").
std::string Format_IP_Address(std::string_view raw);

// Rebuilds AdminShares() from the drives of SERVER that are shared, each in the first of the
// forms "\\SERVER\C$", "\\SERVER\C:" and "\\SERVER\C" that exists (the forms the drive mapping
// connects; Windows XP shares its drive as "C"), from A to Z. An empty
// server shows "Please enter a server name!" (exclamation, title "Monitor") and probes nothing.
void Get_Admin_Shares(const std::string& server);

// Whether the shell can describe `path` (a share root, a folder or a file, local or UNC).
bool Path_Exists(const std::string& path);

} // namespace wizard
