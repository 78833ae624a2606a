// MainWindowZipTest.cpp: the main window carries the zip control the Office shortcuts are unpacked
// with, stored without an archive name, and hands it back when it goes.
#include "wizard/core/KestroMain.h"
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
        EXPECT_EQ(&mainWindowZip(), &main.AZIPLnk());
        EXPECT_EQ(main.AZIPLnk().Filename(), "");
        EXPECT_FALSE(main.AZIPLnk().propertyChanged());
    }
    EXPECT_EQ(&mainWindowZip(), headless);
}
