// MassPage.h: the mass-migration page: Migrate on the button bar and the stages of the mass
// migration as check boxes that the stage step ticks, with what became of drives not copied whole.
#pragma once

#include "wizard/ui/pages/PageFrame.h"

#include <vector>

class QCheckBox;
class QLabel;

namespace wizard {

class Frm_Mass : public StepPage {
    Q_OBJECT
public:
    static constexpr const char* kFormName = "Frm_Mass";
    static constexpr int kHelpTopic = 60;

    Frm_Mass(KestroMain* main, QWidget* parent);
    ~Frm_Mass() override;
    void activated() override;

private:
    void refresh(); // the ticks and notes as the mass steps left them

    std::vector<QCheckBox*> m_checks;
    QLabel* m_notes;
};

// Registers the page with the main window. Call once before start-up.
void registerMassPage();

} // namespace wizard
