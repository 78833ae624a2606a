// BrowserSettingsTest.cpp: defaults, round trip and bad values of the settings struct.
#include "foldersize/services/BrowserSettings.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "tests/foldersize/QStringPrinter.h"

#include "foldersize/services/IniFile.h"

using namespace foldersize;

class BrowserSettingsTest : public ::testing::Test {
protected:
    QTemporaryDir dir;
    QString path() const { return dir.filePath(QStringLiteral("Tallymoor.ini")); }
    SettingsStore store{path(), QLocale(QLocale::German, QLocale::Germany)};
    void writeRaw(const QByteArray& bytes)
    {
        QFile f(path());
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }
};

TEST_F(BrowserSettingsTest, NoFileGivesTheDocumentedDefaults)
{
    std::vector<SettingsProblem> problems;
    const BrowserSettings s = store.load(&problems);
    EXPECT_TRUE(problems.empty());
    EXPECT_EQ(s.kontextmenu, "99");
    EXPECT_TRUE(s.instanz);
    EXPECT_EQ(s.dateianzahlRekursiv, 0);
    EXPECT_EQ(s.noIcons, 0);
    EXPECT_EQ(s.dateigroesseFormat, kUnitKB);
    EXPECT_EQ(s.windowState, 0);
    EXPECT_FALSE(s.left.has_value());
    EXPECT_FALSE(s.top.has_value());
    EXPECT_EQ(s.width, 11715);
    EXPECT_EQ(s.height, 8190);
    EXPECT_DOUBLE_EQ(s.tvw, 3675);
    EXPECT_EQ(s.columns, (std::array<int, 4>{133, 93, 93, 115}));
    EXPECT_EQ(s.fontName, "Lucida Console");
    EXPECT_DOUBLE_EQ(s.fontSize, 8.25);
    EXPECT_FALSE(s.fontBold);
    EXPECT_TRUE(s.comboOrdner.isEmpty());
    EXPECT_FALSE(s.useProxy);
    EXPECT_FALSE(QFile::exists(path())) << "loading never creates the file";
}

TEST_F(BrowserSettingsTest, EverySectionRoundTrips)
{
    BrowserSettings s;
    s.kontextmenu = "0";
    s.instanz = false;
    s.dateianzahlRekursiv = 1;
    s.noIcons = 1;
    s.dateigroesseFormat = kUnitGB;
    s.windowState = 2;
    s.left = -40;
    s.top = 120;
    s.width = 9000;
    s.height = 7000;
    s.tvw = 2500;
    s.columns = {200, 80, 70, 60};
    s.fontName = "DejaVu Sans Mono";
    s.fontSize = 10.5;
    s.fontBold = true;
    s.useProxy = true;
    s.proxyName = "proxy.local";
    s.proxyPort = "3128";
    s.proxyBenutzer = "ich";
    s.proxyPWspeichern = true;
    s.proxyPasswort = "xyz";
    ASSERT_TRUE(store.saveOptionen(s));
    ASSERT_TRUE(store.saveForm(s));
    ASSERT_TRUE(store.saveLayout(s));
    ASSERT_TRUE(store.saveComboFolders({"/home/A", "/home/a", "/tmp/Mixed Case"}));
    ASSERT_TRUE(store.saveInternetUpdate(s));

    std::vector<SettingsProblem> problems;
    const BrowserSettings r = store.load(&problems);
    EXPECT_TRUE(problems.empty());
    EXPECT_EQ(r.kontextmenu, "0");
    EXPECT_FALSE(r.instanz);
    EXPECT_EQ(r.dateianzahlRekursiv, 1);
    EXPECT_EQ(r.noIcons, 1);
    EXPECT_EQ(r.dateigroesseFormat, kUnitGB);
    EXPECT_EQ(r.windowState, 2);
    EXPECT_EQ(r.left, -40);
    EXPECT_EQ(r.top, 120);
    EXPECT_EQ(r.width, 9000);
    EXPECT_EQ(r.height, 7000);
    EXPECT_DOUBLE_EQ(r.tvw, 2500);
    EXPECT_EQ(r.columns, s.columns);
    EXPECT_EQ(r.fontName, "DejaVu Sans Mono");
    EXPECT_DOUBLE_EQ(r.fontSize, 10.5);
    EXPECT_TRUE(r.fontBold);
    // Last combo entry first; paths keep their case and "A" and "a" stay two entries.
    EXPECT_EQ(r.comboOrdner, (QStringList{"/tmp/Mixed Case", "/home/a", "/home/A"}));
    EXPECT_TRUE(r.useProxy);
    EXPECT_EQ(r.proxyName, "proxy.local");
    EXPECT_EQ(r.proxyPort, "3128");
    EXPECT_EQ(r.proxyBenutzer, "ich");
    EXPECT_TRUE(r.proxyPWspeichern);
    EXPECT_EQ(r.proxyPasswort, "xyz");
}

