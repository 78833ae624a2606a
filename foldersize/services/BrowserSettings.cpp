// BrowserSettings.cpp: conversion between the INI texts and BrowserSettings.
#include "foldersize/services/BrowserSettings.h"

#include <algorithm>
#include <cmath>

#include "foldersize/services/IniFile.h"

namespace foldersize {
namespace {

class Reader {
public:
    Reader(const IniSnapshot& ini, const QLocale& locale, std::vector<SettingsProblem>* problems)
        : m_ini(ini)
        , m_locale(locale)
        , m_problems(problems)
    {}

    QString text(const QString& section, const QString& key, const QString& def) const
    {
        return m_ini.value(section, key, def);
    }

    // Whole number; a missing key keeps `value`, a text that is no number is a problem.
    void integer(
        const QString& section, const QString& key, int& value, int lo = INT_MIN, int hi = INT_MAX) const
    {
        const QString t = m_ini.value(section, key, ini::kComboEnde);
        if (t == ini::kComboEnde)
            return;
        bool ok = false;
        double d = toNumber(t, &ok);
        if (ok && std::isfinite(d) && d >= lo && d <= hi)
            value = static_cast<int>(std::lround(d));
        else
            problem(section, key, t);
    }

    void optionalInteger(const QString& section, const QString& key, std::optional<int>& value) const
    {
        const QString t = m_ini.value(section, key, ini::kComboEnde);
        if (t == ini::kComboEnde)
            return;
        bool ok = false;
        const double d = toNumber(t, &ok);
        if (ok && std::isfinite(d) && std::abs(d) < 1e9)
            value = static_cast<int>(std::lround(d));
        else
            problem(section, key, t);
    }

    // A byte in lo..hi; a value outside (a size unit of 7) is a problem like a text that is no
    // number, so the default stays and is what gets written back.
    void byte(const QString& section, const QString& key, std::uint8_t& value, int hi = 255) const
    {
        int v = value;
        const QString t = m_ini.value(section, key, ini::kComboEnde);
        if (t == ini::kComboEnde)
            return;
        bool ok = false;
        const double d = toNumber(t, &ok);
        if (ok && d >= 0 && std::lround(d) <= hi) {
            v = static_cast<int>(std::lround(d));
            value = static_cast<std::uint8_t>(v);
        } else {
            problem(section, key, t);
        }
    }

    void real(const QString& section, const QString& key, double& value) const
    {
        const QString t = m_ini.value(section, key, ini::kComboEnde);
        if (t == ini::kComboEnde)
            return;
        bool ok = false;
        const double d = toNumber(t, &ok);
        if (ok && std::isfinite(d))
            value = d;
        else
            problem(section, key, t);
    }

    // "1"/"0" flags and Booleans ("-1", "0", "True", "False", any number).
    void flag(const QString& section, const QString& key, bool& value) const
    {
        const QString t = m_ini.value(section, key, ini::kComboEnde);
        if (t == ini::kComboEnde)
            return;
        if (t.compare(QLatin1String("True"), Qt::CaseInsensitive) == 0) {
            value = true;
            return;
        }
        if (t.compare(QLatin1String("False"), Qt::CaseInsensitive) == 0) {
            value = false;
            return;
        }
        bool ok = false;
        const double d = toNumber(t, &ok);
        if (ok)
            value = d != 0;
        else
            problem(section, key, t);
    }

private:
    double toNumber(const QString& t, bool* ok) const
    {
        double d = m_locale.toDouble(t, ok);
        if (!*ok)
            d = QLocale::c().toDouble(t, ok);
        return d;
    }

    void problem(const QString& section, const QString& key, const QString& value) const
    {
        if (m_problems)
            m_problems->push_back({section, key, value});
    }

