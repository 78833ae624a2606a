// ScriptDecryptor.cpp: the line-length shift rule and the unscrambling of script files.
#include "wizard/core/ScriptDecryptor.h"

#include "wizard/core/CoreFiles.h"
#include "wizard/core/TextUtil.h"

namespace wizard {

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

ScriptDecryptor::ScriptDecryptor(CoreFiles& files)
    : m_files(files)
{}

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
    if (outputUpper != LastDecryptedPath && !LastDecryptedPath.empty() &&
        m_files.fileExists(LastDecryptedPath))
        m_files.removeFile(LastDecryptedPath);

    // Line by line through a bounded buffer: no script is held in memory as a whole.
    constexpr std::size_t kChunk = 64 * 1024;
    std::string chunk;
    if (!m_files.readAt(input, 0, kChunk, chunk) || !m_files.writeFile(output, std::string()))
        return {};
    std::uint64_t offset = 0;
    std::string pending;
    for (;;) {
        const bool atEnd = chunk.empty();
        offset += chunk.size();
        pending += chunk;
        std::string plain;
        std::size_t pos = 0;
        for (;;) {
            const std::size_t end = pending.find_first_of("\r\n", pos);
            // A CR at the end of the buffer may be the first half of a CR LF still to come.
            if (end == std::string::npos || (!atEnd && end + 1 == pending.size() && pending[end] == '\r'))
                break;
            plain += unscrambleLine(std::string_view(pending).substr(pos, end - pos));
            plain += "\r\n";
            pos = end + 1;
            if (pending[end] == '\r' && pos < pending.size() && pending[pos] == '\n')
                ++pos;
        }
        pending.erase(0, pos);
        if (atEnd && !pending.empty()) {
            plain += unscrambleLine(pending) + "\r\n";
            pending.clear();
        }
        if (!plain.empty() && !m_files.appendFile(output, plain))
            return {};
        if (atEnd)
            break;
        if (!m_files.readAt(input, offset, kChunk, chunk))
            return {};
    }
    LastDecryptedPath = outputUpper;
    return output;
}

} // namespace wizard
