// RegFileReader.cpp: reading (merging) registry files as the registry editor imports them:
// "REGEDIT4" (Windows-1252), "Windows Registry Editor Version 5.00" (UTF-16LE) and the old
// "REGEDIT" form, line by line, a malformed value passed over with its line number.
#include "platform/RegFile.h"

#include "common/Text.h"
#include "platform/CodePage.h"
#include "platform/Guarded.h"
#include "platform/RegFileConfinement.h"
#include "platform/RegFileTarget.h"

#include <optional>
#include <system_error>

namespace platform {
namespace {

constexpr std::string_view kHeader4 = "REGEDIT4";
constexpr std::string_view kHeader5 = "Windows Registry Editor Version 5.00";
constexpr std::string_view kHeaderOld = "REGEDIT";
constexpr std::string_view kBom = "\xFF\xFE";

bool isBlank(char c) { return c == ' ' || c == '\t'; }
// A line of its own may begin a comment with either; after a value's data only ';' does.
bool isCommentStart(char c) { return c == ';' || c == '#'; }

using common::trimmed;
using common::trimmedLeft;
using common::trimmedRight;

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

// What may follow a complete value: nothing but blanks, or a ";" comment ("#" there is text).
bool onlyCommentLeft(std::string_view rest)
{
    rest = trimmedLeft(rest);
    return rest.empty() || rest.front() == ';';
}

// Splits text into lines at CR LF, LF or a lone CR, in any mix; the last line needs no line end.
std::vector<std::string_view> splitLines(std::string_view text)
{
    std::vector<std::string_view> lines;
    std::size_t start = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\n' && text[i] != '\r')
            continue;
        lines.push_back(text.substr(start, i - start));
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
            ++i;
        start = i + 1;
    }
    if (start < text.size())
        lines.push_back(text.substr(start));
    return lines;
}

// A quoted text starting at s[pos] == '"'; pos ends after the closing quote. "\\" and "\"" are the
// only escapes: any other backslash, or a text without its closing quote on the line, is refused.
bool parseQuoted(std::string_view s, std::size_t& pos, std::string& out, std::string& why)
{
    out.clear();
    for (std::size_t i = pos + 1; i < s.size(); ++i) {
        const char c = s[i];
        if (c == '"') {
            pos = i + 1;
            return true;
        }
        if (c == '\\') {
            if (i + 1 < s.size() && (s[i + 1] == '\\' || s[i + 1] == '"')) {
                out += s[++i];
                continue;
            }
            why = "unknown escape in a quoted text (only \\\\ and \\\" are allowed)";
            return false;
        }
        out += c;
    }
    why = "quoted text without its closing quote on the line";
    return false;
}

enum class HexRun {
    Complete,  // the list ended (a comment may have followed)
    Continues, // the line ended in ",\": the next line carries more bytes
    Invalid,
};

// Reads a run of hex bytes ("01,2,ff" with an optional trailing comma) into out. Blanks may stand
// around the bytes and commas; a ";" comment may follow the last byte or comma; ",\" (then blanks
// or a ";" comment) continues the list on the next line. On the value's own line (afterType) a
// lone "\" right after the type's ':' also continues it: the bytes all follow on the next lines.
HexRun readHexRun(std::string_view s, RegBytes& out, std::string& why, bool afterType = false)
{
    std::size_t i = 0;
    bool afterComma = false;
    bool anyByte = false;
    auto skipBlanks = [&] {
        while (i < s.size() && isBlank(s[i]))
            ++i;
    };
    skipBlanks();
    while (i < s.size()) {
        const char c = s[i];
        if (c == ';')
            return HexRun::Complete;
        if (c == '\\') {
            if (!afterComma && (anyByte || !afterType)) {
                why = "a line of hex bytes can only continue after a comma";
                return HexRun::Invalid;
            }
            const std::string_view rest = trimmedLeft(s.substr(i + 1));
            if (!rest.empty() && rest.front() != ';') {
                why = "text after the continuation backslash";
                return HexRun::Invalid;
            }
            return HexRun::Continues;
        }
        if (c == ',') {
            if (!anyByte || afterComma) {
                why = "a comma without a hex byte before it";
                return HexRun::Invalid;
            }
            afterComma = true;
            ++i;
            skipBlanks();
            continue;
        }
        if (hexDigit(c) < 0 || (anyByte && !afterComma)) {
            why = "not a hex byte";
            return HexRun::Invalid;
        }
        int value = 0;
        int digits = 0;
        while (i < s.size() && hexDigit(s[i]) >= 0) {
            if (digits < 2) // a longer run is refused below; its value is never needed
                value = value * 16 + hexDigit(s[i]);
            ++digits;
            ++i;
        }
        if (digits > 2) {
            why = "a hex byte has one or two digits";
            return HexRun::Invalid;
        }
        out.push_back(static_cast<std::uint8_t>(value));
        anyByte = true;
        afterComma = false;
        skipBlanks();
    }
    return HexRun::Complete;
}

// One value as read so far.
struct ValueLine {
    std::string name;
    bool isDefault = false;
    bool remove = false;
    std::uint32_t type = 0;
    RegBytes data;
    bool hex = false;
};

enum class ValueStatus { Complete, Continues, Invalid };

// The data of a quoted string value: `"text"`, a comment may follow.
ValueStatus readStringData(std::string_view rest, ValueLine& v, std::string& why)
{
    std::size_t end = 0;
    std::string text;
    if (!parseQuoted(rest, end, text, why))
        return ValueStatus::Invalid;
    if (!onlyCommentLeft(rest.substr(end))) {
        why = "text after the closing quote";
        return ValueStatus::Invalid;
    }
    v.type = 1;
    v.data.assign(text.begin(), text.end());
    v.data.push_back(0);
    return ValueStatus::Complete;
}

// The data of a DWORD value: `dword:` and 1 to 8 hex digits, a comment may follow.
ValueStatus readDwordData(std::string_view rest, ValueLine& v, std::string& why)
{
    const std::string_view digits = trimmedLeft(rest.substr(6));
    std::size_t n = 0;
    std::uint32_t value = 0;
    while (n < digits.size() && hexDigit(digits[n]) >= 0) {
        value = value * 16 + static_cast<std::uint32_t>(hexDigit(digits[n]));
        ++n;
    }
    if (n == 0 || n > 8 || !onlyCommentLeft(digits.substr(n))) {
        why = "dword needs 1 to 8 hex digits";
        return ValueStatus::Invalid;
    }
    v.type = 4;
    v.data = regDwordData(value);
    return ValueStatus::Complete;
}

// The data of a hex value: `hex:` or `hex(N):` (N in hex) and a run of bytes, which may go on
// on the next line.
ValueStatus readHexData(std::string_view rest, ValueLine& v, std::string& why)
{
    std::size_t p = 3;
    v.type = 3;
    v.hex = true;
    if (p < rest.size() && rest[p] == '(') {
        const std::size_t close = rest.find(')', p);
        if (close == std::string_view::npos || close == p + 1 || close - p - 1 > 8) {
            why = "bad hex(type)";
            return ValueStatus::Invalid;
        }
        std::uint32_t t = 0;
        for (std::size_t i = p + 1; i < close; ++i) {
            if (hexDigit(rest[i]) < 0) {
                why = "bad hex(type)";
                return ValueStatus::Invalid;
            }
            t = t * 16 + static_cast<std::uint32_t>(hexDigit(rest[i]));
        }
        v.type = t;
        p = close + 1;
    }
    if (p >= rest.size() || rest[p] != ':') {
        why = "hex data needs ':'";
        return ValueStatus::Invalid;
    }
    switch (readHexRun(rest.substr(p + 1), v.data, why, true)) {
    case HexRun::Complete: return ValueStatus::Complete;
    case HexRun::Continues: return ValueStatus::Continues;
    case HexRun::Invalid: return ValueStatus::Invalid;
    }
    why = "unknown value data";
    return ValueStatus::Invalid;
}

// Reads `"name"=data` or `@=data`; for hex data it may leave the list to be continued.
ValueStatus readValueLine(std::string_view line, ValueLine& v, std::string& why)
{
    std::size_t pos = 0;
    if (line.front() == '@') {
        v.isDefault = true;
        pos = 1;
    } else if (!parseQuoted(line, pos, v.name, why)) {
        return ValueStatus::Invalid;
    }
    std::string_view rest = trimmedLeft(line.substr(pos));
    if (rest.empty() || rest.front() != '=') {
        why = "value line without '='";
        return ValueStatus::Invalid;
    }
    rest = trimmedLeft(rest.substr(1));
    if (rest.empty()) {
        why = "value line without data";
        return ValueStatus::Invalid;
    }
    if (rest.front() == '-') {
        if (!onlyCommentLeft(rest.substr(1))) {
            why = "text after '=-'";
            return ValueStatus::Invalid;
        }
        v.remove = true;
        return ValueStatus::Complete;
    }
    if (rest.front() == '"')
        return readStringData(rest, v, why);
    if (rest.size() >= 6 && equalsNoCase(rest.substr(0, 6), "dword:"))
        return readDwordData(rest, v, why);
    if (rest.size() >= 3 && equalsNoCase(rest.substr(0, 3), "hex"))
        return readHexData(rest, v, why);
    why = "unknown value data";
    return ValueStatus::Invalid;
}

// String types written in hex end with one terminator: a zero byte under "REGEDIT4", a zero
// character (two bytes, UTF-16LE) under "Windows Registry Editor Version 5.00", whatever the file's
// own encoding. Their UTF-16 text is stored in the machine's code page. An empty hex(2) or hex(7)
// stays empty: the editor adds no terminator to no data.
void finishHexData(ValueLine& v, bool wideText)
{
    const bool textType = v.type == 1 || v.type == 2 || v.type == 7;
    if (!v.hex || !textType || (v.data.empty() && v.type != 1))
        return;
    if (wideText) {
        // An odd last byte is the low half of a character.
        if (v.data.size() % 2 != 0)
            v.data.push_back(0);
        const std::size_t n = v.data.size();
        if (n < 2 || v.data[n - 1] != 0 || v.data[n - 2] != 0) {
            v.data.push_back(0);
            v.data.push_back(0);
        }
        const std::string narrow =
            utf16leToCp1252(std::string_view(reinterpret_cast<const char*>(v.data.data()), v.data.size()));
        v.data.assign(narrow.begin(), narrow.end());
    } else if (v.data.empty() || v.data.back() != 0) {
        v.data.push_back(0);
    }
}

bool fatal(WinError e)
{
    return e != WinError::Success && e != WinError::InvalidParameter && e != WinError::FileNotFound &&
        e != WinError::AccessDenied && e != WinError::KeyDeleted;
}

class Merger {
public:
    Merger(MergeTarget& target, RegFileMergeReport& report, const RegFileMergeOptions& options, bool wideText)
        : m_target(target)
        , m_report(report)
        , m_options(options)
        , m_wide(wideText)
        , m_confinement(options.confineTo)
    {}