TEST_F(BrowserSettingsTest, StoredTextsUseTheDocumentedForms)
{
    BrowserSettings s;
    s.fontSize = 8.25;
    s.fontBold = true;
    ASSERT_TRUE(store.saveLayout(s));
    EXPECT_EQ(INILesen("Layout", "FontSize", "", path()), "8,25");
    EXPECT_EQ(INILesen("Layout", "FontBold", "", path()), "-1");
    EXPECT_EQ(INILesen("Optionen", "DateigrößeFormat", "", path()), "1");
    s.fontBold = false;
    s.proxyPWspeichern = false;
    s.proxyPasswort = "secret";
    ASSERT_TRUE(store.saveLayout(s));
    ASSERT_TRUE(store.saveInternetUpdate(s));
    EXPECT_EQ(INILesen("Layout", "FontBold", "", path()), "0");
    EXPECT_EQ(INILesen("InternetUpdate", "ProxyPasswort", "?", path()), "")
        << "the password is kept only when saving it was asked for";
}

TEST_F(BrowserSettingsTest, BooleanTextsAreAccepted)
{
    writeRaw("[Layout]\nFontBold=True\n[InternetUpdate]\nUseProxy=-1\n[Optionen]\nInstanz=0\n");
    BrowserSettings s = store.load();
    EXPECT_TRUE(s.fontBold);
    EXPECT_TRUE(s.useProxy);
    EXPECT_FALSE(s.instanz);
    writeRaw("[Layout]\nFontBold=False\n[Optionen]\nInstanz=2\n");
    s = store.load();
    EXPECT_FALSE(s.fontBold);
    EXPECT_TRUE(s.instanz) << "any non-zero number keeps one copy";
}

TEST_F(BrowserSettingsTest, BadValuesKeepDefaultsAndAreListed)
{
    writeRaw("[Form]\nWidth=\nHeight=abc\nLeft=12\n[Optionen]\nNoIcons=300\nDateigrößeFormat=2\n"
             "[Layout]\nFontBold=vielleicht\nCol2=77\n");
    std::vector<SettingsProblem> problems;
    const BrowserSettings s = store.load(&problems);
    EXPECT_EQ(s.width, 11715);
    EXPECT_EQ(s.height, 8190);
    EXPECT_EQ(s.left, 12);
    EXPECT_EQ(s.noIcons, 0);
    EXPECT_EQ(s.dateigroesseFormat, kUnitMB);
    EXPECT_FALSE(s.fontBold);
    EXPECT_EQ(s.columns[1], 77);
    ASSERT_EQ(problems.size(), 4u);
    EXPECT_EQ(problems[0].key, "NoIcons");
    EXPECT_EQ(problems[0].value, "300");
    EXPECT_EQ(problems[1].key, "Width");
    EXPECT_EQ(problems[1].value, "");
    EXPECT_EQ(problems[2].key, "Height");
    EXPECT_EQ(problems[3].key, "FontBold");
}

TEST_F(BrowserSettingsTest, AnOutOfRangeOptionByteFallsBackOnceAndIsNotWrittenBack)
{
    writeRaw("[Optionen]\nDateigrößeFormat=7\nDateianzahlRekursiv=2\nNoIcons=3\n");
    std::vector<SettingsProblem> problems;
    BrowserSettings s = store.load(&problems);
    EXPECT_EQ(s.dateigroesseFormat, kUnitKB) << "a unit of 7 would blank every size";
    EXPECT_EQ(s.dateianzahlRekursiv, 2) << "a grey option box is a valid value";
    EXPECT_EQ(s.noIcons, 0);
    ASSERT_EQ(problems.size(), 2u);
    EXPECT_EQ(problems[0].key, "NoIcons");
    EXPECT_EQ(problems[1].key, "DateigrößeFormat");
    EXPECT_EQ(problems[1].value, "7");
    ASSERT_TRUE(store.saveLayout(s));
    EXPECT_EQ(INILesen("Optionen", "DateigrößeFormat", "", path()), "1");
    problems.clear();
    s = store.load(&problems);
    EXPECT_EQ(problems.size(), 1u) << "after saving only the untouched NoIcons is still wrong";
}

TEST_F(BrowserSettingsTest, AStrayByteKeepsTheUnitAndIsReportedOnceWithItsLine)
{
    writeRaw("[Optionen]\nDateigr\xC3\xB6\xC3\x9F"
             "eFormat=3\n[ComboOrdner]\nO0=/tmp/Caf\xE9\n[Form]\nWidth=x\n");
    std::vector<SettingsProblem> problems;
    BrowserSettings s = store.load(&problems);
    EXPECT_EQ(s.dateigroesseFormat, kUnitGB);
    EXPECT_EQ(s.comboOrdner, QStringList{QString::fromUtf8("/tmp/Café")});
    ASSERT_EQ(problems.size(), 2u);
    EXPECT_EQ(problems[0].line, 4);
    EXPECT_EQ(settingsProblemsText(problems, "T.ini"),
        "Zeile 4 der Einstellungsdatei \"T.ini\" ist kein UTF-8-Text und wurde als Windows-1252 gelesen."
        "\n\nDie Einstellungsdatei \"T.ini\" enthält ungültige Werte. Statt ihrer gelten die Vorgaben:"
        "\n[Form] Width=x");
    // Saving stores the file as UTF-8: the next start has only the bad width to report.
    ASSERT_TRUE(store.saveComboFolders(s.comboOrdner));
    ASSERT_TRUE(store.saveLayout(s));
    problems.clear();
    store.load(&problems);
    EXPECT_EQ(problems.size(), 1u);
}

