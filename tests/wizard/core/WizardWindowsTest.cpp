// WizardWindowsTest.cpp: the headless window state that the logic writes and the window layer mirrors.
#include "wizard/core/WizardWindows.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using wizard::BarButton;
using wizard::WizardWindows;

class RecordingWindows : public WizardWindows {
public:
    std::vector<Change> changes;

protected:
    void changed(Change c) override { changes.push_back(c); }
};

class WizardWindowsTest : public ::testing::Test {
protected:
    void TearDown() override { common::Service<wizard::WizardWindows>::replace(nullptr); }
};

TEST_F(WizardWindowsTest, OpeningTheBusyWindowResetsItsTextsEveryTime)
{
    RecordingWindows w;
    w.setBusyCaption("Please wait.. Copying ");
    EXPECT_FALSE(w.busyWindowOpen());
    EXPECT_TRUE(w.openBusyWindow());
    EXPECT_TRUE(w.busyWindowOpen());
    EXPECT_EQ(w.busyCaption(), "Collecting migration information..");
    EXPECT_EQ(w.busyDetails(), "Please wait...Analyzing copy information.... ");
    w.setBusyCaption("Word");
    w.setBusyDetails("C:\\a.doc");
    EXPECT_TRUE(w.closeBusyWindow());
    EXPECT_FALSE(w.busyWindowOpen());
    // Texts written while closed are kept until the next opening resets them.
    EXPECT_EQ(w.busyCaption(), "Word");
    w.openBusyWindow();
    EXPECT_EQ(w.busyCaption(), "Collecting migration information..");
    EXPECT_EQ(w.busyDetails(), "Please wait...Analyzing copy information.... ");
}

TEST_F(WizardWindowsTest, EverySetterTellsTheWindowLayerWhatChanged)
{
    RecordingWindows w;
    w.setStatusText("Please wait....");
    w.setDetailText("file");
    w.setButtonEnabled(BarButton::Next, false);
    w.setWelcomePanelVisible(false);
    w.setEditMenuEnabled(wizard::EditMenuItem::ClearAll, false);
    w.setMousePointer(wizard::MousePointer::Hourglass);
    w.openBusyWindow();
    w.setBusyDetails("x");
    using C = WizardWindows::Change;
    EXPECT_EQ(w.changes,
        (std::vector<C>{C::StatusText, C::DetailText, C::ButtonBar, C::WelcomePanel, C::EditMenu,
            C::MousePointer, C::BusyWindow, C::BusyTexts}));
    EXPECT_EQ(w.statusText(), "Please wait....");
    EXPECT_EQ(w.detailText(), "file");
    EXPECT_FALSE(w.buttonEnabled(BarButton::Next));
    EXPECT_TRUE(w.buttonEnabled(BarButton::Back));
    EXPECT_FALSE(w.welcomePanelVisible());
    EXPECT_FALSE(w.editMenuEnabled(wizard::EditMenuItem::ClearAll));
    EXPECT_TRUE(w.editMenuEnabled(wizard::EditMenuItem::SelectAll));
    EXPECT_EQ(w.mousePointer(), wizard::MousePointer::Hourglass);
}

TEST_F(WizardWindowsTest, ButtonsKeepTheirOwnStateAndCaptions)
{
    WizardWindows w;
    EXPECT_EQ(w.buttonCaption(BarButton::Cancel), "&Cancel");
    EXPECT_EQ(w.buttonCaption(BarButton::Back), "&Previous");
    w.setButtonCaption(BarButton::Cancel, "&Close");
    w.setButtonVisible(BarButton::Migrate, false);
    EXPECT_EQ(w.buttonCaption(BarButton::Cancel), "&Close");
    EXPECT_EQ(w.buttonCaption(BarButton::Finish), "&Finish");
    EXPECT_FALSE(w.buttonVisible(BarButton::Migrate));
    EXPECT_TRUE(w.buttonVisible(BarButton::Finish));
}

TEST_F(WizardWindowsTest, TheInstalledWindowsReceiveWhatTheLogicWrites)
{
    RecordingWindows installed;
    WizardWindows& headless = wizard::wizardWindows();
    EXPECT_EQ(common::Service<wizard::WizardWindows>::replace(&installed), nullptr);
    wizard::wizardWindows().setStatusText("Validating");
    EXPECT_EQ(installed.statusText(), "Validating");
    EXPECT_NE(headless.statusText(), "Validating");
    EXPECT_EQ(common::Service<wizard::WizardWindows>::replace(nullptr), &installed);
    EXPECT_EQ(&wizard::wizardWindows(), &headless);
}

} // namespace
