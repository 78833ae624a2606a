// BrowserSettings.h: every setting of the INI file as one plain struct, loaded once and written
// back section by section. Logic reads the struct; only SettingsStore touches the file.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <vector>

#include <QLocale>
#include <QString>
#include <QStringList>

namespace foldersize {

class IniBatch;
class IniSnapshot;

// Section and key names of the INI file (no other section or key is read or written).
namespace ini {
inline const QString kOptionen = QStringLiteral("Optionen");
inline const QString kForm = QStringLiteral("Form");
inline const QString kLayout = QStringLiteral("Layout");
inline const QString kComboOrdner = QStringLiteral("ComboOrdner");
inline const QString kInternetUpdate = QStringLiteral("InternetUpdate");
// End marker read back for a missing [ComboOrdner] key.
inline const QString kComboEnde = QStringLiteral("!(nix].-.");
} // namespace ini

// Size units of the display: 0 Bytes, 1 KB, 2 MB, 3 GB.
inline constexpr std::uint8_t kUnitBytes = 0;
inline constexpr std::uint8_t kUnitKB = 1;
inline constexpr std::uint8_t kUnitMB = 2;
inline constexpr std::uint8_t kUnitGB = 3;

struct BrowserSettings {
    // [Optionen]
    QString kontextmenu = QStringLiteral("99"); // "99" = never written: first run
    bool instanz = true;                        // one running copy only
    std::uint8_t dateianzahlRekursiv = 0;       // 1 = show recursive file counts
    std::uint8_t noIcons = 0;                   // 1 = no file-type icons in the list
    std::uint8_t dateigroesseFormat = kUnitKB;  // size unit 0..3 (other stored values: a problem)

    // [Form], positions and sizes in twips
    int windowState = 0;     // 0 normal, 1 minimized, 2 maximized
    std::optional<int> left; // absent: centre the window
    std::optional<int> top;
    int width = 11715;
    bool widthStored = false; // the file holds a width (a usable one or not)
    int height = 8190;
    double tvw = 3675; // width of the folder tree (splitter position)

    // [Layout]
    std::array<int, 4> columns{133, 93, 93, 115};
    QString fontName = QStringLiteral("Lucida Console");
    double fontSize = 8.25;
    bool fontBold = false;

    // [ComboOrdner]: folder history in stored order O0, O1, ... (O0 = last combo entry).
    QStringList comboOrdner;

    // [InternetUpdate]
    bool useProxy = false;
    QString proxyName;
    QString proxyPort;
    QString proxyBenutzer;
    bool proxyPWspeichern = false;
    QString proxyPasswort; // scrambled form as stored; empty unless proxyPWspeichern
};

// A stored value that could not be converted (the default was used instead), or, with a line
// number, a line that is not UTF-8 and was read as Windows-1252, or a file too large to be read.
struct SettingsProblem {
    QString section;
    QString key;
    QString value;
    int line = 0;
    bool tooLarge = false; // the file is larger than any settings file: all defaults
};

// The message that tells the user of the problems with the file at iniPath ("" for none).
QString settingsProblemsText(const std::vector<SettingsProblem>& problems, const QString& iniPath);

// Reads and writes BrowserSettings in one INI file. Numbers are written in the given locale
// (font size "8,25" in German) and read in that locale or in plain C notation.
class SettingsStore {
public:
    explicit SettingsStore(QString iniPath, QLocale locale = QLocale());

    const QString& path() const { return m_path; }

    // Loads every section. Values that do not convert keep their defaults and are listed in
    // problems (when given). Never fails: a missing or unreadable file yields all defaults.
    BrowserSettings load(std::vector<SettingsProblem>* problems = nullptr) const;
    // Loads [Optionen] alone (what the start decides on); the other settings keep their defaults.
    BrowserSettings loadOptionen(std::vector<SettingsProblem>* problems = nullptr) const;

    // Each writer rewrites the file once and returns false when it could not be written (nothing
    // of it is then written).
    bool saveKontextmenu(const QString& value) const;           // [Optionen] Kontextmenu
    bool saveOptionen(const BrowserSettings& s) const;          // the four [Optionen] flags
    bool saveForm(const BrowserSettings& s) const;              // [Form]
    bool saveLayout(const BrowserSettings& s) const;            // DateigrößeFormat and [Layout]
    bool saveComboFolders(const QStringList& comboTexts) const; // [ComboOrdner], see below
    bool saveInternetUpdate(const BrowserSettings& s) const;    // [InternetUpdate]

    // What saveForm, saveLayout and saveComboFolders write, added to a batch, so that several
    // sections are written in one rewrite of the file (the window's close); save writes the batch.
    void addForm(IniBatch& batch, const BrowserSettings& s) const;
    void addLayout(IniBatch& batch, const BrowserSettings& s) const;
    void addComboFolders(IniBatch& batch, const QStringList& comboTexts) const;
    bool save(const IniBatch& batch) const;

    // Folder history as stored by saveComboFolders: walks comboTexts from last to first, skips
    // blank texts and keeps at most ten (O0 = last entry).
    static QStringList comboFoldersToSave(const QStringList& comboTexts);

private:
    BrowserSettings loadFrom(const IniSnapshot& file, std::vector<SettingsProblem>* problems) const;

    QString m_path;
    QLocale m_locale;
};

// Size-unit key of the toolbar ("b", "kb", "mb", "gb"); empty for a unit outside 0..3.
QString unitButtonKey(std::uint8_t unit);

// Text form of a font size as stored: at most four decimals, locale decimal separator.
QString fontSizeText(double size, const QLocale& locale);

} // namespace foldersize
