// CommandLine.cpp: Windows command-line splitting and quoting.
#include "platform/CommandLine.h"

#include "common/Text.h"

namespace platform {

std::vector<std::string> splitCommandLine(std::string_view line)
{
    std::vector<std::string> args;
    std::size_t i = 0;
    const std::size_t n = line.size();
    while (true) {
        while (i < n && (line[i] == ' ' || line[i] == '\t'))
            ++i;
        if (i >= n)
            break;
        std::string arg;
        bool quoted = false;
        while (i < n) {
            const char c = line[i];
            if (!quoted && (c == ' ' || c == '\t'))
                break;
            if (c == '\\') {
                std::size_t slashes = 0;
                while (i < n && line[i] == '\\') {
                    ++slashes;
                    ++i;
                }
                if (i < n && line[i] == '"') {
                    arg.append(slashes / 2, '\\');
                    if (slashes % 2 == 1) {
                        arg += '"';
                        ++i;
                    }
                    // An even count leaves the quote to act as a delimiter below.
                } else {
                    arg.append(slashes, '\\');
                }
                continue;
            }
            if (c == '"') {
                if (quoted && i + 1 < n && line[i + 1] == '"') {
                    arg += '"';
                    i += 2;
                    continue;
                }
                quoted = !quoted;
                ++i;
                continue;
            }
            arg += c;
            ++i;
        }
        args.push_back(std::move(arg));
    }
    return args;
}

std::string quoteArgument(std::string_view argument)
{
    if (!argument.empty() && argument.find_first_of(" \t\"") == std::string_view::npos)
        return std::string(argument);
    std::string out = "\"";
    std::size_t slashes = 0;
    for (char c : argument) {
        if (c == '\\') {
            ++slashes;
            continue;
        }
        if (c == '"') {
            out.append(slashes * 2 + 1, '\\');
            out += '"';
        } else {
            out.append(slashes, '\\');
            out += c;
        }
        slashes = 0;
    }
    // Backslashes before the closing quote must be doubled so that it still closes.
    out.append(slashes * 2, '\\');
    out += '"';
    return out;
}

std::string joinCommandLine(const std::vector<std::string>& arguments)
{
    std::string line;
    for (const auto& arg : arguments) {
        if (!line.empty())
            line += ' ';
        line += quoteArgument(arg);
    }
    return line;
}

std::string programName(std::string_view first)
{
    const auto slash = first.find_last_of("\\/:");
    std::string name = common::lowerAscii(slash == std::string_view::npos ? first : first.substr(slash + 1));
    for (const char* ext : {".exe", ".com", ".bat", ".cmd"}) {
        const std::string e(ext);
        if (name.size() > e.size() && name.compare(name.size() - e.size(), e.size(), e) == 0) {
            name.resize(name.size() - e.size());
            break;
        }
    }
    return name;
}

} // namespace platform
