// MigrationTypePage.h: the page on which the user chooses a mass or a selective migration and, for
// a selective one, the categories (settings, applications, files and folders) to offer.
#pragma once

#include "wizard/ui/pages/PageFrame.h"

#include <array>

class QCheckBox;
class QGroupBox;
class QRadioButton;

namespace wizard {

// Next is available when at least one category box is checked.
bool migrationCategoriesChosen(bool settings, bool applications, bool filesAndFolders);

class Frm_MigrationType : public StepPage {
    Q_OBJECT
public:
    static constexpr const char* kFormName = "Frm_MigrationType";
    static constexpr int kHelpTopic = 22;
    static constexpr int kMassTopic = 17;
    static constexpr int kSelectiveTopic = 18;
    static const std::array<HelpTopic, 3>& topics();

    Frm_MigrationType(KestroMain* main, QWidget* parent);

    void activated() override; // each time the page comes on screen

    // Enables the main window's Next when a category box is checked, disables it otherwise.
    void Select_option();
    void showTopic(std::size_t index); // topic number click
    int Cmd_Link_Click();              // help for the chosen migration type; answers the topic
    void Command1_Click();             // Alt+H

    // "mass" or "selective", as the rules read the option buttons.
    const char* migrationMode() const;

protected:
    // Alt+H inside the page belongs to the page's Command1, not to the bar's Help button.
    bool event(QEvent* event) override;
    // The same key arriving at the main window from outside the page while the page is on show.
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void optMass_Click();
    void optSel_Click();

    QuickHelpPanel* m_panel = nullptr;
    QRadioButton* m_optMass = nullptr;
    QRadioButton* m_optSel = nullptr;
    QGroupBox* m_frame = nullptr;
    std::array<QCheckBox*, 3> m_boxes{};
};

// Registers the page with the main window's page table.
void registerSelectionPages();

} // namespace wizard