    // Merges the lines after the header line.
    WinError run(const std::vector<std::string_view>& lines, bool oldForm)
    {
        m_lines = &lines;
        for (m_next = 1; m_next < lines.size();) {
            const std::size_t index = m_next++;
            if (m_options.yieldEvery > 0 && index % m_options.yieldEvery == 0) {
                if (m_options.yield)
                    m_options.yield();
                if (m_options.stop && m_options.stop()) {
                    m_report.message = "stopped at line " + std::to_string(index + 1);
                    return WinError::Cancelled;
                }
            }
            const std::size_t lineNo = index + 1;
            if (oldForm) {
                if (const WinError e = oldFormLine(lines[index], lineNo); e != WinError::Success)
                    return e;
                continue;
            }
            const std::string_view line = trimmedLeft(lines[index]);
            if (trimmedRight(line).empty() || isCommentStart(line.front()))
                continue;
            WinError e = WinError::Success;
            if (line.front() == '[')
                e = section(line, lineNo);
            else if (line.front() == '@' || line.front() == '"')
                e = value(line, lineNo);
            else
                warn(lineNo, "not a key, value or comment line");
            if (e != WinError::Success)
                return e;
        }
        return WinError::Success;
    }

private:
    void warn(std::size_t line, std::string text, bool kept = false)
    {
        // A warning quotes at most a short piece of a long line.
        constexpr std::size_t kMaxWarning = 200;
        if (text.size() > kMaxWarning)
            text = text.substr(0, kMaxWarning) + "...";
        m_report.warnings.push_back(RegFileWarning{line, std::move(text), kept});
    }

