// VersionRule.h: compares file version strings as dotted numbers and decides whether a copy or a
// move may replace an existing target file.
#pragma once

#include <string_view>

namespace wizard {

// Compares two version strings component by component ("10.0" > "6.0", "5.1" == "5.1.0").
// Components made of digits compare as numbers, missing components count as 0, and a component
// that is not a plain number compares as text. Returns <0, 0 or >0.
int compareVersions(std::string_view left, std::string_view right);

// Copy rule: an existing target is overwritten when the source carries no version, when the
// target carries none, or when the source's version is greater.
bool copyReplacesTarget(std::string_view sourceVersion, std::string_view targetVersion);

// Move rule: like the copy rule, except that an unversioned source never replaces a target.
bool moveReplacesTarget(std::string_view sourceVersion, std::string_view targetVersion);

} // namespace wizard
