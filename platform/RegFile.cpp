// RegFile.cpp: writing registry files in both of the registry editor's formats, and reading one from
// disk for a merge (the reading of the text is in RegFileReader.cpp).
#include "platform/RegFile.h"

#include "platform/HostFile.h"

#include "common/HostCalls.h"
#include "platform/CodePage.h"
#include "platform/Guarded.h"

#include <cstdio>
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

// Types whose data a version 5.00 file writes as UTF-16LE text in hex form.
bool isWideTextType(std::uint32_t type) { return type == 1 || type == 2 || type == 7; }

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
    // Depth first without recursion, so that however deep a registry is, its export cannot
    // exhaust the stack: each key, its values, then its sub-keys in enumeration order.
    WinError key(const RegKey& top, const std::string& topPath)
    {
        std::vector<std::pair<RegKey, std::string>> todo{{top, topPath}};
        while (!todo.empty()) {
            const auto [k, path] = std::move(todo.back());
            todo.pop_back();
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
            for (auto it = subKeys.rbegin(); it != subKeys.rend(); ++it)
                todo.emplace_back(it->key, path + "\\" + utf8ToCp1252(it->name));
        }
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
        message = "cannot find the file";
        return WinError::FileNotFound;
    }
    if (std::filesystem::is_directory(file, ec)) {
        message = "a folder, not a registry file";
        return WinError::AccessDenied;
    }
    // Read through the host-call seam: a read that fails part way merges nothing.
    switch (common::hostcalls::readWhole(file.c_str(), bytes, bytes.max_size())) {
    case common::hostcalls::ReadResult::Read: break;
    case common::hostcalls::ReadResult::Missing:
        message = "cannot find the file";
        return WinError::FileNotFound;
    case common::hostcalls::ReadResult::NotOpened:
        message = "cannot open the file";
        return WinError::AccessDenied;
    case common::hostcalls::ReadResult::NotRead:
    case common::hostcalls::ReadResult::TooLarge:
        message = "cannot read the file";
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
        return replaceHostFile(file, bytes, message);
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
            report.message = file.string() + ": " + message;
            return e;
        }
        const WinError e = mergeRegText(registry, bytes, report, options);
        if (e != WinError::Success)
            report.message = file.string() + ": " + report.message;
        return e;
    });
}

} // namespace platform
