// IniFile.cpp: line-preserving reading and writing of the settings file.
#include "foldersize/services/IniFile.h"

#include "common/HostCalls.h"
#include "common/IniLine.h"
#include "foldersize/services/ErrorReport.h"
#include "foldersize/services/Windows1252.h"

#include <algorithm>
#include <optional>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringList>

namespace foldersize {
namespace {

enum class LineBytes { Ascii, Utf8, Other };

LineBytes lineBytes(QByteArrayView b)
{
    if (std::all_of(b.begin(), b.end(), [](char c) { return (c & 0x80) == 0; }))
        return LineBytes::Ascii;
    // UTF-8 only when the bytes survive a round trip: a decoder alone accepts a sequence cut off
    // at the end (it waits for more), and rewriting would then change those bytes.
    return QString::fromUtf8(b).toUtf8() == b ? LineBytes::Utf8 : LineBytes::Other;
}

// The settings file as its lines, each kept as the bytes it had (with its own line end), so that
// lines nobody writes are written back byte for byte. Each line is read as UTF-8 when it is UTF-8,
// else as Windows-1252 (as older files and other programs write them), so that one stray byte
// cannot hide the file's other keys. Lines written are UTF-8, unless the file is Windows-1252
// throughout (which then stays so).
struct IniLines {
    QList<QByteArray> bytes; // without line ends
    QList<QByteArray> ends;  // "\r\n", "\n", "\r" or "" (a last line without one)
    QList<LineBytes> kinds;  // per line: read as UTF-8 unless Other (then as Windows-1252)
    bool utf8 = true;        // the encoding of lines written
    bool tooLarge = false;   // the file is larger than kIniFileMax and was not read
    bool unreadable = false; // the file is there but could not be read: it must not be written
    QByteArray newLineEnd = "\n";

