// MessageBoxTest.cpp: the message box service selection, default title and scripted double.
#include "platform/MessageBox.h"
#include "tests/support/platform/ScriptedMessageService.h"

#include <gtest/gtest.h>

#include <cerrno>

using namespace platform;

namespace {

// A service that answers with a fixed button whatever the box offers.
class FixedAnswerService : public MessageService {
public:
    explicit FixedAnswerService(MsgResult answer)
        : m_answer(answer)
    {}
    MsgResult show(const MessageRequest& request) override
    {
        last = request;
        return m_answer;
    }
    MessageRequest last;

private:
    MsgResult m_answer;
};

class MessageBoxTest : public ::testing::Test {
protected:
    void TearDown() override
    {
        setApplicationTitle({});
        common::Service<MessageService>::replace(nullptr);
    }
};

TEST_F(MessageBoxTest, EmptyTitleBecomesApplicationTitle)
{
    testsupport::ScriptedMessageService script;
    common::Service<MessageService>::Override scope(script);
    setApplicationTitle("Kestro");
    showMessage("Are you sure you want to exit Kestro?", MsgButtons::YesNo, MsgIcon::Information);
    showMessage("Please enter a server name!", MsgButtons::Ok, MsgIcon::Exclamation, "Monitor");
    ASSERT_EQ(script.shown().size(), 2u);
    EXPECT_EQ(script.shown()[0].title, "Kestro");
    EXPECT_EQ(script.shown()[0].icon, MsgIcon::Information);
    EXPECT_EQ(script.shown()[0].buttons, MsgButtons::YesNo);
    EXPECT_EQ(script.shown()[1].title, "Monitor");
    EXPECT_EQ(script.shown()[1].text, "Please enter a server name!");
}

TEST_F(MessageBoxTest, UnsetTitleIsTheExecutableName)
{
    // The executable's own name as the C library saw it at start, without any folder.
    EXPECT_EQ(applicationTitle(), std::string(program_invocation_short_name));
    setApplicationTitle("Kestro");
    EXPECT_EQ(applicationTitle(), "Kestro");
}

TEST_F(MessageBoxTest, ScriptedAnswersComeInOrder)
{
    testsupport::ScriptedMessageService script;
    common::Service<MessageService>::Override scope(script);
    script.answer(MsgResult::Cancel);
    script.answer(MsgResult::No);
    EXPECT_EQ(showMessage("q1", MsgButtons::YesNoCancel), MsgResult::Cancel);
    EXPECT_EQ(showMessage("q2", MsgButtons::YesNo), MsgResult::No);
    EXPECT_TRUE(script.unexpected().empty());
    EXPECT_EQ(script.pendingAnswers(), 0u);
}

TEST_F(MessageBoxTest, ScriptedDoubleFlagsMissingAndImpossibleAnswers)
{
    testsupport::ScriptedMessageService script;
    common::Service<MessageService>::Override scope(script);
    script.answer(MsgResult::Yes); // not offered by an OK/Cancel box
    EXPECT_EQ(showMessage("ok or cancel", MsgButtons::OkCancel), MsgResult::Ok);
    EXPECT_EQ(showMessage("nothing scripted", MsgButtons::YesNo), MsgResult::Yes);
    ASSERT_EQ(script.unexpected().size(), 2u);
    EXPECT_NE(script.unexpected()[0].find("ok or cancel"), std::string::npos);
    EXPECT_NE(script.unexpected()[1].find("nothing scripted"), std::string::npos);
}

TEST_F(MessageBoxTest, AnswerTheBoxDoesNotOfferBecomesItsDefaultButton)
{
    FixedAnswerService service(MsgResult::Cancel);
    common::Service<MessageService>::Override scope(service);
    EXPECT_EQ(showMessage("yes or no", MsgButtons::YesNo), MsgResult::Yes);
    EXPECT_EQ(showMessage("three", MsgButtons::YesNoCancel), MsgResult::Cancel);
}

TEST_F(MessageBoxTest, FallbackAnswersFirstButton)
{
    common::Service<MessageService>::replace(nullptr);
    EXPECT_EQ(showMessage("fallback", MsgButtons::YesNoCancel), MsgResult::Yes);
    EXPECT_EQ(showMessage("fallback", MsgButtons::OkCancel), MsgResult::Ok);
}

TEST_F(MessageBoxTest, ScopeRestoresPreviousService)
{
    FixedAnswerService outer(MsgResult::No);
    common::Service<MessageService>::Override outerScope(outer);
    {
        testsupport::ScriptedMessageService inner;
        common::Service<MessageService>::Override innerScope(inner);
        inner.answer(MsgResult::Yes);
        EXPECT_EQ(showMessage("inner", MsgButtons::YesNo), MsgResult::Yes);
    }
    EXPECT_EQ(showMessage("outer", MsgButtons::YesNo), MsgResult::No);
    EXPECT_EQ(outer.last.text, "outer");
}

TEST_F(MessageBoxTest, ButtonIdsAreThePlatformValues)
{
    EXPECT_EQ(static_cast<int>(MsgResult::Ok), 1);
    EXPECT_EQ(static_cast<int>(MsgResult::Cancel), 2);
    EXPECT_EQ(static_cast<int>(MsgResult::Yes), 6);
    EXPECT_EQ(static_cast<int>(MsgResult::No), 7);
    EXPECT_EQ(buttonsOf(MsgButtons::YesNoCancel),
        (std::vector<MsgResult>{MsgResult::Yes, MsgResult::No, MsgResult::Cancel}));
}

} // namespace
