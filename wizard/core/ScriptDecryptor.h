// ScriptDecryptor.h: turns a scrambled ".wkx" script into the plain "Dec_<name>.xml" beside it,
// and the line rule both ways (the build's scramble tool uses the inverse).
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace wizard {

class CoreFiles;

// The amount by which every character code of a scrambled line of `length` characters is raised:
// length mod 10, or length / 10 when that is 0; then 1 -> 2, 4 -> 5, 17 -> 16.
int scrambleShift(std::size_t length);

// One scrambled line (Windows-1252 bytes, no line end) to its plain text: reversed, each code
// lowered by the shift; a character whose code would fall below 0 is left out.
std::string unscrambleLine(std::string_view line);

// One plain line to its scrambled form, the inverse of unscrambleLine. Empty when the line
// cannot be scrambled at its length: a code would pass 255 or become a CR or LF.
std::optional<std::string> scrambleLine(std::string_view plain);

class ScriptDecryptor {
public:
    explicit ScriptDecryptor(CoreFiles& files);

    // Unscrambles `path` (its extension forced to "wkx") into "Dec_" & its name with the
    // extension "xml" in the same folder and answers that file's path; "" when the input is
    // missing or unreadable or the output cannot be written. Shows nothing. The plain file of
    // the previous call is deleted when another script is unscrambled; a call for the script
    // unscrambled last answers its plain file again without reading the input.
    std::string Decrypt_Script_File(std::string_view path);

    // The plain file produced last, in upper case; "" before the first success.
    const std::string& lastDecryptedPath() const { return LastDecryptedPath; }

private:
    CoreFiles& m_files;
    std::string LastDecryptedPath;
};

} // namespace wizard
