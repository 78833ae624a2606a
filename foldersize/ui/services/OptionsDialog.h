// OptionsDialog.h: the options dialog: the four switches of the [Optionen] section (folder verb of
// the file managers, single running copy, recursive file counts, file-type icons) with OK,
// Abbrechen and Übernehmen.
#pragma once

#include "foldersize/ui/services/DialogHooks.h"

#include <QDialog>

class QCheckBox;
class QPushButton;

namespace foldersize {

class OptionsDialog : public QDialog {
    Q_OBJECT
public:
    // Reads the settings file at once (and re-applies the stored folder verb).
    OptionsDialog(const QString& iniFile, DialogHooks hooks, QWidget* parent = nullptr);

    // Reads the four keys into the boxes; a stored value that is no check-box value (a number
    // 0 to 2) is reported and ends the reading, the remaining boxes keep their design values.
    void OptionenLaden();
    // Writes the four boxes and applies the folder verb; a file that cannot be written is reported.
    void OptionenSpeichern();

protected:
    void showEvent(QShowEvent* event) override;

private:
    void OptionenGeändert();
    void cmdApply_Click();
    void cmdOK_Click();

    QString m_iniFile;
    DialogHooks m_hooks;
    bool m_Aktiviert = false;
    bool m_Geändert = false;
    QCheckBox* m_chkKontextmenu;
    QCheckBox* m_chkInstanz;
    QCheckBox* m_chkDateianzahlRekursiv;
    QCheckBox* m_chkNoIcons;
    QPushButton* m_cmdOK;
    QPushButton* m_cmdCancel;
    QPushButton* m_cmdApply;
};

} // namespace foldersize
