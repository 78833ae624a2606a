// Windows1252.h: conversion between text and the Windows-1252 code page, in which the maker's
// server texts and the scrambled password are written.
#pragma once

#include <QByteArray>
#include <QString>

namespace foldersize {

// Characters that the code page cannot hold become "?".
QByteArray toWindows1252(const QString& text);
// The five unassigned bytes keep their value as code points, as the system's conversion does.
QString fromWindows1252(const QByteArray& bytes);

} // namespace foldersize
