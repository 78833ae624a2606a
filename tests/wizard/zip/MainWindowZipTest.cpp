// MainWindowZipTest.cpp: the main window carries the zip control the Office shortcuts are unpacked
// with, stored without an archive name, and hands it back when it goes.
#include "wizard/ui/core/KestroMain.h"
#include "wizard/zip/OfficeLinks.h"

#include "tests/wizard/core/QtTestApp.h"

#include <gtest/gtest.h>

using namespace wizard;

TEST(MainWindowZipTest, TheMainWindowsControlIsTheOneTheUnpackingUses)
{
    testsupport::qtApp();
    AZIP* headless = &mainWindowZip();
    {
        KestroMain main(MainWindowActions{});
        AZIP* installed = common::Service<AZIP>::installed();
        ASSERT_NE(installed, nullptr);
        EXPECT_NE(installed, headless);
        EXPECT_EQ(&mainWindowZip(), installed);
        EXPECT_EQ(installed->Filename(), "");
        EXPECT_FALSE(installed->propertyChanged());
    }
    EXPECT_EQ(&mainWindowZip(), headless);
}
