// IniFile.h: the three access routines of the settings file (read a key, write a key, delete a
// section). Section and key names match without regard to case; the file is UTF-8 text. A line
// that is not UTF-8 is read as Windows-1252 and stored as UTF-8 by the next write; a file that is
// Windows-1252 throughout stays so.
#pragma once

#include <QList>
#include <QString>

namespace foldersize {

// Longest value a read returns; longer values are cut to this many characters.
inline constexpr int kIniValueMax = 2047;

// Reads [section] key from file. A missing key, section or file yields defaultValue; a key present
// with an empty value yields "" (not the default). Values are trimmed of surrounding blanks.
QString INILesen(
    const QString& section, const QString& key, const QString& defaultValue, const QString& file);

// Writes [section] key = value, creating the section, the file and its folder when needed. Other
// lines (comments, unknown keys) are kept; further lines of the same key in the section are
// removed. The file is replaced atomically.
// Returns false when the file cannot be written (the value is then lost).
bool INISchreiben(const QString& section, const QString& key, const QString& value, const QString& file);

// Deletes the whole section with all its keys. A missing section or file is no failure.
// Returns false only when the file exists and cannot be rewritten.
bool INISektionLöschen(const QString& section, const QString& file);

// Numbers (from 1) of the lines of a UTF-8 file that are not UTF-8 and were read as
// Windows-1252; empty for a file without such lines and for one that is Windows-1252 throughout.
QList<int> INIZeilenNichtUtf8(const QString& file);

} // namespace foldersize