    qsizetype size() const { return bytes.size(); }
    bool asUtf8(qsizetype i) const { return kinds[i] != LineBytes::Other; }
    QString text(qsizetype i) const;
    QByteArray encode(const QString& line) const;
    void set(qsizetype i, const QString& line)
    {
        bytes[i] = encode(line);
        kinds[i] = lineBytes(bytes[i]); // as the line reads back
    }
    void insert(qsizetype i, const QString& line)
    {
        bytes.insert(i, encode(line));
        ends.insert(i, newLineEnd);
        kinds.insert(i, lineBytes(bytes[i]));
    }
    void erase(qsizetype begin, qsizetype end)
    {
        bytes.erase(bytes.begin() + begin, bytes.begin() + end);
        ends.erase(ends.begin() + begin, ends.begin() + end);
        kinds.erase(kinds.begin() + begin, kinds.begin() + end);
    }
    void settle();
};

// The lines as the file just written from them reads back, for the next change of a batch, so
// that a batch ends where its changes one after the other end: every line has its line end, a
// CR end and an empty line's LF after it are one CR LF, a UTF-8 file's stray lines are UTF-8, and
// the encoding and the line end of lines written are the file's as it now is.
void IniLines::settle()
{
    // The file's last line, which may have had none (lines may have been added after it since).
    for (QByteArray& end : ends)
        if (end.isEmpty())
            end = newLineEnd;
    for (qsizetype i = 0; i + 1 < size(); ++i) {
        if (ends[i] == "\r" && bytes[i + 1].isEmpty() && ends[i + 1] == "\n") {
            ends[i] = "\r\n";
            erase(i + 1, i + 2);
        }
    }
    for (qsizetype i = 0; utf8 && i < size(); ++i)
        if (!asUtf8(i))
            set(i, text(i));
    const bool utf8Seen = kinds.contains(LineBytes::Utf8);
    utf8 = utf8Seen || !kinds.contains(LineBytes::Other);
    const auto firstEnd =
        std::find_if(ends.cbegin(), ends.cend(), [](const QByteArray& e) { return !e.isEmpty(); });
    if (firstEnd != ends.cend())
        newLineEnd = *firstEnd;
    else if (size() == 0)
        newLineEnd = "\n";
}

QString IniLines::text(qsizetype i) const
{
    return asUtf8(i) ? QString::fromUtf8(bytes[i]) : fromWindows1252(bytes[i]);
}

// The file's bytes (through the host-call seam), at most kIniFileMax of them: TooLarge for a larger
// file, which is not read any further.
common::hostcalls::ReadResult readBounded(const QString& file, QByteArray& all)
{
    std::string bytes;
    const auto result = common::hostcalls::readWhole(
        QFile::encodeName(file).constData(), bytes, static_cast<std::size_t>(kIniFileMax));
    all = QByteArray(bytes.data(), static_cast<qsizetype>(bytes.size()));
    return result;
}

QByteArray IniLines::encode(const QString& line) const { return utf8 ? line.toUtf8() : toWindows1252(line); }

IniLines readLines(const QString& file)
{
    using common::hostcalls::ReadResult;
    IniLines lines;
    QByteArray all;
    switch (readBounded(file, all)) {
    case ReadResult::Read: break;
    case ReadResult::Missing: return lines;
    case ReadResult::TooLarge: lines.tooLarge = true; return lines;
    case ReadResult::NotOpened:
    case ReadResult::NotRead: lines.unreadable = true; return lines;
    }
    bool endSeen = false;
    qsizetype start = 0;
    for (qsizetype i = 0; i < all.size(); ++i) {
        if (all[i] != '\n' && all[i] != '\r')
            continue;
        const qsizetype endLength = all[i] == '\r' && i + 1 < all.size() && all[i + 1] == '\n' ? 2 : 1;
        lines.bytes.append(all.mid(start, i - start));
        lines.ends.append(all.mid(i, endLength));
        if (!endSeen) {
            lines.newLineEnd = lines.ends.last();
            endSeen = true;
        }
        i += endLength - 1;
        start = i + 1;
    }
    if (start < all.size()) {
        lines.bytes.append(all.mid(start));
        lines.ends.append(QByteArray());
    }
    bool utf8Seen = false;
    bool otherSeen = false;
    for (const QByteArray& b : lines.bytes) {
        const LineBytes kind = lineBytes(b);
        lines.kinds.append(kind);
        utf8Seen = utf8Seen || kind == LineBytes::Utf8;
        otherSeen = otherSeen || kind == LineBytes::Other;
    }
    lines.utf8 = utf8Seen || !otherSeen;
    return lines;
}

// The file a write replaces: a link's target (as far as links go), so the link stays a link.
QString writtenFile(const QString& file)
{
    QFileInfo info(file);
    for (int depth = 0; depth < 128 && info.isSymLink(); ++depth)
        info.setFile(info.symLinkTarget());
    return info.isSymLink() ? file : info.filePath();
}

} // namespace

int removeUnfinishedWrites(const QString& file)
{
    return common::hostcalls::removeFreshLeft(
        QFile::encodeName(QFileInfo(writtenFile(file)).filePath()).toStdString());
}

namespace {

// Replaces the file with the lines through the host-call seam (common::hostcalls::replaceWhole):
// the new file is complete on the disk before it takes the name, or the old one stays as it was.
bool writeLines(const QString& file, IniLines lines)
{
    if (lines.unreadable)
        return false; // what the file holds is not known: writing would lose it
    const QFileInfo info(writtenFile(file));
    if (!QDir().mkpath(info.absolutePath()) || (info.exists() && (info.isDir() || !info.isWritable())))
        return false;
    // A stray Windows-1252 line of a UTF-8 file is stored as the UTF-8 of the text it was read
    // as: the file is UTF-8 throughout again and the stray line is reported only once.
    for (qsizetype i = 0; lines.utf8 && i < lines.size(); ++i)
        if (!lines.asUtf8(i))
            lines.set(i, lines.text(i));
    QByteArray out;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        out += lines.bytes[i];
        // A last line without its line end gets one when more follows, or when it was changed.
        out += lines.ends[i].isEmpty() ? lines.newLineEnd : lines.ends[i];
    }
    std::string left;
    const bool written = common::hostcalls::replaceWhole(QFile::encodeName(info.filePath()).toStdString(),
        std::string_view(out.constData(), static_cast<std::size_t>(out.size())), &left);
    if (!left.empty())
        ErrorLogSchreiben(
            QStringLiteral("Einstellungsdatei nicht geschrieben, %1 bleibt bis zum nächsten Start")
                .arg(QFile::decodeName(left.c_str())));
    return written;
}

// Line i taken apart. Only ASCII characters decide what a line is and where its names begin and
// end, and they are the same bytes in UTF-8 and in Windows-1252: the line's own bytes are read,
// so that the lines of a large file are passed over without being decoded.
common::IniLine lineAt(const IniLines& lines, qsizetype i)
{
    const QByteArray& b = lines.bytes[i];
    return common::readIniLine(std::string_view(b.constData(), static_cast<std::size_t>(b.size())));
}

bool isSection(const common::IniLine& l)
{
    return l.kind == common::IniLine::Kind::Section && l.closedSection;
}

// A "key=value" line (not a comment nor any other line).
bool isKey(const common::IniLine& l)
{
    return l.kind == common::IniLine::Kind::Entry && l.hasEquals && !l.name.empty();
}

bool sameName(const QString& a, const QString& b) { return a.compare(b, Qt::CaseInsensitive) == 0; }

// Whether `name` (the section or key name of line i) is `wanted`, without regard to case. An
// ASCII name is compared as it stands, without a text made of it.
bool nameIs(const IniLines& lines, qsizetype i, std::string_view name, const QString& wanted)
{
    const auto size = static_cast<qsizetype>(name.size());
    if (std::all_of(name.begin(), name.end(), [](char c) { return (c & 0x80) == 0; }))
        return wanted.compare(QLatin1StringView(name.data(), size), Qt::CaseInsensitive) == 0;
    const QByteArray bytes(name.data(), size);
    return sameName(lines.asUtf8(i) ? QString::fromUtf8(bytes) : fromWindows1252(bytes), wanted);
}

// Lines [first, second) of a section: its header line and the lines up to the next header.
using Range = std::pair<qsizetype, qsizetype>;

// Only a line whose first byte other than a blank, tab or CR is "[" can be a section header.
bool mayBeSection(const QByteArray& b)
{
    const auto first =
        std::find_if(b.begin(), b.end(), [](char c) { return c != ' ' && c != '\t' && c != '\r'; });
    return first != b.end() && *first == '[';
}

bool isSectionAt(const IniLines& lines, qsizetype i)
{
    return mayBeSection(lines.bytes[i]) && isSection(lineAt(lines, i));
}

// The lines of the first section named `section` at or after line `from`; nothing when there is none.
std::optional<Range> findSection(const IniLines& lines, const QString& section, qsizetype from = 0)
{
    for (qsizetype i = from; i < lines.size(); ++i) {
        if (!mayBeSection(lines.bytes[i]))
            continue;
        const common::IniLine l = lineAt(lines, i);
        if (!isSection(l) || !nameIs(lines, i, l.name, section))
            continue;
        qsizetype end = i + 1;
        while (end < lines.size() && !isSectionAt(lines, end))
            ++end;
        return Range(i, end);
    }
    return std::nullopt;
}

// Whether `range`, the lines the last write gave the section, still is that section: its header
// first and no other header up to its end. Writes to one section change lines inside it only, so
// no earlier section of the name can have come; the check catches a written line that reads as a
// header.
bool stillSection(const IniLines& lines, const Range& range, const QString& section)
{
    if (range.first >= lines.size() || range.second > lines.size() || !isSectionAt(lines, range.first))
        return false;
    if (!nameIs(lines, range.first, lineAt(lines, range.first).name, section))
        return false;
    for (qsizetype i = range.first + 1; i < range.second; ++i)
        if (isSectionAt(lines, i))
            return false;
    return range.second == lines.size() || isSectionAt(lines, range.second);
}

// [section] key = value in the lines: the key's line replaced (further lines of it removed), or
// added after the section's last key, or the section added at the end. `known` is where the
// section was after the write before to it (else nothing); answers where it is now.
Range writeKey(IniLines& lines, const QString& section, const QString& key, const QString& value,
    const std::optional<Range>& known)
{
    // A value with a line break would split into two lines and corrupt the file.
    QString clean = value;
    clean.replace(QLatin1Char('\r'), QLatin1Char(' ')).replace(QLatin1Char('\n'), QLatin1Char(' '));
    const QString newLine = key + QLatin1Char('=') + clean;
    const auto range = known && stillSection(lines, *known, section) ? known : findSection(lines, section);
    if (!range) {
        if (lines.size() > 0 && !lines.text(lines.size() - 1).trimmed().isEmpty())
            lines.insert(lines.size(), QString());
        lines.insert(lines.size(), QLatin1Char('[') + section + QLatin1Char(']'));
        lines.insert(lines.size(), newLine);
        return Range(lines.size() - 2, lines.size());
    }
    qsizetype lastKeyLine = range->first;
    for (qsizetype i = range->first + 1; i < range->second; ++i) {
        const common::IniLine k = lineAt(lines, i);
        if (!isKey(k))
            continue;
        lastKeyLine = i;
        if (nameIs(lines, i, k.name, key)) {
            lines.set(i, newLine);
            // A second line of the same key (left by an older version) goes: one key, one line.
            qsizetype end = range->second;
            for (qsizetype j = i + 1; j < end; ++j) {
                const common::IniLine again = lineAt(lines, j);
                if (isKey(again) && nameIs(lines, j, again.name, key)) {
                    lines.erase(j, j + 1);
                    --j;
                    --end;
                }
            }
            return Range(range->first, end);
        }
    }
    lines.insert(lastKeyLine + 1, newLine);
    return Range(range->first, range->second + 1);
}

// Removes every section named `section` from the lines; false when there was none.
bool removeSection(IniLines& lines, const QString& section)
{
    bool changed = false;
    qsizetype from = 0;
    while (const auto range = findSection(lines, section, from)) {
        lines.erase(range->first, range->second);
        from = range->first; // the ones before are gone already
        changed = true;
    }
    return changed;
}

} // namespace

