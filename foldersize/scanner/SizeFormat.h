// SizeFormat.h: size texts in the chosen unit with the locale's digit grouping and decimal
// separator ("1.234.567" bytes, "1.205,63 KB" in German).
#pragma once

#include <cstdint>

#include <QLocale>
#include <QString>

namespace foldersize {

// Formats fileSize in unit 0 (bytes), 1 (KB), 2 (MB) or 3 (GB); any other unit gives "".
// beschriftung appends " Bytes" in the byte unit (the other units always carry their word).
// spacer pads with blanks in front to the unit's column width (15, 16, 12, 8); longer texts stay.
// KB, MB and GB are 1024, 1024² and 1024³ bytes, shown with two decimals, rounded.
QString FormatSize(
    std::uint64_t fileSize, bool beschriftung, bool spacer, int unit, const QLocale& locale = QLocale());

// Column width of a unit when padding (0 for an unknown unit).
int sizeColumnWidth(int unit);

} // namespace foldersize
