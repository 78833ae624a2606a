// SystemInfoTest.cpp: version text, host facts from /proc-style files and the text helpers.
#include "foldersize/services/SystemInfo.h"

#include <cerrno>

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "foldersize/services/ProgramGlobals.h"
#include "tests/foldersize/QStringPrinter.h"

using namespace foldersize;

class SystemInfoTest : public ::testing::Test {
protected:
    QTemporaryDir dir;
    QString write(const QString& name, const QByteArray& text)
    {
        QFile f(dir.filePath(name));
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(text);
        return f.fileName();
    }
};

TEST_F(SystemInfoTest, VersionTextShowsTheRevisionOnlyWhenSet)
{
    EXPECT_EQ(versionText(1, 1, 0), "1.1");
    EXPECT_EQ(versionText(1, 1, 3), "1.1.3");
    EXPECT_EQ(versionText(2, 10, 0), "2.10");
}

TEST_F(SystemInfoTest, ProcessorText)
{
    const QString cpu = write("cpuinfo",
        "processor\t: 0\nmodel name\t: Test CPU 3000\ncpu MHz\t\t: 2992.968\n\n"
        "processor\t: 1\nmodel name\t: Test CPU 3000\ncpu MHz\t\t: 1000.0\n");
    EXPECT_EQ(GetCPUName(cpu), "(2) Test CPU 3000, 2993 MHz");
    const QString bare = write("bare", "processor : 0\n");
    EXPECT_EQ(GetCPUName(bare), "(1) unknown, 0 MHz");
}

TEST_F(SystemInfoTest, MemoryAndSystemName)
{
    const QString mem =
        write("meminfo", "MemTotal:       2048 kB\nMemFree: 10 kB\nMemAvailable:   1024 kB\n");
    const MemoryStatus m = GetMemoryStatus(mem);
    EXPECT_EQ(m.totalPhys, 2048u * 1024);
    EXPECT_EQ(m.availPhys, 1024u * 1024);
    const QString rel = write("os-release", "NAME=X\nPRETTY_NAME=\"Testix 7 (frosty)\"\n");
    const OSInfo os = GetOSInfo(rel);
    EXPECT_EQ(os.Name, "Testix 7 (frosty)");
    EXPECT_EQ(os.PlatformID, "Linux");
    EXPECT_TRUE(os.Version.contains('.'));
}

TEST_F(SystemInfoTest, BytesInEveryUnit)
{
    const QLocale de(QLocale::German);
    EXPECT_EQ(BytesFormatieren(2, 512.0 * 1048576, true, de), "512,00 MB");
    EXPECT_EQ(BytesFormatieren(0, 1234567, true, de), "1.234.567 Bytes");
    EXPECT_EQ(BytesFormatieren(1, 1536, false, de), "1,50");
    EXPECT_EQ(BytesFormatieren(3, 1073741824.0 * 3, true, de), "3,00 GB");
    EXPECT_EQ(BytesFormatieren(7, 100, true, de), "");
}

TEST_F(SystemInfoTest, SystemErrorTexts)
{
    const QString t = LastDllErrorText(true, ENOENT);
    EXPECT_TRUE(t.startsWith("#2 - ")) << t.toStdString();
    EXPECT_GT(t.size(), 5);
    EXPECT_FALSE(t.contains('\n'));
    EXPECT_EQ(LastDllErrorText(false, ENOENT), t.mid(5));
    // German whatever the C library's locale; a code without words of its own by its number.
    EXPECT_EQ(t, "#2 - Datei oder Verzeichnis nicht gefunden");
    EXPECT_EQ(systemErrorText(EACCES), "Keine Berechtigung");
    EXPECT_EQ(systemErrorText(9999), "Systemfehler 9999");
}

TEST_F(SystemInfoTest, SmallHelpers)
{
    EXPECT_EQ(StringFromPointer(QString("abc") + QChar(0) + "def"), "abc");
    EXPECT_EQ(StringFromPointer("whole"), "whole");
    EXPECT_EQ(HiByte(0x0803), 8);
    EXPECT_EQ(LoByte(0x0803), 3);
}