IniSnapshot::IniSnapshot(const QString& file, const QStringList& sections)
    : m_sections(sections)
{
    QByteArray all;
    const auto read = readBounded(file, all);
    m_tooLarge = read == common::hostcalls::ReadResult::TooLarge;
    if (read != common::hostcalls::ReadResult::Read)
        return;
    // One pass over the bytes, split as readLines splits them; a line is decoded (as UTF-8 or as
    // Windows-1252, as IniLines::text does) only for the names and values that count.
    bool utf8Seen = false;
    const char* p = all.constData();
    const char* const end = p + all.size();
    for (int number = 1; p < end; ++number) {
        const char* eol = p;
        while (eol < end && *eol != '\n' && *eol != '\r')
            ++eol;
        const std::string_view line(p, static_cast<std::size_t>(eol - p));
        p = eol == end ? end : eol + (*eol == '\r' && eol + 1 < end && eol[1] == '\n' ? 2 : 1);
        const LineBytes kind = lineBytes(QByteArrayView(line.data(), static_cast<qsizetype>(line.size())));
        utf8Seen = utf8Seen || kind == LineBytes::Utf8;
        if (kind == LineBytes::Other)
            m_linesNotUtf8.append(number);
        take(line, kind != LineBytes::Other);
    }
    if (!utf8Seen)
        m_linesNotUtf8.clear(); // Windows-1252 throughout: an older file, read as such
}

