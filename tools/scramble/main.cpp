// scramble: turns a plain script into the scrambled ".wkx" form the wizard unscrambles.
// Usage: scramble IN OUT. Lines are read in UTF-8 (a leading byte-order mark is dropped),
// written in Windows-1252, each reversed and raised by its length's shift, ended by CR LF.
#include <cstdio>
#include <fstream>
#include <iostream>
#include <iterator>
#include <string>

#include "wizard/core/ScriptDecryptor.h"
#include "wizard/core/TextUtil.h"

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::cerr << "usage: scramble IN OUT\n";
        return 2;
    }
    std::ifstream in(argv[1], std::ios::binary);
    if (!in) {
        std::cerr << "scramble: cannot read " << argv[1] << "\n";
        return 1;
    }
    std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (text.rfind("\xEF\xBB\xBF", 0) == 0)
        text.erase(0, 3);

    std::string out;
    std::size_t start = 0;
    int lineNumber = 0;
    while (start < text.size()) {
        ++lineNumber;
        std::size_t end = text.find('\n', start);
        if (end == std::string::npos)
            end = text.size();
        std::string line = wizard::coretext::toAnsi(text.substr(start, end - start));
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (line.find('\r') != std::string::npos) {
            std::cerr << "scramble: " << argv[1] << ":" << lineNumber << ": stray carriage return\n";
            return 1;
        }
        std::optional<std::string> scrambled = wizard::scrambleLine(line);
        // Some lengths shift too far for the line's characters: trailing blanks change the
        // length and are harmless at the end of a script line.
        for (int pad = 0; !scrambled && pad < 20; ++pad) {
            line += ' ';
            scrambled = wizard::scrambleLine(line);
        }
        if (!scrambled) {
            std::cerr << "scramble: " << argv[1] << ":" << lineNumber << ": line cannot be scrambled\n";
            return 1;
        }
        out += *scrambled + "\r\n";
        start = end + 1;
    }

    std::ofstream file(argv[2], std::ios::binary | std::ios::trunc);
    file.write(out.data(), static_cast<std::streamsize>(out.size()));
    if (!file) {
        std::cerr << "scramble: cannot write " << argv[2] << "\n";
        return 1;
    }
    return 0;
}
