// ScriptDecryptor.cpp: the line-length shift rule and the unscrambling of script files.
#include "wizard/core/ScriptDecryptor.h"

#include "wizard/core/CoreFiles.h"
#include "wizard/core/TextUtil.h"

namespace wizard {

std::string Reverse_String(std::string_view text)
{
    return std::string(text.rbegin(), text.rend());
}

int scrambleShift(std::size_t length)
{
    std::size_t k = length % 10;
    if (k == 0)
        k = length / 10;
    if (k == 1 || k == 4)
        ++k;
    else if (k == 17)
        --k;
    return static_cast<int>(k);
}

std::string unscrambleLine(std::string_view line)
{
    const int k = scrambleShift(line.size());
    std::string out;
    out.reserve(line.size());
    for (auto it = line.rbegin(); it != line.rend(); ++it) {
        const int code = static_cast<unsigned char>(*it) - k;
        if (code >= 0)
            out += static_cast<char>(code);
    }
    return out;
}

std::optional<std::string> scrambleLine(std::string_view plain)
{
    const int k = scrambleShift(plain.size());
    std::string out;
    out.reserve(plain.size());
    for (auto it = plain.rbegin(); it != plain.rend(); ++it) {
        const int code = static_cast<unsigned char>(*it) + k;
        if (code > 255 || code == '\r' || code == '\n')
            return std::nullopt;
        out += static_cast<char>(code);
    }
    return out;
}

ScriptDecryptor::ScriptDecryptor(CoreFiles& files) : m_files(files) {}

std::string ScriptDecryptor::Decrypt_Script_File(std::string_view path)
{
    std::string input = coretext::trimBlanks(path);
    input.resize(input.size() >= 3 ? input.size() - 3 : 0);
    input += "wkx";

    const std::size_t slash = input.rfind('\\');
    const std::string folder = slash == std::string::npos ? std::string() : input.substr(0, slash + 1);
    std::string name = slash == std::string::npos ? input : input.substr(slash + 1);
    name.resize(name.size() - 3);
    const std::string output = folder + "Dec_" + name + "xml";
    const std::string outputUpper = coretext::upperAscii(output);

    if (outputUpper == LastDecryptedPath && m_files.fileExists(output))
        return m_files.fileExists(input) ? output : std::string();
    if (outputUpper != LastDecryptedPath && !LastDecryptedPath.empty() && m_files.fileExists(LastDecryptedPath))
        m_files.removeFile(LastDecryptedPath);

    std::string scrambled;
    if (!m_files.readFile(input, scrambled))
        return {};

    std::string plain;
    plain.reserve(scrambled.size());
    std::size_t pos = 0;
    while (pos < scrambled.size()) {
        std::size_t end = scrambled.find_first_of("\r\n", pos);
        if (end == std::string::npos)
            end = scrambled.size();
        plain += unscrambleLine(std::string_view(scrambled).substr(pos, end - pos));
        plain += "\r\n";
        pos = end;
        if (pos < scrambled.size() && scrambled[pos] == '\r')
            ++pos;
        if (pos < scrambled.size() && scrambled[pos] == '\n')
            ++pos;
    }
    if (!m_files.writeFile(output, plain))
        return {};
    LastDecryptedPath = outputUpper;
    return output;
}

} // namespace wizard