void IniSnapshot::take(std::string_view line, bool utf8)
{
    const auto text = [utf8](std::string_view b) {
        return utf8 ? QString::fromUtf8(b.data(), static_cast<qsizetype>(b.size()))
                    : fromWindows1252(QByteArray(b.data(), static_cast<qsizetype>(b.size())));
    };
    // Lines of a section not kept matter only when they open the next one.
    if (!m_current && !m_sections.isEmpty()) {
        const std::size_t first = line.find_first_not_of(" \t\r");
        if (first == std::string_view::npos || line[first] != '[')
            return;
    }
    const common::IniLine l = common::readIniLine(line);
    if (l.kind == common::IniLine::Kind::Section && l.closedSection) {
        m_current = nullptr;
        const bool ascii = std::all_of(l.name.begin(), l.name.end(), [](char c) { return (c & 0x80) == 0; });
        // An ASCII name is compared as it stands, without a text made of it for every header.
        const auto named = [&](const QString& wanted) {
            return ascii
                ? wanted.compare(QLatin1StringView(l.name.data(), static_cast<qsizetype>(l.name.size())),
                      Qt::CaseInsensitive) == 0
                : wanted.compare(text(l.name), Qt::CaseInsensitive) == 0;
        };
        if (!m_sections.isEmpty() && std::none_of(m_sections.begin(), m_sections.end(), named))
            return;
        QString name = text(l.name).toCaseFolded();
        // Only the first section of a name counts.
        if (!m_values.contains(name))
            m_current = &m_values[std::move(name)];
    } else if (m_current && l.kind == common::IniLine::Kind::Entry && l.hasEquals && !l.name.empty()) {
        QString key = text(l.name).toCaseFolded();
        if (m_current->contains(key))
            return;
        // The value after the first "=", trimmed; one in matching double quotes without them.
        QString v = text(line.substr(line.find('=') + 1)).trimmed();
        if (v.size() >= 2 && v.startsWith(QLatin1Char('"')) && v.endsWith(QLatin1Char('"'))) {
            v.chop(1);
            v.remove(0, 1);
        }
        v.truncate(kIniValueMax);
        m_current->insert(std::move(key), std::move(v));
    }
}

