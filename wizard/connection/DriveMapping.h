// DriveMapping.h: connects the source PC's administrative shares to free local drive letters and
// keeps the drive map (source drive to local letter) that every reader of source paths uses.
#pragma once

#include <string>

namespace wizard {

// Connects the C$ share `share` ("\\SRC\C$"; tried as itself, as "\\SRC\C:" and as "\\SRC\C") to
// the first free letter, then every other administrative share D$ to Z$ the source has, each to
// the next free letter, with `userName` and `password` (empty: the logged-on user's). On success
// the old connections of the drive map are cancelled and the map holds exactly the new ones,
// "C:" first. `drive` receives each letter as it is taken.
// Refusals, each leaving the drive map and the connections as they were:
//   empty share: "Please type a server name first!" (exclamation, title "Monitor");
//   no free letter for C$: "No Free Drive for mapping";
//   every form of C$ refused (no message: the caller explains);
//   no free letter left for a further share the source has: "No Free Drive for mapping", and the
//   connections this call made are cancelled again.
bool Map_Drive(
    std::string& share, std::string& drive, const std::string& userName, const std::string& password);

// WNetAddConnection2A with a disk resource, remembered in the profile: true when it answers 0.
bool Add_Connection(const std::string& localName, const std::string& remoteName, const std::string& userName,
    const std::string& password);

// The first letter from D: to Z: with nothing mounted or connected ("F:"); "" when none is free.
std::string Get_Free_Drive();

// WNetCancelConnection2A on a letter ("F:"), forced and forgotten in the profile: true when it
// answers 0.
bool Cancel_Connection(const std::string& drive);

} // namespace wizard
