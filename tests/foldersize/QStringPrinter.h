// QStringPrinter.h: lets GoogleTest print QString values in failure messages.
#pragma once

#include <ostream>

#include <QString>

inline void PrintTo(const QString& s, std::ostream* os) { *os << '"' << s.toStdString() << '"'; }