const QHash<QString, QString>* IniSnapshot::keys(const QString& section) const
{
    const auto s = m_values.constFind(section.toCaseFolded());
    return s == m_values.cend() ? nullptr : &*s;
}

QString IniSnapshot::value(const QString& section, const QString& key, const QString& defaultValue) const
{
    const QHash<QString, QString>* k = keys(section);
    return k ? k->value(key.toCaseFolded(), defaultValue) : defaultValue;
}

QString INILesen(const QString& section, const QString& key, const QString& defaultValue, const QString& file)
{
    return IniSnapshot(file, {section}).value(section, key, defaultValue);
}

bool INISchreiben(const QString& section, const QString& key, const QString& value, const QString& file)
{
    IniBatch batch;
    batch.write(section, key, value);
    return batch.apply(file);
}

bool INISektionLöschen(const QString& section, const QString& file)
{
    IniBatch batch;
    batch.deleteSection(section);
    return batch.apply(file);
}

void IniBatch::write(const QString& section, const QString& key, const QString& value)
{
    m_changes.append({section, key, value, false});
}

void IniBatch::deleteSection(const QString& section)
{
    m_changes.append({section, QString(), QString(), true});
}

bool IniBatch::apply(const QString& file) const
{
    IniLines lines = readLines(file);
    if (lines.unreadable)
        return false; // what the file holds is not known: writing would lose it
    bool changed = false;
    // Where the section of the write before is now, for the next write to the same section.
    std::optional<Range> known;
    const Change* previous = nullptr;
    for (const Change& c : m_changes) {
        if (c.deletesSection) {
            known.reset();
            if (!removeSection(lines, c.section))
                continue; // as INISektionLöschen, which then writes nothing
        } else {
            const bool same = known && previous && previous->section == c.section;
            known = writeKey(lines, c.section, c.key, c.value, same ? known : std::nullopt);
        }
        changed = true;
        previous = &c;
        const qsizetype before = lines.size();
        lines.settle();
        if (lines.size() != before)
            known.reset(); // lines that read back as one moved the section: it is looked for again
    }
    return !changed || writeLines(file, lines);
}

QList<int> INIZeilenNichtUtf8(const QString& file) { return IniSnapshot(file).linesNotUtf8(); }

} // namespace foldersize
