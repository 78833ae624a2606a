// KestroMain.h: the wizard's main window: button bar, menus, status bar, the welcome and agreement
// panel, and the page area in which the script's pages are shown one at a time.
#pragma once

#include "wizard/core/PageControls.h"
#include "wizard/core/PanelHost.h"
#include "wizard/core/WizardWindows.h"
#include "wizard/ui/core/FrozenGeometry.h"
#include "wizard/zip/AZIP.h"

#include <QMainWindow>

#include <array>

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

class QAction;
class QLabel;
class QPushButton;
class QWidget;

namespace wizard {

class FrmProgressBar;
class WizardPage;

// What the main window's handlers call outside the window; the program installs the engine's and
// the exit routine's, tests install doubles.
struct MainWindowActions {
    std::function<void(const std::string& direction)> stepScript; // Step_Script
    std::function<bool()> exitApplication;                        // Exit_Application
    std::function<void()> deleteLogFile;                          // removes the log file (Decline)
};

class KestroMain : public QMainWindow, public WizardWindows, public PanelHost, public PageControls {
    Q_OBJECT
public:
    // Creates a page by its form name (a child of `pageArea`); registered once per page kind.
    using PageFactory = std::function<WizardPage*(KestroMain& main, QWidget* pageArea)>;

    explicit KestroMain(MainWindowActions actions, QWidget* parent = nullptr);
    ~KestroMain() override;

    static void registerPage(const std::string& formName, PageFactory factory);
    static bool pageRegistered(const std::string& formName);
    static void unregisterPage(const std::string& formName);
    // The form names registered, in name order.
    static std::vector<std::string> registeredPages();

    // PanelHost: hides every page and shows `panelName` ("KestroMain" is this window's own
    // agreement panel); answers whether the page had been loaded before.
    bool showPanel(const std::string& panelName) override;
    // The page by name, created (hidden) when it is not loaded yet; nullptr for a page this build
    // does not have.
    WizardPage* page(const std::string& formName);

    // PageControls: reading a control loads its page.
    bool isChecked(const std::string& form, const std::string& control) override;
    std::string text(const std::string& form, const std::string& control) override;
    bool setFocus(const std::string& form, const std::string& control) override;
    using QWidget::setFocus;

    // Public handlers, also called by the pages' own buttons.
    void Btn_Back_Click();
    void Btn_Help_Click();
    void Btn_Migrate_Click();
    void Cancel_Click();
    void ClearAll_Click();
    void Btn_Next_Click();

    // Called by the busy window when it closes: the main window takes the keyboard focus back.
    void busyWindowClosing();

protected:
    void changed(Change change) override;
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void Btn_Accept_Click();
    void Btn_Decline_Click();
    void Btn_Finish_Click();
    void Exit_Click();
    void MDIForm_Load();
    void mnuAbout_Click();
    void mnuContents_Click();
    void SelectAll_Click();

    // A loaded page by name; nullptr before its first use.
    WizardPage* loadedPage(const std::string& formName) const;
    void buildButtonBar();
    void buildMenus();
    QWidget* buildWelcomePanel();
    QPushButton* barButton(BarButton b) const { return m_buttons[static_cast<std::size_t>(b)]; }
    void syncButtonBar();
    void runExit();
    void step(const std::string& direction);

    MainWindowActions m_actions;
    std::array<QPushButton*, kBarButtonCount> m_buttons{};
    QWidget* m_toolbar = nullptr;
    QWidget* m_pageArea = nullptr;
    QWidget* m_picture1 = nullptr;
    QLabel* m_panel1 = nullptr;
    QLabel* m_panel2 = nullptr;
    QAction* m_selectAll = nullptr;
    QAction* m_clearAll = nullptr;
    std::map<std::string, WizardPage*> m_pages;
    WizardPage* m_active = nullptr;
    FrmProgressBar* m_busy = nullptr;
    FrozenGeometry m_geometry;
    int m_helpTopic = 0;
    bool m_exiting = false;
    AZIP m_AZIPLnk; // unpacks the Office shortcut sets; never shown, installed as mainWindowZip()
    AZIP* m_previousZip = nullptr;
};

} // namespace wizard