    // A key outside the confinement refuses the file: the merge stops and nothing is committed.
    WinError refuseOutside(RegRoot root, const std::string& sub, const std::string& shown, std::size_t lineNo)
    {
        if (m_confinement.allows(root, sub))
            return WinError::Success;
        m_report.refusedLine = lineNo;
        m_report.message = "line " + std::to_string(lineNo) + ": the key [" + shown +
            "] lies outside the keys this file may change";
        return WinError::AccessDenied;
    }

    WinError openKey(RegRoot root, const std::string& sub, const std::string& shown, std::size_t lineNo)
    {
        if (const WinError e = refuseOutside(root, sub, shown, lineNo); e != WinError::Success)
            return e;
        RegKey key;
        const WinError e = m_target.createKey(root, sub, key);
        if (e != WinError::Success) {
            if (fatal(e))
                return e;
            warn(lineNo, "cannot open key [" + shown + "]: " + std::string(winErrorName(e)));
            return WinError::Success;
        }
        m_key = key;
        m_haveKey = true;
        m_sectionSkipped = false;
        ++m_report.keysOpened;
        return WinError::Success;
    }

    WinError section(std::string_view line, std::size_t lineNo)
    {
        m_haveKey = false;
        m_sectionSkipped = true;
        const std::size_t close = line.rfind(']');
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
        if (!remove)
            return openKey(root, sub, utf8, lineNo);
        if (const WinError e = refuseOutside(root, sub, "-" + utf8, lineNo); e != WinError::Success)
            return e;
        if (sub.find_first_not_of('\\') == std::string::npos) {
            warn(lineNo, "a root key cannot be deleted: [-" + utf8 + "]");
            return WinError::Success;
        }
        const WinError e = m_target.deleteTree(root, sub);
        if (e == WinError::Success)
            ++m_report.keysDeleted;
        return fatal(e) ? e : WinError::Success;
    }

