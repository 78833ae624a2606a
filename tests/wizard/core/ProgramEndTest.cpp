// ProgramEndTest.cpp: asking for the program's end from anywhere, once.
#include "wizard/core/ProgramEnd.h"

#include <gtest/gtest.h>

namespace {

class CountingHandler : public wizard::ProgramEndHandler {
public:
    int calls = 0;
    int lastCode = -1;
    void endProgram(int exitCode) override
    {
        ++calls;
        lastCode = exitCode;
        // A handler that asks again (as a window closing during the end would) changes nothing.
        wizard::requestProgramEnd(99);
    }
};

class ProgramEndTest : public ::testing::Test {
protected:
    void SetUp() override { wizard::resetProgramEnd(); }
    void TearDown() override
    {
        wizard::setProgramEndHandler(nullptr);
        wizard::resetProgramEnd();
    }
};

TEST_F(ProgramEndTest, TheFirstRequestCountsAndTheHandlerHearsOfItOnce)
{
    CountingHandler handler;
    wizard::setProgramEndHandler(&handler);
    EXPECT_FALSE(wizard::programEndRequested());
    wizard::requestProgramEnd(3);
    wizard::requestProgramEnd(4);
    EXPECT_TRUE(wizard::programEndRequested());
    EXPECT_EQ(wizard::programExitCode(), 3);
    EXPECT_EQ(handler.calls, 1);
    EXPECT_EQ(handler.lastCode, 3);
}

TEST_F(ProgramEndTest, ARequestWithoutHandlerIsKeptForTheLoopThatChecks)
{
    wizard::requestProgramEnd();
    EXPECT_TRUE(wizard::programEndRequested());
    EXPECT_EQ(wizard::programExitCode(), 0);
    wizard::resetProgramEnd();
    EXPECT_FALSE(wizard::programEndRequested());
}

} // namespace
