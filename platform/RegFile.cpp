// RegFile.cpp: reading (merging) and writing registry files in both of the registry editor's formats.
#include "platform/RegFile.h"

#include "platform/CodePage.h"
#include "platform/Guarded.h"

#include <cstdio>
#include <fstream>
#include <iterator>
#include <new>
#include <optional>
#include <system_error>

namespace platform {
namespace {

constexpr std::string_view kHeader4 = "REGEDIT4";
constexpr std::string_view kHeader5 = "Windows Registry Editor Version 5.00";
constexpr std::string_view kBom = "\xFF\xFE";

// Hex lists wrap once a line has reached this many characters (80 columns with the "\").
constexpr std::size_t kWrapAt = 76;

bool isBlank(char c) { return c == ' ' || c == '\t'; }

std::string_view trimLeft(std::string_view s)
{
    std::size_t i = 0;
    while (i < s.size() && isBlank(s[i]))
        ++i;
    return s.substr(i);
}

std::string_view trimRight(std::string_view s)
{
    std::size_t n = s.size();
    while (n > 0 && (isBlank(s[n - 1]) || s[n - 1] == '\r'))
        --n;
    return s.substr(0, n);
}

// Types whose data a version 5.00 file writes as UTF-16LE text in hex form.
bool isWideTextType(std::uint32_t type) { return type == 1 || type == 2 || type == 7; }

int hexDigit(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

// Reads a quoted text starting at s[pos] == '"'; pos ends after the closing quote.
// "\\" and "\"" are unescaped; any other backslash stays as it is, with the character after it.
bool parseQuoted(std::string_view s, std::size_t& pos, std::string& out)
{
    out.clear();
    std::size_t i = pos + 1;
    while (i < s.size()) {
        const char c = s[i];
        if (c == '"') {
            pos = i + 1;
            return true;
        }
        if (c == '\\' && i + 1 < s.size() && (s[i + 1] == '\\' || s[i + 1] == '"')) {
            out += s[i + 1];
            i += 2;
            continue;
        }
        out += c;
        ++i;
    }
    return false;
}

// Parses "xx,yy,..." (1 or 2 hex digits each, blanks allowed, a trailing comma allowed).
bool parseHexList(std::string_view s, RegBytes& out)
{
    out.clear();
    std::size_t i = 0;
    auto skip = [&] {
        while (i < s.size() && isBlank(s[i]))
            ++i;
    };
    skip();
    while (i < s.size()) {
        int value = 0;
        int digits = 0;
        while (i < s.size() && hexDigit(s[i]) >= 0 && digits < 3) {
            value = value * 16 + hexDigit(s[i]);
            ++digits;
            ++i;
        }
        if (digits == 0 || digits > 2)
            return false;
        out.push_back(static_cast<std::uint8_t>(value));
        skip();
        if (i == s.size())
            break;
        if (s[i] != ',')
            return false;
        ++i;
        skip();
    }
    return true;
}

struct ParsedData {
    bool remove = false;
    std::uint32_t type = 0;
    RegBytes data;
};

// Parses the part after "=": "text", dword:..., hex:..., hex(N):... or -. Empty optional: malformed.
std::optional<ParsedData> parseData(std::string_view s, bool wideText, std::string& why)
{
    ParsedData d;
    s = trimRight(s);
    if (s == "-") {
        d.remove = true;
        return d;
    }
    if (!s.empty() && s.front() == '"') {
        std::size_t pos = 0;
        std::string text;
        if (!parseQuoted(s, pos, text)) {
            why = "string without closing quote";
            return std::nullopt;
        }
        if (!trimLeft(s.substr(pos)).empty()) {
            why = "unexpected text after the string";
            return std::nullopt;
        }
        d.type = 1;
        d.data.assign(text.begin(), text.end());
        d.data.push_back(0);
        return d;
    }
    if (s.size() >= 6 && equalsNoCase(s.substr(0, 6), "dword:")) {
        const std::string_view digits = s.substr(6);
        if (digits.empty() || digits.size() > 8) {
            why = "dword needs 1 to 8 hex digits";
            return std::nullopt;
        }
        std::uint32_t v = 0;
        for (const char c : digits) {
            const int h = hexDigit(c);
            if (h < 0) {
                why = "dword needs 1 to 8 hex digits";
                return std::nullopt;
            }
            v = v * 16 + static_cast<std::uint32_t>(h);
        }
        d.type = 4;
        d.data = regDwordData(v);
        return d;
    }
    if (s.size() >= 3 && equalsNoCase(s.substr(0, 3), "hex")) {
        std::size_t pos = 3;
        d.type = 3;
        if (pos < s.size() && s[pos] == '(') {
            const auto close = s.find(')', pos);
            if (close == std::string_view::npos || close == pos + 1 || close - pos - 1 > 8) {
                why = "bad hex(type)";
                return std::nullopt;
            }
            std::uint32_t t = 0;
            for (std::size_t i = pos + 1; i < close; ++i) {
                const int h = hexDigit(s[i]);
                if (h < 0) {
                    why = "bad hex(type)";
                    return std::nullopt;
                }
                t = t * 16 + static_cast<std::uint32_t>(h);
            }
            d.type = t;
            pos = close + 1;
        }
        if (pos >= s.size() || s[pos] != ':') {
            why = "hex data needs ':'";
            return std::nullopt;
        }
        if (!parseHexList(s.substr(pos + 1), d.data)) {
            why = "bad hex byte list";
            return std::nullopt;
        }
        if (wideText && isWideTextType(d.type)) {
            const std::string narrow = utf16leToCp1252(
                std::string_view(reinterpret_cast<const char*>(d.data.data()), d.data.size()));
            d.data.assign(narrow.begin(), narrow.end());
        }
        return d;
    }
    why = "unknown value data";
    return std::nullopt;
}

// Splits text into lines at LF, dropping a CR before it.
std::vector<std::string_view> splitLines(std::string_view text)
{
    std::vector<std::string_view> lines;
    std::size_t pos = 0;
    while (pos < text.size()) {
        auto end = text.find('\n', pos);
        if (end == std::string_view::npos)
            end = text.size();
        std::string_view line = text.substr(pos, end - pos);
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        lines.push_back(line);
        pos = end + 1;
    }
    return lines;
}

bool fatal(WinError e)
{
    return e != WinError::Success && e != WinError::InvalidParameter && e != WinError::FileNotFound &&
        e != WinError::AccessDenied && e != WinError::KeyDeleted;
}

class Merger {
public:
    Merger(Registry& registry, RegFileMergeReport& report, const RegFileMergeOptions& options)
        : m_registry(registry)
        , m_report(report)
        , m_options(options)
    {}

    WinError run(const std::vector<std::string_view>& lines, bool wideText)
    {
        for (std::size_t i = 1; i < lines.size(); ++i) {
            const std::size_t lineNo = i + 1;
            if (m_options.yield && m_options.yieldEvery > 0 && i % m_options.yieldEvery == 0)
                m_options.yield();
            const std::string_view line = trimLeft(lines[i]);
            if (trimRight(line).empty() || line.front() == ';')
                continue;
            WinError e = WinError::Success;
            if (line.front() == '[') {
                e = section(line, lineNo);
            } else if (line.front() == '@' || line.front() == '"') {
                // Hex data may continue on the following lines, each ending in "\".
                std::string joined(line);
                while (i + 1 < lines.size() && !trimRight(joined).empty() &&
                    trimRight(joined).back() == '\\' && startsHex(joined)) {
                    joined = std::string(trimRight(joined));
                    joined.pop_back();
                    joined += trimLeft(lines[++i]);
                }
                e = value(joined, lineNo, wideText);
            } else {
                warn(lineNo, "not a key, value or comment line");
            }
            if (e != WinError::Success)
                return e;
        }
        return WinError::Success;
    }

private:
    // True when the value line's data is a hex list (the only form that continues over lines).
    static bool startsHex(std::string_view line)
    {
        std::size_t pos = 0;
        std::string name;
        if (line.front() == '@')
            pos = 1;
        else if (!parseQuoted(line, pos, name))
            return false;
        const std::string_view rest = trimLeft(line.substr(pos));
        if (rest.empty() || rest.front() != '=')
            return false;
        const std::string_view data = trimLeft(rest.substr(1));
        return data.size() >= 3 && equalsNoCase(data.substr(0, 3), "hex");
    }

    void warn(std::size_t line, std::string text)
    {
        m_report.warnings.push_back(RegFileWarning{line, std::move(text)});
    }

    WinError section(std::string_view line, std::size_t lineNo)
    {
        m_haveKey = false;
        m_sectionSkipped = true;
        const auto close = line.rfind(']');
        if (close == std::string_view::npos) {
            warn(lineNo, "key line without closing ']'");
            return WinError::Success;
        }
        std::string_view path = line.substr(1, close - 1);
        const bool remove = !path.empty() && path.front() == '-';
        if (remove)
            path.remove_prefix(1);
        const std::string utf8 = cp1252ToUtf8(path);
        RegRoot root{};
        std::string sub;
        if (!splitRegPath(utf8, root, sub)) {
            warn(lineNo, "unknown root key in [" + utf8 + "]");
            return WinError::Success;
        }
        bool emptySub = true;
        for (const char c : sub)
            emptySub = emptySub && c == '\\';
        if (remove) {
            if (emptySub) {
                warn(lineNo, "a root key cannot be deleted: [-" + utf8 + "]");
                return WinError::Success;
            }
            const WinError e = m_registry.deleteTree(root, sub);
            if (e == WinError::Success)
                ++m_report.keysDeleted;
            return fatal(e) ? e : WinError::Success;
        }
        RegKey key;
        const WinError e = m_registry.createKey(root, sub, key);
        if (e != WinError::Success) {
            if (fatal(e))
                return e;
            warn(lineNo, "cannot open key [" + utf8 + "]: " + std::string(winErrorName(e)));
            return WinError::Success;
        }
        m_key = key;
        m_haveKey = true;
        m_sectionSkipped = false;
        ++m_report.keysOpened;
        return WinError::Success;
    }

    WinError value(std::string_view line, std::size_t lineNo, bool wideText)
    {
        std::size_t pos = 0;
        std::string name;
        if (line.front() == '@') {
            pos = 1;
        } else if (!parseQuoted(line, pos, name)) {
            warn(lineNo, "value name without closing quote");
            return WinError::Success;
        }
        std::string_view rest = trimLeft(line.substr(pos));
        if (rest.empty() || rest.front() != '=') {
            warn(lineNo, "value line without '='");
            return WinError::Success;
        }
        rest = trimLeft(rest.substr(1));
        std::string why;
        const std::optional<ParsedData> data = parseData(rest, wideText, why);
        if (!data) {
            warn(lineNo, why);
            return WinError::Success;
        }
        if (!m_haveKey) {
            // The values of a section already warned about go quietly.
            if (!m_sectionSkipped)
                warn(lineNo, "value outside any key");
            return WinError::Success;
        }
        const std::string utf8Name = cp1252ToUtf8(name);
        if (data->remove) {
            const WinError e = m_registry.deleteValue(m_key, utf8Name);
            if (e == WinError::Success)
                ++m_report.valuesDeleted;
            return fatal(e) ? e : WinError::Success;
        }
        const WinError e = m_registry.setValue(m_key, utf8Name, static_cast<RegType>(data->type), data->data);
        if (e != WinError::Success) {
            if (fatal(e))
                return e;
            warn(lineNo, "cannot set value: " + std::string(winErrorName(e)));
            return WinError::Success;
        }
        ++m_report.valuesSet;
        return WinError::Success;
    }

    Registry& m_registry;
    RegFileMergeReport& m_report;
    const RegFileMergeOptions& m_options;
    RegKey m_key;
    bool m_haveKey = false;
    bool m_sectionSkipped = false; // false before the first section: values there are warned about
};

// ---- writing ----

class Writer {
public:
    Writer(Registry& registry, RegFileFormat format)
        : m_registry(registry)
        , m_format(format)
    {}

    WinError header()
    {
        m_out += m_format == RegFileFormat::Regedit4 ? kHeader4 : kHeader5;
        m_out += "\r\n";
        return WinError::Success;
    }

    // Writes a key (path in Windows-1252) and everything below it.
    WinError key(const RegKey& k, const std::string& path)
    {
        m_out += "\r\n[";
        m_out += path;
        m_out += "]\r\n";
        std::vector<RegValue> values;
        if (const WinError e = m_registry.listValues(k, values); e != WinError::Success)
            return e;
        for (const RegValue& v : values)
            value(v);
        std::vector<RegSubKey> subKeys;
        if (const WinError e = m_registry.listSubKeys(k, subKeys); e != WinError::Success)
            return e;
        for (const RegSubKey& sub : subKeys)
            if (const WinError e = key(sub.key, path + "\\" + utf8ToCp1252(sub.name)); e != WinError::Success)
                return e;
        return WinError::Success;
    }

    std::string finish()
    {
        m_out += "\r\n";
        if (m_format == RegFileFormat::Regedit4)
            return std::move(m_out);
        std::string wide(kBom);
        wide += cp1252ToUtf16le(m_out);
        return wide;
    }

private:
    void value(const RegValue& v)
    {
        const std::size_t lineStart = m_out.size();
        if (v.name.empty()) {
            m_out += '@';
        } else {
            m_out += '"';
            m_out += regFileEscape(utf8ToCp1252(v.name));
            m_out += '"';
        }
        m_out += '=';
        const auto type = static_cast<std::uint32_t>(v.type);
        if (type == 1 && isPlainString(v.data)) {
            m_out += '"';
            m_out += regFileEscape(
                std::string_view(reinterpret_cast<const char*>(v.data.data()), v.data.size() - 1));
            m_out += "\"\r\n";
            return;
        }
        if (type == 4 && v.data.size() == 4) {
            char buf[16];
            std::snprintf(buf, sizeof buf, "dword:%08x", *regDataDword(v.data));
            m_out += buf;
            m_out += "\r\n";
            return;
        }
        if (type == 3) {
            m_out += "hex:";
        } else {
            char buf[24];
            std::snprintf(buf, sizeof buf, "hex(%x):", type);
            m_out += buf;
        }
        if (m_format == RegFileFormat::Version5 && isWideTextType(type)) {
            const std::string wide = cp1252ToUtf16le(
                std::string_view(reinterpret_cast<const char*>(v.data.data()), v.data.size()));
            hexList(std::string_view(wide), lineStart);
        } else {
            hexList(std::string_view(reinterpret_cast<const char*>(v.data.data()), v.data.size()), lineStart);
        }
        m_out += "\r\n";
    }

    // A REG_SZ that the quoted form holds exactly: one terminating zero, no other zero, no line break.
    static bool isPlainString(const RegBytes& data)
    {
        if (data.empty() || data.back() != 0)
            return false;
        for (std::size_t i = 0; i + 1 < data.size(); ++i)
            if (data[i] == 0 || data[i] == '\r' || data[i] == '\n')
                return false;
        return true;
    }

    void hexList(std::string_view bytes, std::size_t lineStart)
    {
        static const char kDigits[] = "0123456789abcdef";
        std::size_t column = m_out.size() - lineStart;
        for (std::size_t i = 0; i < bytes.size(); ++i) {
            const auto b = static_cast<unsigned char>(bytes[i]);
            m_out += kDigits[b >> 4];
            m_out += kDigits[b & 15];
            column += 2;
            if (i + 1 < bytes.size()) {
                m_out += ',';
                ++column;
                if (column >= kWrapAt) {
                    m_out += "\\\r\n  ";
                    column = 2;
                }
            }
        }
    }

    Registry& m_registry;
    RegFileFormat m_format;
    std::string m_out;
};

WinError readWholeFile(const std::filesystem::path& file, std::string& bytes, std::string& message)
{
    std::error_code ec;
    if (!std::filesystem::exists(file, ec)) {
        message = "cannot find " + file.string();
        return WinError::FileNotFound;
    }
    if (std::filesystem::is_directory(file, ec)) {
        message = file.string() + " is a folder, not a registry file";
        return WinError::AccessDenied;
    }
    std::ifstream in(file, std::ios::binary);
    if (!in) {
        message = "cannot open " + file.string();
        return WinError::AccessDenied;
    }
    bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    if (in.bad()) {
        message = "cannot read " + file.string();
        return WinError::ReadFault;
    }
    return WinError::Success;
}

} // namespace

std::string regFileEscape(std::string_view text)
{
    std::string out;
    out.reserve(text.size() + 8);
    for (const char c : text) {
        if (c == '\\' || c == '"')
            out += '\\';
        out += c;
    }
    return out;
}

WinError mergeRegText(Registry& registry, std::string_view fileBytes, RegFileMergeReport& report,
    const RegFileMergeOptions& options)
{
    return guarded([&] {
        report = RegFileMergeReport{};
        std::string narrow;
        std::string_view text = fileBytes;
        const bool wide = fileBytes.substr(0, 2) == kBom;
        if (wide) {
            narrow = utf16leToCp1252(fileBytes.substr(2));
            text = narrow;
        }
        const std::vector<std::string_view> lines = splitLines(text);
        const std::string_view first = lines.empty() ? std::string_view() : trimRight(lines.front());
        if (first == kHeader4) {
            report.format = RegFileFormat::Regedit4;
        } else if (first == kHeader5) {
            report.format = RegFileFormat::Version5;
        } else {
            report.message = "not a registry file: the first line must be REGEDIT4 or Windows Registry "
                             "Editor Version 5.00";
            return WinError::BadFormat;
        }
        RegTransaction tx(registry);
        if (tx.status() != WinError::Success) {
            report.message = "cannot lock the registry: " + std::string(winErrorName(tx.status()));
            return tx.status();
        }
        Merger merger(registry, report, options);
        const WinError e = merger.run(lines, wide);
        if (e != WinError::Success) {
            report.message =
                "registry failure while merging: " + std::string(winErrorName(e)) + "; nothing was changed";
            return e;
        }
        const WinError committed = tx.commit();
        if (committed != WinError::Success)
            report.message =
                "cannot commit the merge: " + std::string(winErrorName(committed)) + "; nothing was changed";
        return committed;
    });
}

WinError mergeRegFile(Registry& registry, const std::filesystem::path& file, RegFileMergeReport& report,
    const RegFileMergeOptions& options)
{
    return guarded([&] {
        std::string bytes;
        std::string message;
        if (const WinError e = readWholeFile(file, bytes, message); e != WinError::Success) {
            report = RegFileMergeReport{};
            report.message = message;
            return e;
        }
        const WinError e = mergeRegText(registry, bytes, report, options);
        if (e != WinError::Success)
            report.message = file.string() + ": " + report.message;
        return e;
    });
}

WinError exportRegText(Registry& registry, std::string_view key, RegFileFormat format, std::string& fileBytes,
    std::string* message)
{
    return guarded([&] {
        Writer writer(registry, format);
        writer.header();
        // One transaction gives a consistent picture while other processes write.
        RegTransaction tx(registry);
        if (tx.status() != WinError::Success) {
            if (message)
                *message = "cannot lock the registry: " + std::string(winErrorName(tx.status()));
            return tx.status();
        }
        if (key.empty()) {
            for (const RegRoot root :
                {RegRoot::LocalMachine, RegRoot::CurrentUser, RegRoot::Users, RegRoot::CurrentConfig})
                if (const WinError e = writer.key(root, std::string(regRootName(root)));
                    e != WinError::Success)
                    return e;
        } else {
            RegRoot root{};
            std::string sub;
            if (!splitRegPath(key, root, sub)) {
                if (message)
                    *message = "unknown root key in " + std::string(key);
                return WinError::FileNotFound;
            }
            RegKey k;
            if (const WinError e = registry.openKey(root, sub, k); e != WinError::Success) {
                if (message)
                    *message = "cannot find key " + std::string(key);
                return e;
            }
            std::string path(regRootName(root));
            std::size_t pos = 0;
            while (pos <= sub.size()) {
                auto end = sub.find('\\', pos);
                if (end == std::string::npos)
                    end = sub.size();
                if (end > pos)
                    path += "\\" + sub.substr(pos, end - pos);
                pos = end + 1;
            }
            if (const WinError e = writer.key(k, utf8ToCp1252(path)); e != WinError::Success)
                return e;
        }
        fileBytes = writer.finish();
        return WinError::Success;
    });
}

WinError exportRegFile(Registry& registry, const std::filesystem::path& file, std::string_view key,
    RegFileFormat format, std::string* message)
{
    return guarded([&] {
        std::string bytes;
        if (const WinError e = exportRegText(registry, key, format, bytes, message); e != WinError::Success)
            return e;
        std::error_code ec;
        const std::filesystem::path folder = file.parent_path();
        if (!folder.empty() && !std::filesystem::is_directory(folder, ec)) {
            if (message)
                *message = "cannot write " + file.string() + ": its folder does not exist";
            return WinError::PathNotFound;
        }
        std::ofstream out(file, std::ios::binary | std::ios::trunc);
        if (!out) {
            if (message)
                *message = "cannot create " + file.string();
            return WinError::AccessDenied;
        }
        out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        out.close();
        if (!out) {
            if (message)
                *message = "cannot write " + file.string();
            return WinError::WriteFault;
        }
        return WinError::Success;
    });
}

} // namespace platform
