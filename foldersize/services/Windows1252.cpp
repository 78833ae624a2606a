// Windows1252.cpp: Windows-1252 conversion of Qt texts through the shared code-page table.
#include "foldersize/services/Windows1252.h"

#include "common/Windows1252.h"

namespace foldersize {

QByteArray toWindows1252(const QString& text)
{
    QByteArray bytes;
    bytes.reserve(text.size());
    for (const QChar ch : text) {
        const int b = common::codePointToCp1252(ch.unicode());
        bytes.append(b < 0 ? '?' : static_cast<char>(b));
    }
    return bytes;
}

QString fromWindows1252(const QByteArray& bytes)
{
    QString text;
    text.reserve(bytes.size());
    for (const char c : bytes)
        text.append(QChar(static_cast<char16_t>(common::cp1252ToCodePoint(static_cast<unsigned char>(c)))));
    return text;
}

} // namespace foldersize
