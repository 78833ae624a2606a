// FileTypes.h: what a file is, told by its name: its real extension, MIME type, type name and
// icon key.
#pragma once

#include <string>

#include <QMimeType>
#include <QString>

namespace foldersize {

// The extension that says what a file is: the text after the last "." (xGetExtension), except a
// version number: digits after a "." that follows a digit ("pas2js-3.2.2", "libfoo-1.0") are none.
std::string realExtension(const std::string& fileName);

// MIME type of a file, decided by its name when it has a real extension (the contents are not
// read; "backup.tar.gz" is a compressed tar archive); the default type without one.
QMimeType mimeTypeOf(const std::string& fileName, const QString& upperExtension);

// Type name of a file: the MIME type's comment in the default locale's language, else
// fallbackTypeName.
QString typeNameOf(const QMimeType& mime, const QString& upperExtension);

// Type text when no type name is known: "Datei" without extension, else "<EXT>-Datei".
QString fallbackTypeName(const QString& upperExtension);

// Icon cache key of a file: the file name for EXE, ICO, PIF and LNK files (hasOwnIcon), "leer"
// without an extension, otherwise "K" followed by the upper-case extension.
QString iconKey(const QString& fileName, const QString& upperExtension);
bool hasOwnIcon(const QString& upperExtension);

} // namespace foldersize
