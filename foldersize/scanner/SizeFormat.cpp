// SizeFormat.cpp: the size texts of the tree, the file list and the saved report.
#include "foldersize/scanner/SizeFormat.h"

namespace foldersize {

int sizeColumnWidth(int unit)
{
    switch (unit) {
    case 0: return 15;
    case 1: return 16;
    case 2: return 12;
    case 3: return 8;
    default: return 0;
    }
}

QString FormatSize(std::uint64_t fileSize, bool beschriftung, bool spacer, int unit, const QLocale& locale)
{
    QLocale loc = locale;
    loc.setNumberOptions(loc.numberOptions() & ~QLocale::OmitGroupSeparator);
    QString text;
    switch (unit) {
    case 0:
        text = loc.toString(static_cast<qulonglong>(fileSize));
        if (beschriftung)
            text += QStringLiteral(" Bytes");
        break;
    case 1:
        text = loc.toString(static_cast<double>(fileSize) / 1024.0, 'f', 2) + QStringLiteral(" KB");
        break;
    case 2:
        text = loc.toString(static_cast<double>(fileSize) / 1048576.0, 'f', 2) + QStringLiteral(" MB");
        break;
    case 3:
        text = loc.toString(static_cast<double>(fileSize) / 1073741824.0, 'f', 2) + QStringLiteral(" GB");
        break;
    default: return QString();
    }
    if (spacer)
        text = text.rightJustified(sizeColumnWidth(unit), QLatin1Char(' '));
    return text;
}

} // namespace foldersize