    const IniSnapshot& m_ini;
    const QLocale& m_locale;
    std::vector<SettingsProblem>* m_problems;
};

QString flagText(bool on) { return on ? QStringLiteral("1") : QStringLiteral("0"); }

} // namespace

SettingsStore::SettingsStore(QString iniPath, QLocale locale)
    : m_path(std::move(iniPath))
    , m_locale(std::move(locale))
{}

BrowserSettings SettingsStore::load(std::vector<SettingsProblem>* problems) const
{
    // The sections of Tallymoor's; whatever else the file holds is passed over.
    return loadFrom(IniSnapshot(m_path,
                        {ini::kOptionen, ini::kForm, ini::kLayout, ini::kComboOrdner, ini::kInternetUpdate}),
        problems);
}

BrowserSettings SettingsStore::loadOptionen(std::vector<SettingsProblem>* problems) const
{
    return loadFrom(IniSnapshot(m_path, {ini::kOptionen}), problems);
}

BrowserSettings SettingsStore::loadFrom(const IniSnapshot& file, std::vector<SettingsProblem>* problems) const
{
    BrowserSettings s;
    if (file.tooLarge()) {
        // No settings file of ours: as a corrupt one, the defaults hold.
        if (problems)
            problems->push_back({QString(), QString(), QString(), 0, true});
        return s;
    }
    const Reader r(file, m_locale, problems);
    using namespace ini;
    if (problems)
        for (const int line : file.linesNotUtf8())
            problems->push_back({QString(), QString(), QString(), line});

    s.kontextmenu = r.text(kOptionen, QStringLiteral("Kontextmenu"), QStringLiteral("99"));
    r.flag(kOptionen, QStringLiteral("Instanz"), s.instanz);
    // The option boxes store 0, 1 or 2 (grey); the size unit is 0..3.
    r.byte(kOptionen, QStringLiteral("DateianzahlRekursiv"), s.dateianzahlRekursiv, 2);
    r.byte(kOptionen, QStringLiteral("NoIcons"), s.noIcons, 2);
    r.byte(kOptionen, QStringLiteral("DateigrößeFormat"), s.dateigroesseFormat, kUnitGB);

    r.integer(kForm, QStringLiteral("WindowState"), s.windowState, 0, 2);
    r.optionalInteger(kForm, QStringLiteral("Left"), s.left);
    r.optionalInteger(kForm, QStringLiteral("Top"), s.top);
    r.integer(kForm, QStringLiteral("Width"), s.width, 0, 1000000);
    s.widthStored = !file.value(kForm, QStringLiteral("Width"), QString()).isEmpty();
    r.integer(kForm, QStringLiteral("Height"), s.height, 0, 1000000);
    r.real(kForm, QStringLiteral("TVW"), s.tvw);

    for (int i = 0; i < 4; ++i)
        r.integer(
            kLayout, QStringLiteral("Col%1").arg(i + 1), s.columns[static_cast<std::size_t>(i)], 0, 100000);
    s.fontName = r.text(kLayout, QStringLiteral("FontName"), s.fontName);
    r.real(kLayout, QStringLiteral("FontSize"), s.fontSize);
    if (s.fontSize <= 0 || s.fontSize > 1000) {
        if (problems)
            problems->push_back({kLayout, QStringLiteral("FontSize"), fontSizeText(s.fontSize, m_locale)});
        s.fontSize = 8.25;
    }
    r.flag(kLayout, QStringLiteral("FontBold"), s.fontBold);

    // The history ends at the first missing key; keys after a gap are never read.
    if (const QHash<QString, QString>* history = file.keys(kComboOrdner)) {
        for (int i = 0;; ++i) {
            const auto t = history->constFind(QStringLiteral("o%1").arg(i)); // "O0", ... case-folded
            if (t == history->cend() || *t == kComboEnde)
                break;
            s.comboOrdner.append(*t);
        }
    }

    r.flag(kInternetUpdate, QStringLiteral("UseProxy"), s.useProxy);
    s.proxyName = r.text(kInternetUpdate, QStringLiteral("ProxyName"), QString());
    s.proxyPort = r.text(kInternetUpdate, QStringLiteral("ProxyPort"), QString());
    s.proxyBenutzer = r.text(kInternetUpdate, QStringLiteral("ProxyBenutzer"), QString());
    r.flag(kInternetUpdate, QStringLiteral("ProxyPWspeichern"), s.proxyPWspeichern);
    s.proxyPasswort = r.text(kInternetUpdate, QStringLiteral("ProxyPasswort"), QString());
    return s;
}

bool SettingsStore::saveKontextmenu(const QString& value) const
{
    return INISchreiben(ini::kOptionen, QStringLiteral("Kontextmenu"), value, m_path);
}

bool SettingsStore::saveOptionen(const BrowserSettings& s) const
{
    using ini::kOptionen;
    IniBatch batch;
    batch.write(kOptionen, QStringLiteral("Kontextmenu"), s.kontextmenu);
    batch.write(kOptionen, QStringLiteral("Instanz"), flagText(s.instanz));
    batch.write(kOptionen, QStringLiteral("DateianzahlRekursiv"), QString::number(s.dateianzahlRekursiv));
    batch.write(kOptionen, QStringLiteral("NoIcons"), QString::number(s.noIcons));
    return save(batch);
}

void SettingsStore::addForm(IniBatch& batch, const BrowserSettings& s) const
{
    using ini::kForm;
    batch.write(kForm, QStringLiteral("WindowState"), QString::number(s.windowState));
    batch.write(kForm, QStringLiteral("Left"), QString::number(s.left.value_or(0)));
    batch.write(kForm, QStringLiteral("Top"), QString::number(s.top.value_or(0)));
    batch.write(kForm, QStringLiteral("Width"), QString::number(s.width));
    batch.write(kForm, QStringLiteral("Height"), QString::number(s.height));
    batch.write(kForm, QStringLiteral("TVW"), QString::number(std::lround(s.tvw)));
}

void SettingsStore::addLayout(IniBatch& batch, const BrowserSettings& s) const
{
    using ini::kLayout;
    batch.write(ini::kOptionen, QStringLiteral("DateigrößeFormat"), QString::number(s.dateigroesseFormat));
    for (int i = 0; i < 4; ++i)
        batch.write(kLayout, QStringLiteral("Col%1").arg(i + 1),
            QString::number(s.columns[static_cast<std::size_t>(i)]));
    batch.write(kLayout, QStringLiteral("FontName"), s.fontName);
    batch.write(kLayout, QStringLiteral("FontSize"), fontSizeText(s.fontSize, m_locale));
    batch.write(kLayout, QStringLiteral("FontBold"), s.fontBold ? QStringLiteral("-1") : QStringLiteral("0"));
}

QStringList SettingsStore::comboFoldersToSave(const QStringList& comboTexts)
{
    QStringList out;
    for (qsizetype i = comboTexts.size() - 1; i >= 0 && out.size() < 10; --i) {
        if (!comboTexts[i].trimmed().isEmpty())
            out.append(comboTexts[i]);
    }
    return out;
}

void SettingsStore::addComboFolders(IniBatch& batch, const QStringList& comboTexts) const
{
    batch.deleteSection(ini::kComboOrdner);
    const QStringList keep = comboFoldersToSave(comboTexts);
    for (qsizetype i = 0; i < keep.size(); ++i)
        batch.write(ini::kComboOrdner, QStringLiteral("O%1").arg(i), keep[i]);
}

bool SettingsStore::saveForm(const BrowserSettings& s) const
{
    IniBatch batch;
    addForm(batch, s);
    return save(batch);
}

bool SettingsStore::saveLayout(const BrowserSettings& s) const
{
    IniBatch batch;
    addLayout(batch, s);
    return save(batch);
}

bool SettingsStore::saveComboFolders(const QStringList& comboTexts) const
{
    IniBatch batch;
    addComboFolders(batch, comboTexts);
    return save(batch);
}

bool SettingsStore::save(const IniBatch& batch) const { return batch.apply(m_path); }

bool SettingsStore::saveInternetUpdate(const BrowserSettings& s) const
{
    using ini::kInternetUpdate;
    IniBatch batch;
    batch.write(kInternetUpdate, QStringLiteral("UseProxy"), flagText(s.useProxy));
    batch.write(kInternetUpdate, QStringLiteral("ProxyName"), s.proxyName);
    batch.write(kInternetUpdate, QStringLiteral("ProxyPort"), s.proxyPort);
    batch.write(kInternetUpdate, QStringLiteral("ProxyBenutzer"), s.proxyBenutzer);
    batch.write(kInternetUpdate, QStringLiteral("ProxyPWspeichern"), flagText(s.proxyPWspeichern));
    batch.write(
        kInternetUpdate, QStringLiteral("ProxyPasswort"), s.proxyPWspeichern ? s.proxyPasswort : QString());
    return save(batch);
}

QString settingsProblemsText(const std::vector<SettingsProblem>& problems, const QString& iniPath)
{
    QString values;
    QStringList lines;
    for (const SettingsProblem& p : problems) {
        if (p.line > 0)
            lines << QString::number(p.line);
        else if (!p.tooLarge)
            values += QStringLiteral("\n[%1] %2=%3").arg(p.section, p.key, p.value);
    }
    QStringList parts;
    if (std::any_of(problems.begin(), problems.end(), [](const SettingsProblem& p) { return p.tooLarge; }))
        parts << QStringLiteral("Die Einstellungsdatei \"%1\" ist größer als 16 MiB und wurde nicht gelesen. "
                                "Statt ihrer Werte gelten die Vorgaben; die Datei wird durch eine neue "
                                "ersetzt.")
                     .arg(iniPath);
    if (!lines.isEmpty())
        parts << (lines.size() == 1
                ? QStringLiteral("Zeile %1 der Einstellungsdatei \"%2\" ist kein UTF-8-Text und wurde als "
                                 "Windows-1252 gelesen.")
                : QStringLiteral("Die Zeilen %1 der Einstellungsdatei \"%2\" sind kein UTF-8-Text und wurden "
                                 "als Windows-1252 gelesen."))
                     .arg(lines.join(QStringLiteral(", ")), iniPath);
    if (!values.isEmpty())
        parts << QStringLiteral(
            "Die Einstellungsdatei \"%1\" enthält ungültige Werte. Statt ihrer gelten die "
            "Vorgaben:%2")
                     .arg(iniPath, values);
    return parts.join(QStringLiteral("\n\n"));
}

QString unitButtonKey(std::uint8_t unit)
{
    switch (unit) {
    case kUnitBytes: return QStringLiteral("b");
    case kUnitKB: return QStringLiteral("kb");
    case kUnitMB: return QStringLiteral("mb");
    case kUnitGB: return QStringLiteral("gb");
    default: return QString();
    }
}

QString fontSizeText(double size, const QLocale& locale)
{
    QString t = locale.toString(std::round(size * 10000.0) / 10000.0, 'f', 4);
    // Fixed-point text without trailing zeros: 8.25 -> "8,25", 9 -> "9".
    const QString dp = locale.decimalPoint();
    if (t.contains(dp)) {
        while (t.endsWith(QLatin1Char('0')))
            t.chop(1);
        if (t.endsWith(dp))
            t.chop(dp.size());
    }
    return t;
}

} // namespace foldersize
