// SingleInstanceTest.cpp: first copy, hand-over from a later copy, stale sockets.
#include "foldersize/services/SingleInstance.h"

#include <thread>

#include <QFile>
#include <QLocalServer>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include "tests/foldersize/QtApp.h"

using namespace foldersize;

Q_DECLARE_METATYPE(std::vector<std::string>)

class SingleInstanceTest : public ::testing::Test {
protected:
    void SetUp() override { testsupport::ensureApp(); }
    QTemporaryDir dir;
};

TEST_F(SingleInstanceTest, OnlyOneCopyIsFirst)
{
    SingleInstance a(dir.path());
    SingleInstance b(dir.path());
    EXPECT_TRUE(a.tryBecomeFirst());
    EXPECT_TRUE(a.isFirst());
    EXPECT_FALSE(b.tryBecomeFirst());
    EXPECT_FALSE(b.isFirst());
}

TEST_F(SingleInstanceTest, LaterCopyHandsOverItsFoldersByteForByte)
{
    SingleInstance first(dir.path());
    ASSERT_TRUE(first.tryBecomeFirst());
    std::vector<std::vector<std::string>> got;
    QObject::connect(&first, &SingleInstance::foldersReceived,
        [&](const std::vector<std::string>& f) { got.push_back(f); });
    const std::vector<std::string> folders{
        "/tmp/Mit Leerzeichen", "\"/quoted\"", std::string("/x\xff\x00y", 6)};
    // The sender blocks, so it runs beside the receiver's event loop.
    SingleInstance later(dir.path());
    ASSERT_FALSE(later.tryBecomeFirst());
    bool sent = false;
    std::thread sender([&] { sent = later.sendToFirst(folders, 3000); });
    QTRY_COMPARE_WITH_TIMEOUT(got.size(), std::size_t(1), 5000);
    sender.join();
    EXPECT_TRUE(sent);
    EXPECT_EQ(got[0], folders);
}

TEST_F(SingleInstanceTest, EmptyHandOverArrivesAsEmptyList)
{
    SingleInstance first(dir.path());
    ASSERT_TRUE(first.tryBecomeFirst());
    int calls = 0;
    std::size_t lastSize = 99;
    QObject::connect(&first, &SingleInstance::foldersReceived, [&](const std::vector<std::string>& f) {
        ++calls;
        lastSize = f.size();
    });
    SingleInstance later(dir.path());
    std::thread sender([&] { later.sendToFirst({}, 3000); });
    QTRY_COMPARE_WITH_TIMEOUT(calls, 1, 5000);
    sender.join();
    EXPECT_EQ(lastSize, 0u);
}

TEST_F(SingleInstanceTest, NoFirstCopyMeansTheHandOverFails)
{
    SingleInstance later(dir.path());
    EXPECT_FALSE(later.sendToFirst({"/a"}, 200));
}

TEST_F(SingleInstanceTest, StaleSocketOfACrashedCopyIsReplaced)
{
    // A crashed copy leaves its socket file behind (and its lock is released with the process).
    SingleInstance probe(dir.path());
    QFile stale(probe.socketPath());
    ASSERT_TRUE(stale.open(QIODevice::WriteOnly));
    stale.close();
    SingleInstance first(dir.path());
    ASSERT_TRUE(first.tryBecomeFirst());
    int calls = 0;
    QObject::connect(
        &first, &SingleInstance::foldersReceived, [&](const std::vector<std::string>&) { ++calls; });
    SingleInstance later(dir.path());
    std::thread sender([&] { later.sendToFirst({"/b"}, 3000); });
    QTRY_COMPARE_WITH_TIMEOUT(calls, 1, 5000);
    sender.join();
}

TEST_F(SingleInstanceTest, WireFormatRejectsGarbage)
{
    std::vector<std::string> out;
    EXPECT_TRUE(SingleInstance::decode(SingleInstance::encode({"a", ""}), out));
    EXPECT_EQ(out, (std::vector<std::string>{"a", ""}));
    EXPECT_FALSE(SingleInstance::decode(QByteArray("\xff\xff\xff\xff", 4), out));
    EXPECT_FALSE(SingleInstance::decode(QByteArray("\x00\x00\x00\x02\x00", 5), out));
}
