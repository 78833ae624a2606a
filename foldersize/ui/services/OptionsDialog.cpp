// OptionsDialog.cpp: reading, change tracking and writing of the four [Optionen] switches.
#include "foldersize/ui/services/OptionsDialog.h"

#include "foldersize/services/IniFile.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>

namespace foldersize {

namespace {

const QString kModul = QStringLiteral("frmOptionen");
const QString kSection = QStringLiteral("Optionen");

int boxValue(const QCheckBox* box)
{
    switch (box->checkState()) {
    case Qt::Unchecked: return 0;
    case Qt::Checked: return 1;
    case Qt::PartiallyChecked: return 2;
    }
    return 0;
}

void setBoxValue(QCheckBox* box, int value)
{
    if (value == 2)
        box->setTristate(true);
    box->setCheckState(value == 1 ? Qt::Checked : value == 2 ? Qt::PartiallyChecked : Qt::Unchecked);
}

} // namespace

OptionsDialog::OptionsDialog(const QString& iniFile, DialogHooks hooks, QWidget* parent)
    : QDialog(parent)
    , m_iniFile(iniFile)
    , m_hooks(std::move(hooks))
{
    setWindowTitle(QStringLiteral("Optionen"));
    m_chkKontextmenu = new QCheckBox(
        QStringLiteral("„Mit Tallymoor öffnen“ im Kontextmenü von Ordnern im Dateimanager anbieten"), this);
    m_chkKontextmenu->setObjectName(QStringLiteral("chkKontextmenu"));
    m_chkInstanz = new QCheckBox(QStringLiteral("Nur eine Programminstanz von Tallymoor starten"), this);
    m_chkInstanz->setObjectName(QStringLiteral("chkInstanz"));
    m_chkDateianzahlRekursiv =
        new QCheckBox(QStringLiteral("Dateianzahl (Rekursiv) hinter dem Ordnernamen anzeigen"), this);
    m_chkDateianzahlRekursiv->setObjectName(QStringLiteral("chkDateianzahlRekursiv"));
    m_chkNoIcons = new QCheckBox(QStringLiteral("Keine Symbole vor dem Dateinamen anzeigen"), this);
    m_chkNoIcons->setObjectName(QStringLiteral("chkNoIcons"));
    m_chkInstanz->setChecked(true); // one copy at a time unless the settings say otherwise

    m_cmdOK = new QPushButton(QStringLiteral("OK"), this);

    m_cmdOK->setObjectName(QStringLiteral("cmdOK"));
    m_cmdCancel = new QPushButton(QStringLiteral("Abbrechen"), this);
    m_cmdCancel->setObjectName(QStringLiteral("cmdCancel"));
    m_cmdApply = new QPushButton(QStringLiteral("Übernehmen"), this);
    m_cmdApply->setObjectName(QStringLiteral("cmdApply"));
    m_cmdOK->setDefault(true);
    m_cmdApply->setEnabled(false);

    auto* layout = new QVBoxLayout(this);
    for (QCheckBox* box : {m_chkKontextmenu, m_chkInstanz, m_chkDateianzahlRekursiv, m_chkNoIcons}) {
        layout->addWidget(box);
        connect(box, &QCheckBox::stateChanged, this, &OptionsDialog::OptionenGeändert);
    }
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_cmdOK);
    buttons->addWidget(m_cmdCancel);
    buttons->addWidget(m_cmdApply);
    layout->addLayout(buttons);

    connect(m_cmdOK, &QPushButton::clicked, this, &OptionsDialog::cmdOK_Click);
    connect(m_cmdCancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(m_cmdApply, &QPushButton::clicked, this, &OptionsDialog::cmdApply_Click);

    m_Aktiviert = false;
    OptionenLaden();
}

void OptionsDialog::OptionenLaden()
{
    struct Entry {
        QCheckBox* box;
        const char* key;
        const char* defaultValue;
        int step;
    };
    const Entry entries[] = {{m_chkKontextmenu, "Kontextmenu", "1", 10}, {m_chkInstanz, "Instanz", "1", 20},
        {m_chkDateianzahlRekursiv, "DateianzahlRekursiv", "0", 30}, {m_chkNoIcons, "NoIcons", "0", 40}};
    for (const Entry& e : entries) {
        const QString text =
            INILesen(kSection, QLatin1String(e.key), QLatin1String(e.defaultValue), m_iniFile);
        bool ok = false;
        const int value = text.trimmed().toInt(&ok);
        if (!ok || value < 0 || value > 2) {
            m_hooks.error(QStringLiteral("OptionenLaden"), kModul, e.step,
                QStringLiteral("Ungültiger Wert \"%1\" für [%2] %3 in %4")
                    .arg(text, kSection, QLatin1String(e.key), m_iniFile));
            return;
        }
        setBoxValue(e.box, value);
        if (e.box == m_chkKontextmenu && m_hooks.kontextmenuRegistrieren)
            m_hooks.kontextmenuRegistrieren(value);
    }
}

void OptionsDialog::OptionenSpeichern()
{
    const std::pair<QCheckBox*, const char*> entries[] = {{m_chkKontextmenu, "Kontextmenu"},
        {m_chkInstanz, "Instanz"}, {m_chkDateianzahlRekursiv, "DateianzahlRekursiv"},
        {m_chkNoIcons, "NoIcons"}};
    int step = 10;
    for (const auto& [box, key] : entries) {
        if (!INISchreiben(kSection, QLatin1String(key), QString::number(boxValue(box)), m_iniFile)) {
            m_hooks.error(QStringLiteral("OptionenSpeichern"), kModul, step,
                QStringLiteral("Die Einstellungen können nicht in %1 gespeichert werden.").arg(m_iniFile));
            return;
        }
        if (box == m_chkKontextmenu && m_hooks.kontextmenuRegistrieren)
            m_hooks.kontextmenuRegistrieren(boxValue(box));
        step += 10;
    }
}

void OptionsDialog::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (!m_Aktiviert)
        m_Aktiviert = true;
}

void OptionsDialog::OptionenGeändert()
{
    if (!m_Aktiviert)
        return;
    m_Geändert = true;
    m_cmdApply->setEnabled(true);
}

void OptionsDialog::cmdApply_Click()
{
    OptionenSpeichern();
    m_cmdApply->setEnabled(false);
}

void OptionsDialog::cmdOK_Click()
{
    if (m_Geändert)
        OptionenSpeichern();
    accept();
}

} // namespace foldersize
