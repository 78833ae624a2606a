// tallyini_fuzz.cpp: arbitrary bytes as the folder-size browser's settings file. Writing one key
// at the end of the file keeps the bytes before it (but for stray Windows-1252 lines of a UTF-8
// file, which it stores as UTF-8); the value written reads back; deleting a section leaves the
// lines of the others; a batch of writes and deletions leaves the bytes they leave one by one.
#include "foldersize/services/IniFile.h"

#include <QDir>
#include <QFile>
#include <QString>

#include <cstdint>
#include <cstdlib>
#include <unistd.h>

namespace {

QString fileName()
{
    static const QString name = QDir::tempPath() + QStringLiteral("/tallyini_fuzz_%1.ini").arg(::getpid());
    return name;
}

void write(const QByteArray& bytes)
{
    QFile f(fileName());
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate) || f.write(bytes) != bytes.size())
        std::abort();
}

QByteArray read()
{
    QFile f(fileName());
    if (!f.open(QIODevice::ReadOnly))
        std::abort();
    return f.readAll();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    write(bytes);
    using namespace foldersize;
    (void)INILesen(QStringLiteral("Optionen"), QStringLiteral("Einheit"), QString(), fileName());
    // Reading some sections only passes over the others' lines: it gives what reading all gives.
    const IniSnapshot all(fileName());
    const IniSnapshot some(fileName(), {QStringLiteral("Optionen"), QStringLiteral("form")});
    for (const QString& section : {QStringLiteral("OPTIONEN"), QStringLiteral("Form")}) {
        const QHash<QString, QString>* a = all.keys(section);
        const QHash<QString, QString>* b = some.keys(section);
        if ((a == nullptr) != (b == nullptr) || (a && *a != *b))
            std::abort();
    }
    if (some.keys(QStringLiteral("Layout")) || all.linesNotUtf8() != some.linesNotUtf8())
        std::abort();
    // Stray Windows-1252 lines of a UTF-8 file are the only lines a write may change.
    const bool stray = !INIZeilenNichtUtf8(fileName()).isEmpty();
    const QString value = QString::fromUtf8("Größe 1");
    if (!INISchreiben(QStringLiteral("FuzzSektion"), QStringLiteral("FuzzSchlüssel"), value, fileName()))
        std::abort();
    if (INILesen(QStringLiteral("FuzzSektion"), QStringLiteral("FuzzSchlüssel"), QString(), fileName()) !=
        value)
        std::abort();
    // A new section goes at the end: everything before it keeps its bytes.
    if (!stray && !bytes.toLower().contains("fuzz") && !read().startsWith(bytes))
        std::abort();
    if (!INISektionLöschen(QStringLiteral("FuzzSektion"), fileName()))
        std::abort();
    if (!INILesen(
            QStringLiteral("FuzzSektion"), QStringLiteral("FuzzSchlüssel"), QStringLiteral("-"), fileName())
             .startsWith(QLatin1Char('-')))
        std::abort();
    // Writes to sections the input may hold (twice, in other case), a deletion between them.
    IniBatch batch;
    batch.write(QStringLiteral("Form"), QStringLiteral("Left"), QStringLiteral("1"));
    batch.write(QStringLiteral("Form"), QStringLiteral("top"), QStringLiteral("2"));
    batch.deleteSection(QStringLiteral("optionen"));
    batch.write(QStringLiteral("Optionen"), QStringLiteral("X"), value);
    batch.write(QStringLiteral("FORM"), QStringLiteral("Left"), QStringLiteral("3"));
    write(bytes);
    if (!INISchreiben(QStringLiteral("Form"), QStringLiteral("Left"), QStringLiteral("1"), fileName()) ||
        !INISchreiben(QStringLiteral("Form"), QStringLiteral("top"), QStringLiteral("2"), fileName()) ||
        !INISektionLöschen(QStringLiteral("optionen"), fileName()) ||
        !INISchreiben(QStringLiteral("Optionen"), QStringLiteral("X"), value, fileName()) ||
        !INISchreiben(QStringLiteral("FORM"), QStringLiteral("Left"), QStringLiteral("3"), fileName()))
        std::abort();
    const QByteArray oneByOne = read();
    write(bytes);
    if (!batch.apply(fileName()) || read() != oneByOne)
        std::abort();
    return 0;
}
