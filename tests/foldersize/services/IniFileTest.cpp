// IniFileTest.cpp: reading, writing and deleting in the settings file.
#include "foldersize/services/IniFile.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cerrno>
#include <functional>
#include <utility>
#include <vector>

#include "foldersize/services/ErrorReport.h"
#include "foldersize/services/ProgramGlobals.h"
#include "tests/foldersize/QStringPrinter.h"
#include "tests/support/common/FailNthCall.h"

using namespace foldersize;

class IniFileTest : public ::testing::Test {
protected:
    QTemporaryDir dir;
    QString file() const { return dir.filePath(QStringLiteral("cfg/Tallymoor.ini")); }
    void writeRaw(const QByteArray& bytes)
    {
        QDir().mkpath(dir.filePath(QStringLiteral("cfg")));
        QFile f(file());
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }
    QByteArray readRaw()
    {
        QFile f(file());
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
};

TEST_F(IniFileTest, MissingFileYieldsDefaultAndFirstWriteCreatesFolderAndFile)
{
    EXPECT_EQ(INILesen("Optionen", "Kontextmenu", "99", file()), "99");
    ASSERT_TRUE(INISchreiben("Optionen", "Kontextmenu", "1", file()));
    EXPECT_EQ(readRaw(), QByteArray("[Optionen]\nKontextmenu=1\n"));
    EXPECT_EQ(INILesen("Optionen", "Kontextmenu", "99", file()), "1");
}

TEST_F(IniFileTest, SectionAndKeyMatchWithoutCaseButValuesKeepTheirCase)
{
    writeRaw("[optionen]\nKONTEXTMENU=Ab/Cd\n");
    EXPECT_EQ(INILesen("Optionen", "kontextmenu", "x", file()), "Ab/Cd");
    ASSERT_TRUE(INISchreiben("OPTIONEN", "KontextMenu", "/Home/User/A", file()));
    EXPECT_EQ(readRaw(), QByteArray("[optionen]\nKontextMenu=/Home/User/A\n"));
}

TEST_F(IniFileTest, EmptyValueIsEmptyNotDefault)
{
    writeRaw("[Form]\nWidth=\n");
    EXPECT_EQ(INILesen("Form", "Width", "11715", file()), "");
    EXPECT_EQ(INILesen("Form", "Height", "8190", file()), "8190");
}

TEST_F(IniFileTest, LongValuesAreCut)
{
    const QString longValue(5000, QLatin1Char('x'));
    ASSERT_TRUE(INISchreiben("Layout", "FontName", longValue, file()));
    EXPECT_EQ(INILesen("Layout", "FontName", "", file()).size(), kIniValueMax);
}

TEST_F(IniFileTest, WriteKeepsOtherSectionsCommentsAndAddsNewKeysToTheirSection)
{
    writeRaw("; comment\r\n[A]\r\nx=1\r\n[B]\r\ny=2\r\n");
    ASSERT_TRUE(INISchreiben("A", "z", "3", file()));
    ASSERT_TRUE(INISchreiben("B", "y", "20", file()));
    EXPECT_EQ(readRaw(), QByteArray("; comment\r\n[A]\r\nx=1\r\nz=3\r\n[B]\r\ny=20\r\n"));
}

TEST_F(IniFileTest, KeysThatAreNotWrittenKeepTheirBytesAndTheFilesEncoding)
{
    // Written by another program in Windows-1252: "Café" and "€" in other keys, CR LF line ends.
    writeRaw("[Fremd]\r\nName=Caf\xE9 \x80\r\n[Optionen]\r\nX=1\r\n");
    EXPECT_EQ(INILesen("Fremd", "Name", "", file()), QString::fromUtf8("Café €"));
    ASSERT_TRUE(INISchreiben("Optionen", "X", "2", file()));
    ASSERT_TRUE(INISchreiben("Optionen", "Wort", QString::fromUtf8("Größe"), file()));
    EXPECT_EQ(readRaw(),
        QByteArray("[Fremd]\r\nName=Caf\xE9 \x80\r\n[Optionen]\r\nX=2\r\nWort=Gr\xF6\xDF"
                   "e\r\n"));
    EXPECT_EQ(INILesen("Optionen", "Wort", "", file()), QString::fromUtf8("Größe"));
    // A byte the code page leaves unassigned comes back as that byte, not as "?".
    writeRaw("[A]\nPfad=/tmp/x\x81\n");
    ASSERT_TRUE(INISchreiben("A", "Kopie", INILesen("A", "Pfad", "", file()), file()));
    EXPECT_EQ(readRaw(), QByteArray("[A]\nPfad=/tmp/x\x81\nKopie=/tmp/x\x81\n"));

    // A UTF-8 file stays UTF-8.
    writeRaw("[A]\nName=Caf\xC3\xA9\n");
    ASSERT_TRUE(INISchreiben("A", "B", QString::fromUtf8("ü"), file()));
    EXPECT_EQ(readRaw(), QByteArray("[A]\nName=Caf\xC3\xA9\nB=\xC3\xBC\n"));
}

TEST_F(IniFileTest, AFileEndingInACutUtf8SequenceIsNotTakenForUtf8)
{
    // "\xC3" alone at the end is not UTF-8: read as Windows-1252, and that byte is written back as it was.
    writeRaw("[A]\r\nX=1\r\nName=Caf\xC3");
    ASSERT_TRUE(INISchreiben("A", "X", "2", file()));
    EXPECT_EQ(readRaw(), QByteArray("[A]\r\nX=2\r\nName=Caf\xC3\r\n"));
}

TEST_F(IniFileTest, OneLineThatIsNotUtf8HidesNoKeyAndNoKeyIsWrittenTwice)
{
    // A UTF-8 file with one Windows-1252 byte in another program's line.
    const QByteArray key = "Dateigr\xC3\xB6\xC3\x9F"
                           "eFormat";
    writeRaw("[Optionen]\n" + key + "=3\n[Fremd]\nName=Caf\xE9\n");
    EXPECT_EQ(INILesen("Optionen", "DateigrößeFormat", "1", file()), "3");
    EXPECT_EQ(INILesen("Fremd", "Name", "", file()), QString::fromUtf8("Café"));
    EXPECT_EQ(INIZeilenNichtUtf8(file()), QList<int>{4});
    ASSERT_TRUE(INISchreiben("Optionen", "DateigrößeFormat", "2", file()));
    EXPECT_EQ(readRaw(), "[Optionen]\n" + key + "=2\n[Fremd]\nName=Caf\xC3\xA9\n") << "UTF-8 again";
    EXPECT_TRUE(INIZeilenNichtUtf8(file()).isEmpty()) << "the note comes once";
    // The key twice, in both encodings (as an older version left it): one line stays.
    writeRaw("[Optionen]\n" + key + "=3\nX=1\nDateigr\xF6\xDF" + "eFormat=1\n");
    ASSERT_TRUE(INISchreiben("Optionen", "DateigrößeFormat", "0", file()));
    EXPECT_EQ(readRaw(), "[Optionen]\n" + key + "=0\nX=1\n");
    // Windows-1252 throughout is an older file, not a fault.
    writeRaw("[A]\nName=Caf\xE9\n");
    EXPECT_TRUE(INIZeilenNichtUtf8(file()).isEmpty());
}

TEST_F(IniFileTest, DeleteSectionRemovesOnlyThatSection)
{
    writeRaw("[ComboOrdner]\nO0=/a\nO1=/b\n[Form]\nLeft=5\n");
    ASSERT_TRUE(INISektionLöschen("comboordner", file()));
    EXPECT_EQ(INILesen("ComboOrdner", "O0", "!", file()), "!");
    EXPECT_EQ(INILesen("Form", "Left", "0", file()), "5");
    EXPECT_TRUE(INISektionLöschen("Fehlt", file()));
}

TEST_F(IniFileTest, NonAsciiKeysAndValuesRoundTrip)
{
    ASSERT_TRUE(INISchreiben("Optionen", "DateigrößeFormat", "2", file()));
    ASSERT_TRUE(INISchreiben("ComboOrdner", "O0", "/tmp/Äpfel ß", file()));
    EXPECT_EQ(INILesen("optionen", "DATEIGRÖßEFORMAT", "1", file()), "2");
    EXPECT_EQ(INILesen("Optionen", "DateigrößeFormat", "1", file()), "2");
    EXPECT_EQ(INILesen("ComboOrdner", "O0", "", file()), "/tmp/Äpfel ß");
}

TEST_F(IniFileTest, LineBreaksInValuesCannotSplitTheFile)
{
    ASSERT_TRUE(INISchreiben("A", "k", "one\n[Evil]\nx=1", file()));
    EXPECT_EQ(INILesen("Evil", "x", "none", file()), "none");
}

TEST_F(IniFileTest, GarbageLinesAreIgnored)
{
    static const char kGarbage[] = "\x00\xff\xfe garbage\n[Form\n=7\nWidth=9000\n[Form]\nHeight=100\n";
    writeRaw(QByteArray(kGarbage, sizeof kGarbage - 1));
    EXPECT_EQ(INILesen("Form", "Height", "8190", file()), "100");
    EXPECT_EQ(INILesen("Form", "Width", "11715", file()), "11715");
}

TEST_F(IniFileTest, UnwritableFileReportsFailure)
{
    // A plain file where the folder should be: not writable, whoever runs the test.
    writeRaw("x");
    const QString blocked = file() + QStringLiteral("/sub/Tallymoor.ini");
    EXPECT_FALSE(INISchreiben("A", "x", "2", blocked));
    EXPECT_TRUE(INISektionLöschen("A", blocked)) << "a missing file has no section to delete";
    EXPECT_EQ(INILesen("A", "x", "0", blocked), "0");
}

TEST_F(IniFileTest, ReadingSomeSectionsGivesWhatReadingAllGivesForThem)
{
    // Sections of no interest around and inside the ones read: headers with blanks, tabs and other
    // case, an unclosed header, a stray Windows-1252 line among the skipped ones, a repeated name.
    writeRaw("[Fremd]\nOptionen=x\n  [optionen]  \nInstanz=0\n[Fremd2\nNoIcons=1\n\t[Form]\nWidth=7\n"
             "[Anders]\nGr\xf6\xdf"
             "e=1\n[Layout]\nFontName=Arial\n[OPTIONEN]\nInstanz=1\n[Größe]\nA=1\n");
    const IniSnapshot all(file());
    const IniSnapshot some(file(), {"Optionen", "Größe"});
    for (const char* section : {"Optionen", "Größe"}) {
        ASSERT_TRUE(all.keys(section)) << section;
        ASSERT_TRUE(some.keys(section)) << section;
        EXPECT_EQ(*some.keys(section), *all.keys(section)) << section;
    }
    EXPECT_EQ(some.value("optionen", "instanz", "-"), "0") << "the first section of a name counts";
    EXPECT_EQ(some.value("Optionen", "NoIcons", "-"), "1") << "an unclosed header opens no section";
    EXPECT_EQ(some.keys("Form"), nullptr);
    EXPECT_EQ(some.value("Layout", "FontName", "-"), "-");
    EXPECT_EQ(some.linesNotUtf8(), QList<int>{10}) << "stray lines of skipped sections are still named";
    EXPECT_EQ(all.linesNotUtf8(), some.linesNotUtf8());
    EXPECT_EQ(INILesen("form", "WIDTH", "-", file()), "7");
}

TEST_F(IniFileTest, AWriteWhoseHostCallFailsLeavesTheFileAsItWasAndSaysSo)
{
    const QByteArray before = "[Optionen]\nKontextmenu=0\n; eigene Zeile\n[Form]\nWidth=11715\n";
    const QByteArray after = "[Optionen]\nKontextmenu=1\n; eigene Zeile\n[Form]\nWidth=11715\n";
    for (const int error : {EIO, ENOSPC, EINTR}) {
        const int runs = testsupport::failEachCallInTurn(error, [&](testsupport::FailNthCall& faults) {
            writeRaw(before);
            bool written = false;
            {
                const auto scope = faults.install();
                written = INISchreiben("Optionen", "Kontextmenu", "1", file());
            }
            const std::string at =
                "the call " + std::to_string(faults.n()) + " failing with " + std::to_string(error);
            EXPECT_EQ(readRaw(), written ? after : before) << at;
            EXPECT_EQ(QDir(dir.filePath(QStringLiteral("cfg"))).entryList(QDir::Files | QDir::Hidden),
                QStringList{QStringLiteral("Tallymoor.ini")})
                << at;
            if (error == EINTR || !faults.fired()) {
                EXPECT_TRUE(written) << at;
            }
        });
        // Open, read, read at the end, close; open, write, sync, close, rename.
        EXPECT_GE(runs, 9) << error;
    }
    // A disk that stays broken or full from some call on: the file is as it was or as written; a
    // fresh file whose removal failed as well is named in the error log, and the next start
    // removes it.
    const QString logFolder = dir.filePath(QStringLiteral("log/"));
    const QString previousLog = std::exchange(globals().errorLogPfad, logFolder);
    for (const int error : {EIO, ENOSPC}) {
        const int runs = testsupport::failFromEachCallOn(error, [&](testsupport::FailNthCall& faults) {
            writeRaw(before);
            QFile::remove(errorLogFile());
            bool written = false;
            {
                const auto scope = faults.install();
                written = INISchreiben("Optionen", "Kontextmenu", "1", file());
            }
            const std::string at =
                "the calls from " + std::to_string(faults.n()) + " on failing with " + std::to_string(error);
            EXPECT_EQ(readRaw(), written ? after : before) << at;
            const QDir cfg(dir.filePath(QStringLiteral("cfg")));
            QStringList left = cfg.entryList(QDir::Files | QDir::Hidden);
            left.removeAll(QStringLiteral("Tallymoor.ini"));
            QFile log(errorLogFile());
            const QString logged =
                log.open(QIODevice::ReadOnly) ? QString::fromUtf8(log.readAll()) : QString();
            for (const QString& name : left)
                EXPECT_TRUE(logged.contains(name)) << name.toStdString() << " not named after " << at;
            EXPECT_EQ(removeUnfinishedWrites(file()), left.size()) << at;
            EXPECT_EQ(cfg.entryList(QDir::Files | QDir::Hidden), QStringList{QStringLiteral("Tallymoor.ini")})
                << at;
            if (!faults.fired()) {
                EXPECT_TRUE(written) << at;
            }
        });
        EXPECT_GE(runs, 9) << error;
    }
    globals().errorLogPfad = previousLog;
}

TEST_F(IniFileTest, ABatchLeavesWhatItsWritesOneByOneLeaveInOneRewriteOrNothing)
{
    // A Windows-1252 file (one line) whose first line ends are LF, CR LF after them, a key twice, a
    // section twice (in other case), blanks around a header, a comment, a last line without its end.
    const QByteArray before = "[Fremd]\nName=Caf\xE9\n[Form]\r\nLeft=1\r\nleft=2\r\n; eigene Zeile\r\n"
                              "[ComboOrdner]\r\nO0=/a\r\n  [Layout]  \r\nCol1=9\r\n[comboordner]\r\nO5=/b\r\n"
                              "[Optionen]\r\nInstanz=1";
    IniBatch batch;
    std::vector<std::function<bool()>> oneByOne;
    const auto write = [&](const char* section, const char* key, const QString& value) {
        batch.write(section, key, value);
        oneByOne.push_back([=, this] { return INISchreiben(section, key, value, file()); });
    };
    const auto drop = [&](const char* section) {
        batch.deleteSection(section);
        oneByOne.push_back([=, this] { return INISektionLöschen(section, file()); });
    };
    write("Form", "LEFT", "1200");
    // Without its only Windows-1252 line and its LF lines the file is UTF-8 with CR LF from here on.
    drop("Fremd");
    write("Form", "Width", "11715");
    write("Optionen", "DateigrößeFormat", "2");
    write("Layout", "FontName", "Lucida\nConsole");
    drop("ComboOrdner");
    write("ComboOrdner", "O0", QString::fromUtf8("/tmp/Äpfel"));
    write("ComboOrdner", "O1", "/tmp");
    drop("Fehlt");
    write("Neu", "x", "1");
    writeRaw(before);
    for (const auto& change : oneByOne)
        ASSERT_TRUE(change());
    const QByteArray after = readRaw();
    ASSERT_NE(after, before);

    writeRaw(before);
    ASSERT_TRUE(batch.apply(file()));
    EXPECT_EQ(readRaw(), after);
    IniBatch nothing;
    nothing.deleteSection("Fehlt");
    EXPECT_TRUE(nothing.apply(file()));
    EXPECT_EQ(readRaw(), after) << "nothing to change: not rewritten";

    // As many host calls as one write, and a failing one leaves the file as it was.
    const int oneWrite = testsupport::failEachCallInTurn(EIO, [&](testsupport::FailNthCall& faults) {
        writeRaw(before);
        const auto scope = faults.install();
        INISchreiben("Form", "Left", "1", file());
    });
    for (const int error : {EIO, ENOSPC}) {
        const int runs = testsupport::failEachCallInTurn(error, [&](testsupport::FailNthCall& faults) {
            writeRaw(before);
            bool written = false;
            {
                const auto scope = faults.install();
                written = batch.apply(file());
            }
            const std::string at = "the call " + std::to_string(faults.n()) + " failing";
            EXPECT_EQ(readRaw(), written ? after : before) << at;
            if (!faults.fired()) {
                EXPECT_TRUE(written) << at;
            }
            EXPECT_EQ(QDir(dir.filePath(QStringLiteral("cfg"))).entryList(QDir::Files | QDir::Hidden),
                QStringList{QStringLiteral("Tallymoor.ini")})
                << at;
        });
        EXPECT_EQ(runs, oneWrite) << error;
    }
}
