// FileTypes.cpp: extensions, MIME types, type names and icon keys of files.
#include "foldersize/scanner/FileTypes.h"

#include <algorithm>

#include <QMimeDatabase>

#include "foldersize/scanner/FileSystem.h"

namespace foldersize {

std::string realExtension(const std::string& fileName)
{
    const std::string ext = xGetExtension(fileName);
    if (ext.empty())
        return ext;
    const std::size_t dot = fileName.size() - ext.size() - 1;
    const auto isDigit = [](char c) { return c >= '0' && c <= '9'; };
    if (dot > 0 && isDigit(fileName[dot - 1]) && std::all_of(ext.begin(), ext.end(), isDigit))
        return std::string();
    return ext;
}

QMimeType mimeTypeOf(const std::string& fileName, const QString& upperExtension)
{
    static const QMimeDatabase mimes;
    // Without a real extension nothing says what the file is (the contents are not read).
    if (upperExtension.isEmpty())
        return mimes.mimeTypeForName(QStringLiteral("application/octet-stream"));
    const QString name = QString::fromUtf8(fileName.data(), static_cast<qsizetype>(fileName.size()));
    return mimes.mimeTypeForFile(name, QMimeDatabase::MatchExtension);
}

QString typeNameOf(const QMimeType& mime, const QString& upperExtension)
{
    const QString comment = mime.isDefault() ? QString() : mime.comment();
    return comment.isEmpty() ? fallbackTypeName(upperExtension) : comment;
}

QString fallbackTypeName(const QString& upperExtension)
{
    return upperExtension.isEmpty() ? QStringLiteral("Datei") : upperExtension + QStringLiteral("-Datei");
}

bool hasOwnIcon(const QString& upperExtension)
{
    return upperExtension == QLatin1String("EXE") || upperExtension == QLatin1String("ICO") ||
        upperExtension == QLatin1String("PIF") || upperExtension == QLatin1String("LNK");
}

QString iconKey(const QString& fileName, const QString& upperExtension)
{
    if (hasOwnIcon(upperExtension))
        return fileName;
    if (upperExtension.isEmpty())
        return QStringLiteral("leer");
    return QStringLiteral("K") + upperExtension;
}

} // namespace foldersize
