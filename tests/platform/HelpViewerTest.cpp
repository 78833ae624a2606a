// HelpViewerTest.cpp: choosing the page of a help topic and the help service selection.
#include "platform/HelpViewer.h"
#include "tests/support/platform/RecordingHelpService.h"

#include <gtest/gtest.h>

#include <fstream>
#include <unistd.h>

using namespace platform;
namespace fs = std::filesystem;

namespace {

class HelpViewerTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_dir = fs::temp_directory_path() /
            ("helptopics-" + std::to_string(::getpid()) + "-" +
                ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(m_dir);
        fs::create_directories(m_dir);
    }
    void TearDown() override
    {
        fs::remove_all(m_dir);
        common::Service<HelpService>::replace(nullptr);
        setApplicationHelpFile({});
    }
    void page(const std::string& name) { std::ofstream(m_dir / name) << "<html>" << name << "</html>"; }
    fs::path m_dir;
};

TEST_F(HelpViewerTest, TopicPageByNumber)
{
    page("index.html");
    page("21.html");
    page("68.htm");
    HelpTopics topics(m_dir);
    EXPECT_EQ(topics.pageFor(21), m_dir / "21.html");
    EXPECT_EQ(topics.pageFor(68), m_dir / "68.htm");
}

TEST_F(HelpViewerTest, ZeroAndMissingTopicsShowDefaultPage)
{
    page("index.html");
    page("4.html");
    HelpTopics topics(m_dir);
    EXPECT_EQ(topics.pageFor(0), m_dir / "index.html");
    EXPECT_EQ(topics.pageFor(33), m_dir / "index.html");
    EXPECT_EQ(topics.pageFor(-4), m_dir / "index.html");
}

TEST_F(HelpViewerTest, TopicZeroPageIsDefaultWithoutIndex)
{
    page("0.htm");
    page("2.html");
    HelpTopics topics(m_dir);
    EXPECT_EQ(topics.defaultPage(), m_dir / "0.htm");
    EXPECT_EQ(topics.pageFor(5), m_dir / "0.htm");
    EXPECT_EQ(topics.pageFor(2), m_dir / "2.html");
}

TEST_F(HelpViewerTest, NoPagesGivesEmptyPath)
{
    HelpTopics empty(m_dir);
    EXPECT_TRUE(empty.pageFor(0).empty());
    EXPECT_TRUE(empty.pageFor(7).empty());
    HelpTopics missing(m_dir / "nowhere");
    EXPECT_TRUE(missing.pageFor(7).empty());
}

TEST_F(HelpViewerTest, FolderNamedLikeTopicIsNotAPage)
{
    page("index.html");
    fs::create_directories(m_dir / "9.html");
    EXPECT_EQ(HelpTopics(m_dir).pageFor(9), m_dir / "index.html");
}

TEST_F(HelpViewerTest, InstalledServiceGetsRequestsAndFallbackRefuses)
{
    EXPECT_FALSE(helpService().showTopic("C:\\App\\PRODUCT_HELP.chm", 3));
    testsupport::RecordingHelpService recorder;
    recorder.result = true;
    common::Service<HelpService>::replace(&recorder);
    setApplicationHelpFile("C:\\App\\PRODUCT_HELP.chm");
    EXPECT_TRUE(helpService().showTopic(applicationHelpFile(), 25));
    ASSERT_EQ(recorder.requests().size(), 1u);
    EXPECT_EQ(recorder.requests()[0].helpFile, "C:\\App\\PRODUCT_HELP.chm");
    EXPECT_EQ(recorder.requests()[0].topicId, 25);
}

} // namespace