    // The next line that continues a hex list: not blank and not a ";" comment. Null at the end.
    const std::string_view* nextContinuation()
    {
        while (m_next < m_lines->size()) {
            const std::string_view& line = (*m_lines)[m_next];
            const std::string_view t = trimmedLeft(line);
            if (!t.empty() && t.front() != ';')
                return &line;
            ++m_next;
        }
        return nullptr;
    }

    WinError value(std::string_view line, std::size_t lineNo)
    {
        ValueLine v;
        std::string why;
        ValueStatus status = readValueLine(line, v, why);
        bool cutOff = false;
        while (status == ValueStatus::Continues) {
            const std::string_view* more = nextContinuation();
            if (!more) {
                // The end of the file ends the list: the value keeps the bytes read, finished as a
                // complete list is (a string type gets its terminator).
                cutOff = true;
                status = ValueStatus::Complete;
                break;
            }
            const std::size_t moreNo = ++m_next;
            const std::string_view run = trimmedLeft(*more);
            // Inside a list a "#" line is no comment: it ends the value as any other text would.
            const HexRun r = run.front() == '#' ? HexRun::Invalid : readHexRun(run, v.data, why);
            if (run.front() == '#')
                why = "a comment line";
            switch (r) {
            case HexRun::Complete: status = ValueStatus::Complete; break;
            case HexRun::Continues: break;
            case HexRun::Invalid:
                why = "line " + std::to_string(moreNo) + " does not continue the hex list: " + why;
                status = ValueStatus::Invalid;
                break;
            }
        }
        if (status == ValueStatus::Invalid) {
            warn(lineNo, why);
            return WinError::Success;
        }
        if (!m_haveKey) {
            // The values of a section already warned about go quietly.
            if (!m_sectionSkipped)
                warn(lineNo, "value outside any key");
            return WinError::Success;
        }
        if (cutOff)
            warn(lineNo, "the file ends inside the hex list: the bytes read are kept", true);
        finishHexData(v, m_wide);
        return store(v, lineNo);
    }

    WinError store(const ValueLine& v, std::size_t lineNo)
    {
        const std::string utf8Name = v.isDefault ? std::string() : cp1252ToUtf8(v.name);
        if (v.remove) {
            const WinError e = m_target.deleteValue(m_key, utf8Name);
            if (e == WinError::Success)
                ++m_report.valuesDeleted;
            return fatal(e) ? e : WinError::Success;
        }
        const WinError e = m_target.setValue(m_key, utf8Name, static_cast<RegType>(v.type), v.data);
        if (e != WinError::Success) {
            if (fatal(e))
                return e;
            warn(lineNo, "cannot set value: " + std::string(winErrorName(e)));
            return WinError::Success;
        }
        ++m_report.valuesSet;
        return WinError::Success;
    }

    // The old form: a line "HKEY_CLASSES_ROOT\key = text" (starting at its first character) sets
    // the key's default value. The key name ends at the first blank; then blanks, an optional "="
    // and at most one blank are skipped, and the rest of the line, trailing blanks included, is the
    // text (empty when nothing follows). Other lines are passed over.
    WinError oldFormLine(std::string_view line, std::size_t lineNo)
    {
        static constexpr std::string_view kClassesRoot = "HKEY_CLASSES_ROOT";
        if (line.substr(0, kClassesRoot.size()) != kClassesRoot) {
            if (!trimmed(line).empty())
                warn(lineNo, "not a HKEY_CLASSES_ROOT line");
            return WinError::Success;
        }
        std::size_t keyEnd = 0;
        while (keyEnd < line.size() && !isBlank(line[keyEnd]))
            ++keyEnd;
        std::size_t pos = keyEnd;
        while (pos < line.size() && isBlank(line[pos]))
            ++pos;
        if (pos < line.size() && line[pos] == '=')
            ++pos;
        if (pos < line.size() && line[pos] == ' ')
            ++pos;
        const std::string utf8 = cp1252ToUtf8(line.substr(0, keyEnd));
        RegRoot root{};
        std::string sub;
        if (!splitRegPath(utf8, root, sub) || root != RegRoot::ClassesRoot) {
            warn(lineNo, "not a HKEY_CLASSES_ROOT key: " + utf8);
            return WinError::Success;
        }
        if (const WinError e = openKey(root, sub, utf8, lineNo); e != WinError::Success || !m_haveKey)
            return e;
        ValueLine v;
        v.isDefault = true;
        v.type = 1;
        const std::string_view text = line.substr(pos);
        v.data.assign(text.begin(), text.end());
        v.data.push_back(0);
        return store(v, lineNo);
    }

