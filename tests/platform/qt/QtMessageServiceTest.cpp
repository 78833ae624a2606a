// QtMessageServiceTest.cpp: the QMessageBox default of the message service, driven by clicks.
#include "platform/qt/QtMessageService.h"

#include <QApplication>
#include <QMainWindow>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>

using namespace platform;

namespace {

int argc = 1;
char arg0[] = "QtMessageServiceTest";
char* argv[] = {arg0, nullptr};

class QtMessageServiceTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        if (!QApplication::instance())
            new QApplication(argc, argv);
    }
    // Runs `act` on the box once it is up; records what the box looked like.
    void whenShown(std::function<void(QMessageBox*)> act)
    {
        QTimer::singleShot(0, [this, act] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            ASSERT_NE(box, nullptr);
            seenTitle = box->windowTitle();
            seenText = box->text();
            seenIcon = box->icon();
            seenButtons = box->buttons().size();
            act(box);
        });
    }
    QString seenTitle, seenText;
    QMessageBox::Icon seenIcon = QMessageBox::NoIcon;
    qsizetype seenButtons = 0;
    qt::QtMessageService service;
};

TEST_F(QtMessageServiceTest, ClickedButtonIsTheAnswer)
{
    whenShown([](QMessageBox* box) { box->button(QMessageBox::No)->click(); });
    const MsgResult r = service.show(
        {"Do you want to restart the PC?", "Kestro", MsgButtons::YesNoCancel, MsgIcon::Information});
    EXPECT_EQ(r, MsgResult::No);
    EXPECT_EQ(seenTitle, "Kestro");
    EXPECT_EQ(seenText, "Do you want to restart the PC?");
    EXPECT_EQ(seenIcon, QMessageBox::Information);
    EXPECT_EQ(seenButtons, 3);
}

TEST_F(QtMessageServiceTest, IconsMapToTheirKinds)
{
    whenShown([](QMessageBox* box) { box->button(QMessageBox::Ok)->click(); });
    EXPECT_EQ(service.show({"x", "t", MsgButtons::OkCancel, MsgIcon::Critical}), MsgResult::Ok);
    EXPECT_EQ(seenIcon, QMessageBox::Critical);
    EXPECT_EQ(seenButtons, 2);
    whenShown([](QMessageBox* box) { box->button(QMessageBox::Ok)->click(); });
    EXPECT_EQ(service.show({"x", "t", MsgButtons::Ok, MsgIcon::Exclamation}), MsgResult::Ok);
    EXPECT_EQ(seenIcon, QMessageBox::Warning);
    whenShown([](QMessageBox* box) { box->button(QMessageBox::Yes)->click(); });
    EXPECT_EQ(service.show({"x", "t", MsgButtons::YesNo, MsgIcon::None}), MsgResult::Yes);
    EXPECT_EQ(seenIcon, QMessageBox::NoIcon);
}

TEST_F(QtMessageServiceTest, ClosingAnswersCancelOrNo)
{
    whenShown([](QMessageBox* box) { box->reject(); });
    EXPECT_EQ(service.show({"x", "t", MsgButtons::YesNoCancel, MsgIcon::Question}), MsgResult::Cancel);
    EXPECT_EQ(seenIcon, QMessageBox::Question);
    whenShown([](QMessageBox* box) { box->reject(); });
    EXPECT_EQ(service.show({"x", "t", MsgButtons::YesNo, MsgIcon::None}), MsgResult::No);
}

} // namespace

TEST_F(QtMessageServiceTest, TheWindowABoxBelongsToIsActiveAgainOnceItCloses)
{
    // An inactive window shows no tooltips: after a box it must not wait for a click to be active.
    QMainWindow window;
    window.show();
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    whenShown([](QMessageBox* box) { box->button(QMessageBox::Ok)->click(); });
    EXPECT_EQ(
        service.show({"Migration successfully completed", "Kestro", MsgButtons::Ok, MsgIcon::Information}),
        MsgResult::Ok);
    EXPECT_TRUE(QTest::qWaitForWindowActive(&window, 1000));
    EXPECT_EQ(QApplication::activeWindow(), &window);
}
