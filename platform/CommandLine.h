// CommandLine.h: splitting and joining Windows command lines the way the C runtime of a
// Windows program splits its own (quotes, backslashes before quotes).
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace platform {

// Splits a command line into arguments: blanks and tabs separate arguments outside quotes;
// a double quote starts or ends a quoted stretch (blanks inside stay); 2n backslashes before a
// quote give n backslashes and the quote acts as a delimiter, 2n+1 give n backslashes and a
// literal quote; "" inside a quoted stretch is a literal quote; other backslashes are literal
// ("C:\Program Files\x" keeps its backslashes).
std::vector<std::string> splitCommandLine(std::string_view commandLine);

// Quotes one argument so that splitCommandLine gives it back unchanged (no quotes when it needs
// none).
std::string quoteArgument(std::string_view argument);

// Joins arguments with single blanks, each quoted as needed.
std::string joinCommandLine(const std::vector<std::string>& arguments);

// The program name of a command line's first argument, lower-cased, without folder and without
// ".exe", ".com", ".bat" or ".cmd" ("C:\WINDOWS\regedit.exe" gives "regedit").
std::string programName(std::string_view firstArgument);

} // namespace platform
