// ConnectionTypePage.h: the page on which the user says how the two PCs are joined and names the
// source PC (and, for a Windows 2000 or XP source, a user and password on it).
#pragma once

#include "wizard/ui/connection/ConnectionRules.h"
#include "wizard/ui/pages/PageFrame.h"

#include <functional>
#include <string>

class QCheckBox;
class QGroupBox;
class QLineEdit;
class QRadioButton;

namespace wizard {

class ScriptVariables;

// The network computer browser: owner window in, the chosen computer's display name out ("" when
// the user cancels). The program installs the connection helpers'; without one, Browse finds
// nothing.
using ComputerBrowser = std::function<std::string(QWidget* owner)>;
ComputerBrowser setComputerBrowser(ComputerBrowser browser);

class Frm_ConnectionType : public StepPage {
    Q_OBJECT
public:
    static constexpr const char* kFormName = "Frm_ConnectionType";
    static constexpr int kHelpTopic = 21;

    Frm_ConnectionType(KestroMain* main, QWidget* parent, ScriptVariables& variables);

    void activated() override; // each time the page comes on screen

    // Records the chosen connection type while Check1 is ticked: topic, Next, "$st_connection_type".
    void Connection_Value_Set();
    void Check1_Click();
    void CmdBrowse_Click();
    int Cmd_Link_Click(); // help for the chosen connection type; answers the topic
    void showTopic(std::size_t index);

    ConnectionChoice choice() const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // The parts of the page, built in this order by the constructor: the title and the four
    // connection options with their check box; the source PC's name and log-on fields with the
    // tab order; the Quick Help panel with its first texts.
    void buildConnectionOptions();
    void buildSourceFields();
    void buildQuickHelp();
    // A text box lost the focus: the connection chain without the help topic.
    void textBoxLostFocus();
    // Enter in a text box steps forward as the main window's Next does, and only while it may.
    void textBoxEnter();
    void recordConnection(bool withTopic);

    ScriptVariables& m_vars;
    QuickHelpPanel* m_panel = nullptr;
    QRadioButton* m_parallel = nullptr;
    QRadioButton* m_crossover = nullptr;
    QRadioButton* m_lan = nullptr;
    QRadioButton* m_usb = nullptr;
    QCheckBox* m_connected = nullptr;
    QLineEdit* m_sourceName = nullptr;
    QGroupBox* m_details = nullptr;
    QLineEdit* m_user = nullptr;
    QLineEdit* m_password = nullptr;
};

// Registers the page with the main window's page table.
void registerConnectionPages();

} // namespace wizard
