// IniFile.cpp: line-preserving reading and writing of the settings file.
#include "foldersize/services/IniFile.h"

#include <optional>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStringList>

namespace foldersize {
namespace {

QStringList readLines(const QString& file)
{
    QFile f(file);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    // Accept both line-end styles; a stray NUL or invalid byte only spoils its own line.
    QString text = QString::fromUtf8(f.readAll());
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    QStringList lines = text.split(QLatin1Char('\n'));
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    return lines;
}

bool writeLines(const QString& file, const QStringList& lines)
{
    const QFileInfo info(file);
    if (!QDir().mkpath(info.absolutePath()))
        return false;
    QSaveFile f(file);
    if (!f.open(QIODevice::WriteOnly))
        return false;
    QByteArray out;
    for (const QString& line : lines) {
        out += line.toUtf8();
        out += '\n';
    }
    if (f.write(out) != out.size())
        return false;
    return f.commit();
}

// Returns the section name when the line is a section header such as "[Optionen]".
std::optional<QString> sectionOf(const QString& line)
{
    const QString t = line.trimmed();
    if (t.size() >= 2 && t.startsWith(QLatin1Char('[')) && t.endsWith(QLatin1Char(']')))
        return t.mid(1, t.size() - 2).trimmed();
    return std::nullopt;
}

bool sameName(const QString& a, const QString& b) { return a.compare(b, Qt::CaseInsensitive) == 0; }

// Returns the key of a "key=value" line, or nothing for comments and other lines.
std::optional<QString> keyOf(const QString& line)
{
    const QString t = line.trimmed();
    if (t.isEmpty() || t.startsWith(QLatin1Char(';')))
        return std::nullopt;
    const qsizetype eq = t.indexOf(QLatin1Char('='));
    if (eq <= 0)
        return std::nullopt;
    return t.left(eq).trimmed();
}

QString valueOf(const QString& line)
{
    const qsizetype eq = line.indexOf(QLatin1Char('='));
    QString v = line.mid(eq + 1).trimmed();
    // A value in matching double quotes is read without them.
    if (v.size() >= 2 && v.startsWith(QLatin1Char('"')) && v.endsWith(QLatin1Char('"')))
        v = v.mid(1, v.size() - 2);
    return v;
}

// Range [begin, end) of the lines that belong to the first section named `section`; begin is the
// header line itself. Returns nothing when the section is absent.
std::optional<std::pair<qsizetype, qsizetype>> findSection(const QStringList& lines, const QString& section)
{
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const auto name = sectionOf(lines[i]);
        if (!name || !sameName(*name, section))
            continue;
        qsizetype end = i + 1;
        while (end < lines.size() && !sectionOf(lines[end]))
            ++end;
        return std::make_pair(i, end);
    }
    return std::nullopt;
}

} // namespace

QString INILesen(const QString& section, const QString& key, const QString& defaultValue, const QString& file)
{
    const QStringList lines = readLines(file);
    const auto range = findSection(lines, section);
    if (!range)
        return defaultValue;
    for (qsizetype i = range->first + 1; i < range->second; ++i) {
        const auto k = keyOf(lines[i]);
        if (k && sameName(*k, key))
            return valueOf(lines[i]).left(kIniValueMax);
    }
    return defaultValue;
}

bool INISchreiben(const QString& section, const QString& key, const QString& value, const QString& file)
{
    QStringList lines = readLines(file);
    // A value with a line break would split into two lines and corrupt the file.
    QString clean = value;
    clean.replace(QLatin1Char('\r'), QLatin1Char(' ')).replace(QLatin1Char('\n'), QLatin1Char(' '));
    const QString newLine = key + QLatin1Char('=') + clean;
    const auto range = findSection(lines, section);
    if (!range) {
        if (!lines.isEmpty() && !lines.last().trimmed().isEmpty())
            lines.append(QString());
        lines.append(QLatin1Char('[') + section + QLatin1Char(']'));
        lines.append(newLine);
        return writeLines(file, lines);
    }
    qsizetype lastKeyLine = range->first;
    for (qsizetype i = range->first + 1; i < range->second; ++i) {
        const auto k = keyOf(lines[i]);
        if (!k)
            continue;
        lastKeyLine = i;
        if (sameName(*k, key)) {
            lines[i] = newLine;
            return writeLines(file, lines);
        }
    }
    lines.insert(lastKeyLine + 1, newLine);
    return writeLines(file, lines);
}

bool INISektionLöschen(const QString& section, const QString& file)
{
    QStringList lines = readLines(file);
    bool changed = false;
    while (const auto range = findSection(lines, section)) {
        lines.erase(lines.begin() + range->first, lines.begin() + range->second);
        changed = true;
    }
    if (!changed)
        return true;
    return writeLines(file, lines);
}

} // namespace foldersize