    MergeTarget& m_target;
    RegFileMergeReport& m_report;
    const RegFileMergeOptions& m_options;
    const bool m_wide;
    const Confinement m_confinement;
    const std::vector<std::string_view>* m_lines = nullptr;
    std::size_t m_next = 0;
    RegKey m_key;
    bool m_haveKey = false;
    bool m_sectionSkipped = false; // false before the first section: values there are warned about
};

// The lines of a registry file after its header, and the header's form; BadFormat (report.message
// set) when it has none. `narrow` keeps the Windows-1252 text of a UTF-16 file the lines point into.
WinError readHeader(std::string_view fileBytes, RegFileMergeReport& report, std::string& narrow,
    std::vector<std::string_view>& lines, bool& oldForm)
{
    report = RegFileMergeReport{};
    std::string_view text = fileBytes;
    if (fileBytes.substr(0, 2) == kBom) {
        narrow = utf16leToCp1252(fileBytes.substr(2));
        text = narrow;
    }
    lines = splitLines(text);
    // Blanks may stand before the header, nothing after it: "REGEDIT4 " or "REGEDIT 4" is
    // not a header, and such a file imports nothing.
    const std::string_view first = lines.empty() ? std::string_view() : trimmedLeft(lines.front());
    oldForm = false;
    if (first == kHeader4) {
        report.format = RegFileFormat::Regedit4;
    } else if (first == kHeader5) {
        report.format = RegFileFormat::Version5;
    } else if (first == kHeaderOld) {
        report.format = RegFileFormat::Regedit4;
        oldForm = true;
    } else {
        report.message = "not a registry file: the first line must be REGEDIT4 or Windows Registry "
                         "Editor Version 5.00";
        return WinError::BadFormat;
    }
    return WinError::Success;
}

} // namespace

WinError mergeRegText(Registry& registry, std::string_view fileBytes, RegFileMergeReport& report,
    const RegFileMergeOptions& options)
{
    return guarded([&] {
        std::string narrow;
        std::vector<std::string_view> lines;
        bool oldForm = false;
        if (const WinError e = readHeader(fileBytes, report, narrow, lines, oldForm); e != WinError::Success)
            return e;
        RegTransaction tx(registry);
        if (tx.status() != WinError::Success) {
            report.message = "cannot lock the registry: " + std::string(winErrorName(tx.status()));
            return tx.status();
        }
        RegistryTarget target(registry);
        Merger merger(target, report, options, report.format == RegFileFormat::Version5);
        const WinError e = merger.run(lines, oldForm);
        if (e != WinError::Success && (report.refusedLine != 0 || e == WinError::Cancelled))
            return e;
        if (e != WinError::Success) {
            report.message =
                "registry failure while merging: " + std::string(winErrorName(e)) + "; nothing was changed";
            return e;
        }
        const WinError committed = tx.commit();
        if (committed != WinError::Success)
            report.message =
                "cannot commit the merge: " + std::string(winErrorName(committed)) + "; nothing was changed";
        else if (report.keysDeleted > 0 && !registry.inTransaction())
            // A removed subtree (a whole mirror, say) would otherwise stay as free room in the file.
            registry.giveBackSpace();
        return committed;
    });
}

WinError checkRegText(
    std::string_view fileBytes, RegFileMergeReport& report, const RegFileMergeOptions& options)
{
    return guarded([&] {
        std::string narrow;
        std::vector<std::string_view> lines;
        bool oldForm = false;
        if (const WinError e = readHeader(fileBytes, report, narrow, lines, oldForm); e != WinError::Success)
            return e;
        CheckTarget target(options.listKeys ? &report.keys : nullptr);
        return Merger(target, report, options, report.format == RegFileFormat::Version5).run(lines, oldForm);
    });
}

} // namespace platform
