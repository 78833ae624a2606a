// WizardWindows.h: what the engine, the rules and the transfer primitives may change on the wizard's
// windows (status bar, busy window, button bar, hourglass), headless; the main window mirrors it.
#pragma once

#include "common/Service.h"

#include <array>
#include <cstddef>
#include <string>

namespace wizard {

// The buttons of the main window's button bar.
enum class BarButton { Back, Next, Accept, Decline, Migrate, Finish, Cancel, Help };
inline constexpr std::size_t kBarButtonCount = 8;

// The Edit menu items that the selection page switches on and off.
enum class EditMenuItem { SelectAll, ClearAll };

// The main window's mouse pointer: the platform values the wizard uses.
enum class MousePointer { Default = 0, Hourglass = 11 };

// The state of the wizard's windows as the logic sees it. Setters store the new state and then tell
// the window layer through changed(); without a window (tests, the engine alone) the state is only
// kept, so a test can read what the logic wrote. All calls happen on the user-interface thread.
class WizardWindows {
public:
    enum class Change {
        StatusText,
        DetailText,
        BusyWindow,
        BusyTexts,
        ButtonBar,
        WelcomePanel,
        EditMenu,
        MousePointer
    };

    // Texts of the busy window after it has been opened (its load resets them every time).
    static constexpr const char* kBusyCaptionOnOpen = "Collecting migration information..";
    static constexpr const char* kBusyDetailsOnOpen = "Please wait...Analyzing copy information.... ";

    virtual ~WizardWindows() = default;

    // Panel 1 of the status bar: the wizard's status line (replaces the previous text).
    void setStatusText(const std::string& text)
    {
        m_status = text;
        changed(Change::StatusText);
    }
    const std::string& statusText() const { return m_status; }
    // Panel 2 of the status bar: per-file detail texts.
    void setDetailText(const std::string& text)
    {
        m_detail = text;
        changed(Change::DetailText);
    }
    const std::string& detailText() const { return m_detail; }

    // The busy window: a top-most window with a cycling bar, owned by the main window. Opening resets
    // its title and detail texts to the texts above (also when it is already open). Both return true
    // (a window that cannot be shown is still reported as opened, as callers expect).
    bool openBusyWindow()
    {
        m_busyOpen = true;
        m_busyCaption = kBusyCaptionOnOpen;
        m_busyDetails = kBusyDetailsOnOpen;
        changed(Change::BusyWindow);
        return true;
    }
    bool closeBusyWindow()
    {
        m_busyOpen = false;
        changed(Change::BusyWindow);
        return true;
    }
    bool busyWindowOpen() const { return m_busyOpen; }
    // The busy window's title label and detail label; writing them while it is closed keeps the
    // text for a window that is not shown (the next opening resets it).
    void setBusyCaption(const std::string& text)
    {
        m_busyCaption = text;
        changed(Change::BusyTexts);
    }
    void setBusyDetails(const std::string& text)
    {
        m_busyDetails = text;
        changed(Change::BusyTexts);
    }
    const std::string& busyCaption() const { return m_busyCaption; }
    const std::string& busyDetails() const { return m_busyDetails; }
    // The busy window's Cancel: shown only while the work under way offers it (and looks at the
    // request between files); offering clears an earlier request.
    void offerBusyCancel(bool offered)
    {
        m_busyCancelOffered = offered;
        m_busyCancel = false;
        changed(Change::BusyTexts);
    }
    bool busyCancelOffered() const { return m_busyCancelOffered; }
    void requestBusyCancel() { m_busyCancel = true; }
    bool busyCancelRequested() const { return m_busyCancel; }

    // The button bar: visibility, enabled state and caption of each button.
    void setButtonVisible(BarButton b, bool visible)
    {
        button(b).visible = visible;
        changed(Change::ButtonBar);
    }
    void setButtonEnabled(BarButton b, bool enabled)
    {
        button(b).enabled = enabled;
        changed(Change::ButtonBar);
    }
    void setButtonCaption(BarButton b, const std::string& caption)
    {
        button(b).caption = caption;
        changed(Change::ButtonBar);
    }
    // A button's left edge in twips; 0 keeps the place the bar was designed with.
    void setButtonLeft(BarButton b, int twips)
    {
        button(b).left = twips;
        changed(Change::ButtonBar);
    }
    int buttonLeft(BarButton b) const { return button(b).left; }
    bool buttonVisible(BarButton b) const { return button(b).visible; }
    bool buttonEnabled(BarButton b) const { return button(b).enabled; }
    const std::string& buttonCaption(BarButton b) const { return button(b).caption; }

    // The welcome and agreement panel of the main window.
    void setWelcomePanelVisible(bool visible)
    {
        m_welcome = visible;
        changed(Change::WelcomePanel);
    }
    bool welcomePanelVisible() const { return m_welcome; }

    void setEditMenuEnabled(EditMenuItem item, bool enabled)
    {
        (item == EditMenuItem::SelectAll ? m_selectAll : m_clearAll) = enabled;
        changed(Change::EditMenu);
    }
    bool editMenuEnabled(EditMenuItem item) const
    {
        return item == EditMenuItem::SelectAll ? m_selectAll : m_clearAll;
    }

    void setMousePointer(MousePointer pointer)
    {
        m_pointer = pointer;
        changed(Change::MousePointer);
    }
    MousePointer mousePointer() const { return m_pointer; }

protected:
    // Called after every change; the window layer overrides it to show the new state.
    virtual void changed(Change) {}

private:
    struct ButtonState {
        bool visible = true;
        bool enabled = true;
        std::string caption;
        int left = 0;
    };
    static std::size_t index(BarButton b) { return static_cast<std::size_t>(b); }
    ButtonState& button(BarButton b) { return m_buttons[index(b)]; }
    const ButtonState& button(BarButton b) const { return m_buttons[index(b)]; }

    std::string m_status;
    std::string m_detail;
    bool m_busyOpen = false;
    bool m_busyCancel = false;
    bool m_busyCancelOffered = false;
    std::string m_busyCaption = "Please Wait Analyzing ...";
    std::string m_busyDetails;
    std::array<ButtonState, kBarButtonCount> m_buttons{{{true, true, "&Previous"}, {true, true, "&Next"},
        {true, true, "&Accept"}, {true, true, "&Decline"}, {true, true, "&Migrate"}, {true, true, "&Finish"},
        {true, true, "&Cancel"}, {true, true, "&Help"}}};
    bool m_welcome = true;
    bool m_selectAll = true;
    bool m_clearAll = true;
    MousePointer m_pointer = MousePointer::Default;
};

} // namespace wizard

// Without an installed window layer (tests, tools), one headless instance keeps the state.
template <> inline wizard::WizardWindows& common::Service<wizard::WizardWindows>::fallback()
{
    static wizard::WizardWindows headless;
    return headless;
}

namespace wizard {

// The windows of the running wizard: the installed main window (common::Service<WizardWindows>),
// else the headless instance.
inline WizardWindows& wizardWindows() { return common::Service<WizardWindows>::instance(); }

} // namespace wizard
