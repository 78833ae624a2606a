// PreparatoryPages.h: the two pages after the agreement: the optional preparatory tasks and the
// required tasks with the choice of the source PC's operating system.
#pragma once

#include "wizard/ui/pages/PageFrame.h"

#include <QString>

#include <array>
#include <functional>
#include <string>

class QCheckBox;
class QRadioButton;

namespace wizard {

class ScriptVariables;

// Frm_Preparatory: five optional tasks explained in the Quick Help panel; Next always available.
class Frm_Preparatory : public StepPage {
    Q_OBJECT
public:
    static constexpr const char* kFormName = "Frm_Preparatory";
    static constexpr int kHelpTopic = 68;
    static const std::array<HelpTopic, 5>& topics();
    static const QString& introduction();

    Frm_Preparatory(KestroMain* main, QWidget* parent);

    void activated() override; // each time the page comes on screen

    void showTopic(std::size_t index); // topic box click
    void Label22_Click();              // help link: focus Cmd_Link, then F1

private:
    void ShowDefaultQuickHelp();
    QuickHelpPanel* m_panel = nullptr;
};

// Frm_PreparatoryTask: four confirmations and the source OS; Next waits for boxes 3 and 4 and an OS.
// Its first load prepares the destination PC.
class Frm_PreparatoryTask : public StepPage {
    Q_OBJECT
public:
    static constexpr const char* kFormName = "Frm_PreparatoryTask";
    static constexpr int kHelpTopic = 69;
    static constexpr int kCmdLinkTopic = 30;
    static const std::array<HelpTopic, 5>& topics();
    static const QString& introduction();

    // `initializeDestination` is Destination_Value_Initialize; `variables` the script-variable store.
    Frm_PreparatoryTask(KestroMain* main, QWidget* parent, std::function<bool()> initializeDestination,
        ScriptVariables& variables);

    void activated() override; // each time the page comes on screen
    void showTopic(std::size_t index);
    void Label22_Click(); // help link: F1 on the focused control, without moving the focus

private:
    // The parts of the page, built in this order by the constructor: the four task check boxes,
    // the source-OS options, the Quick Help panel.
    void buildTaskChecks();
    void buildOsOptions();
    void buildQuickHelp();
    void nextRule(); // Check3/Check4/option clicks
    void ShowDefaultQuickHelp();

    QuickHelpPanel* m_panel = nullptr;
    std::array<QCheckBox*, 4> m_checks{};
    std::array<QRadioButton*, 5> m_options{};
};

} // namespace wizard