TEST_F(BrowserSettingsTest, ComboHistoryStopsAtTheFirstGap)
{
    writeRaw("[ComboOrdner]\nO0=/a\nO1=/b\nO3=/d\n");
    EXPECT_EQ(store.load().comboOrdner, (QStringList{"/a", "/b"}));
}

TEST_F(BrowserSettingsTest, AtMostTenHistoryEntriesAreSavedLastFirst)
{
    QStringList combo;
    for (int i = 0; i < 14; ++i)
        combo << QStringLiteral("/f%1").arg(i);
    combo.insert(12, QStringLiteral("   "));
    ASSERT_TRUE(store.saveComboFolders(combo));
    const QStringList saved = store.load().comboOrdner;
    ASSERT_EQ(saved.size(), 10);
    EXPECT_EQ(saved.first(), "/f13");
    EXPECT_EQ(saved.last(), "/f4");
    EXPECT_FALSE(saved.contains("   "));
    // Saving again rewrites the section rather than leaving stale keys behind.
    ASSERT_TRUE(store.saveComboFolders({"/only"}));
    EXPECT_EQ(store.load().comboOrdner, QStringList{"/only"});
}

TEST_F(BrowserSettingsTest, FontSizeReadsInEitherNotation)
{
    writeRaw("[Layout]\nFontSize=9.75\n");
    EXPECT_DOUBLE_EQ(store.load().fontSize, 9.75);
    EXPECT_EQ(fontSizeText(8.25, QLocale::c()), "8.25");
    EXPECT_EQ(fontSizeText(9.0, QLocale(QLocale::German)), "9");
    EXPECT_EQ(fontSizeText(8.123456, QLocale(QLocale::German)), "8,1235");
}

TEST_F(BrowserSettingsTest, UnitButtonKeys)
{
    EXPECT_EQ(unitButtonKey(0), "b");
    EXPECT_EQ(unitButtonKey(1), "kb");
    EXPECT_EQ(unitButtonKey(2), "mb");
    EXPECT_EQ(unitButtonKey(3), "gb");
    EXPECT_EQ(unitButtonKey(4), "");
}

TEST_F(BrowserSettingsTest, ALongHistoryIsReadInOnePassOverTheFile)
{
    // Two megabytes of history: read key by key through the whole file, this took hours.
    constexpr int kEntries = 50000;
    QByteArray bytes = "[Optionen]\nDateigrößeFormat=2\n[ComboOrdner]\n";
    for (int i = 0; i < kEntries; ++i)
        bytes += "O" + QByteArray::number(i) + "=/srv/archiv/projekt-" + QByteArray::number(i) + "/\n";
    bytes += "[Layout]\nCol1=200\n";
    writeRaw(bytes);
    const BrowserSettings s = store.load();
    ASSERT_EQ(s.comboOrdner.size(), kEntries);
    EXPECT_EQ(s.comboOrdner.last(), "/srv/archiv/projekt-49999/");
    EXPECT_EQ(s.dateigroesseFormat, kUnitMB);
    EXPECT_EQ(s.columns[0], 200);
    // What the start decides on alone: [Optionen], without the history.
    const BrowserSettings options = store.loadOptionen();
    EXPECT_EQ(options.dateigroesseFormat, kUnitMB);
    EXPECT_TRUE(options.comboOrdner.isEmpty());
    EXPECT_EQ(options.columns[0], 133);
}

TEST_F(BrowserSettingsTest, AFileLargerThanAnySettingsFileGivesTheDefaultsAWarningAndIsReplaced)
{
    QByteArray bytes = "[Optionen]\nDateigrößeFormat=3\n";
    const QByteArray comment = "; " + QByteArray(1022, 'x') + "\n";
    while (bytes.size() <= kIniFileMax)
        bytes += comment;
    writeRaw(bytes);
    std::vector<SettingsProblem> problems;
    const BrowserSettings s = store.load(&problems);
    EXPECT_EQ(s.dateigroesseFormat, kUnitKB) << "the default, not the value at the top";
    ASSERT_EQ(problems.size(), 1u);
    std::vector<SettingsProblem> atStart;
    store.loadOptionen(&atStart);
    ASSERT_EQ(atStart.size(), 1u);
    EXPECT_TRUE(atStart[0].tooLarge);
    EXPECT_EQ(settingsProblemsText(problems, path()),
        "Die Einstellungsdatei \"" + path() +
            "\" ist größer als 16 MiB und wurde nicht gelesen. Statt ihrer Werte gelten die Vorgaben; "
            "die Datei wird durch eine neue ersetzt.");
    ASSERT_TRUE(store.saveKontextmenu("1"));
    EXPECT_EQ(QFileInfo(path()).size(), QByteArray("[Optionen]\nKontextmenu=1\n").size());
    EXPECT_EQ(store.load().kontextmenu, "1");
}
