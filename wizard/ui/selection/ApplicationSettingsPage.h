// ApplicationSettingsPage.h: the selection page: the source PC's settings, applications and
// drives in the left tree, the items chosen for migration in the right one.
#pragma once

#include <memory>

#include "wizard/selection/SelectionPageLogic.h"
#include "wizard/ui/pages/PageFrame.h"

namespace wizard {

class SelectionTreeWidget;
class SourceListingDriver;

class Frm_ApplicationSettings : public StepPage {
    Q_OBJECT
public:
    static constexpr const char* kFormName = "Frm_ApplicationSettings";
    static constexpr int kHelpTopic = 8;

    Frm_ApplicationSettings(KestroMain* main, QWidget* parent);
    ~Frm_ApplicationSettings() override;

    void activated() override; // each time the page comes on screen

    SelectionPageLogic& logic() { return *m_logic; }

private:
    void setModeTexts();
    QIcon iconOf(int image);

    std::unique_ptr<SelectionPageLogic> m_logic;
    SelectionTreeWidget* m_sourceTree = nullptr;
    SelectionTreeWidget* m_destinationTree = nullptr;
    SourceListingDriver* m_listings = nullptr;
    QuickHelpPanel* m_panel = nullptr;
    std::map<int, QIcon> m_icons;
};

} // namespace wizard
