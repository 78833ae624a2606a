// IniFile.h: the three access routines of the settings file (read a key, write a key, delete a
// section). Section and key names match without regard to case; the file is UTF-8 text. A line
// that is not UTF-8 is read as Windows-1252 and stored as UTF-8 by the next write; a file that is
// Windows-1252 throughout stays so.
#pragma once

#include <string_view>

#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>

namespace foldersize {

// Longest value a read returns; longer values are cut to this many characters.
inline constexpr int kIniValueMax = 2047;

// Largest settings file read (16 MiB, far beyond any real one). A larger file reads as an empty
// one, every key its default, and the next write replaces it with a file of the keys written.
inline constexpr qint64 kIniFileMax = 16 * 1024 * 1024;

// Reads [section] key from file. A missing key, section or file yields defaultValue; a key present
// with an empty value yields "" (not the default). Values are trimmed of surrounding blanks.
QString INILesen(
    const QString& section, const QString& key, const QString& defaultValue, const QString& file);

// Writes [section] key = value, creating the section, the file and its folder when needed. Other
// lines (comments, unknown keys) are kept; further lines of the same key in the section are
// removed. The file is replaced atomically (written beside it, flushed to the disk, renamed over it).
// Returns false when the file cannot be written, or is there but cannot be read (the value is then
// lost and the file left as it was).
bool INISchreiben(const QString& section, const QString& key, const QString& value, const QString& file);

// Removes what writes of the settings file that did not end left beside it (the fresh file of a
// copy killed while it wrote, or one whose removal failed as well, which the error log names); for
// the program's start. How many files were removed.
int removeUnfinishedWrites(const QString& file);

// Deletes the whole section with all its keys. A missing section or file is no failure.
// Returns false only when the file exists and cannot be read or rewritten (it is then as it was).
bool INISektionLöschen(const QString& section, const QString& file);

// Several changes of the settings file made in one read and one replacement of it: each write as
// INISchreiben makes it and each deletion as INISektionLöschen does, in the order they were
// added, so that the file ends as those calls one after the other would leave it. The file is
// rewritten once, or not at all when nothing changes (only missing sections deleted).
class IniBatch {
public:
    void write(const QString& section, const QString& key, const QString& value);
    void deleteSection(const QString& section);
    bool isEmpty() const { return m_changes.isEmpty(); }
    // All or nothing: returns false when the file cannot be written, or is there but cannot be
    // read; none of the changes is then made and the file is left as it was.
    bool apply(const QString& file) const;

private:
    struct Change {
        QString section;
        QString key;
        QString value;
        bool deletesSection = false;
    };
    QList<Change> m_changes;
};

// Numbers (from 1) of the lines of a UTF-8 file that are not UTF-8 and were read as
// Windows-1252; empty for a file without such lines and for one that is Windows-1252 throughout.
QList<int> INIZeilenNichtUtf8(const QString& file);

// The settings file read once, for many keys: one pass over the file, however many are asked
// for. Reads as INILesen and INIZeilenNichtUtf8 do. Given sections, only their keys are kept (the
// others read as missing) and the lines of every other section are only looked at for the next
// section header, so that sections of no interest (however many) cost no more than reading them.
class IniSnapshot {
public:
    explicit IniSnapshot(const QString& file, const QStringList& sections = {});
    QString value(const QString& section, const QString& key, const QString& defaultValue) const;
    // The keys of a section, case-folded, with their values; nothing for a missing section.
    const QHash<QString, QString>* keys(const QString& section) const;
    const QList<int>& linesNotUtf8() const { return m_linesNotUtf8; }
    // The file is larger than kIniFileMax and was not read.
    bool tooLarge() const { return m_tooLarge; }

private:
    void take(std::string_view line, bool utf8);

    // Section and key names case-folded; the first section of a name and its first key count.
    QHash<QString, QHash<QString, QString>> m_values;
    QList<int> m_linesNotUtf8;
    bool m_tooLarge = false;
    QStringList m_sections;                       // the sections kept; empty: every section
    QHash<QString, QString>* m_current = nullptr; // while reading: the keys of the section that counts
};

} // namespace foldersize
