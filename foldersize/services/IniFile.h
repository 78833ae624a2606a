// IniFile.h: the three access routines of the settings file (read a key, write a key, delete a
// section). Section and key names match without regard to case; the file is UTF-8 text.
#pragma once

#include <QString>

namespace foldersize {

// Longest value a read returns; longer values are cut to this many characters.
inline constexpr int kIniValueMax = 2047;

// Reads [section] key from file. A missing key, section or file yields defaultValue; a key present
// with an empty value yields "" (not the default). Values are trimmed of surrounding blanks.
QString INILesen(
    const QString& section, const QString& key, const QString& defaultValue, const QString& file);

// Writes [section] key = value, creating the section, the file and its folder when needed. Other
// lines (comments, unknown keys) are kept. The file is replaced atomically.
// Returns false when the file cannot be written (the value is then lost).
bool INISchreiben(const QString& section, const QString& key, const QString& value, const QString& file);

// Deletes the whole section with all its keys. A missing section or file is no failure.
// Returns false only when the file exists and cannot be rewritten.
bool INISektionLöschen(const QString& section, const QString& file);

} // namespace foldersize
