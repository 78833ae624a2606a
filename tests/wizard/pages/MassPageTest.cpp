// MassPageTest.cpp: the mass-migration page offscreen: Migrate on the bar, the stages ticked by the
// stage step alone, and a drive that was not copied whole or filled up told on the page.
#include "wizard/ui/pages/MassPage.h"

#include "tests/support/FindChild.h"
#include "tests/support/platform/FullDisk.h"
#include "tests/wizard/pages/PageTestSupport.h"
#include "tests/wizard/transfer/TransferWorld.h"
#include "wizard/core/WizardState.h"
#include "wizard/transfer/MassCopy.h"
#include "wizard/transfer/MassSteps.h"

#include <QCheckBox>
#include <QFrame>
#include <QLabel>

#include <gtest/gtest.h>

namespace {

using namespace wizard;
using testsupport::child;

class MassPageTest : public test::PageTest {
protected:
    MassPageTest() { resetWizardState(); }
    ~MassPageTest() override { resetWizardState(); }

    bool ticked(Frm_Mass& page, const char* name) { return child<QCheckBox>(&page, name)->isChecked(); }
};

TEST_F(MassPageTest, OffersMigrateAndShowsTheStagesTheStepsReached)
{
    Frm_Mass page(nullptr, &host);
    page.activated();
    EXPECT_TRUE(bar.buttonVisible(BarButton::Migrate));
    EXPECT_TRUE(bar.buttonEnabled(BarButton::Migrate));
    EXPECT_FALSE(bar.buttonVisible(BarButton::Next));
    EXPECT_FALSE(bar.buttonVisible(BarButton::Back));
    EXPECT_FALSE(child<QFrame>(&page, "FraMassStatus")->isEnabled()) << "the user cannot tick a stage";
    EXPECT_EQ(child<QLabel>(&page, "LblCopyfile")->text(), "Copy Files from Source to destination");
    for (const char* c : {"ChDskNet", "ChIndentify", "ChCopyfile", "ChUpdateReg"})
        EXPECT_FALSE(ticked(page, c)) << c;
    // The disabled frame stands 240 twips left of the page and keeps its texts readable.
    auto* frame = child<QFrame>(&page, "FraMassStatus");
    EXPECT_EQ(frame->x(), twips(-240));
    auto* stage = child<QLabel>(&page, "LblIndentify");
    EXPECT_EQ(stage->palette().color(QPalette::Disabled, QPalette::WindowText),
        stage->palette().color(QPalette::Active, QPalette::WindowText));
    auto* title = child<QLabel>(&page, "Label5");
    EXPECT_EQ(title->text(), "Migration Status");
    EXPECT_EQ(title->palette().color(QPalette::Disabled, QPalette::WindowText), QColor(0, 0, 128));
    EXPECT_TRUE(child<QFrame>(&page, "Shape2")->geometry().contains(title->geometry()));

    transfertest::TransferWorld world;
    mass::FN_STATUS();
    EXPECT_TRUE(ticked(page, "ChIndentify"));
    EXPECT_FALSE(ticked(page, "ChCopyfile"));
    mass::FN_STATUS();
    EXPECT_TRUE(ticked(page, "ChCopyfile"));
    EXPECT_FALSE(ticked(page, "ChUpdateReg"));
    EXPECT_FALSE(ticked(page, "ChDskNet"));
}

TEST_F(MassPageTest, ADriveNotCopiedWholeIsTold)
{
    transfertest::TransferWorld world; // NEWPC has only C:; the source's D: is mapped too
    transferGlobals().driveMap.set("D:", "Y:");
    Frm_Mass page(nullptr, &host);
    mass::copyMappedDrives();
    const QString notes = child<QLabel>(&page, "LblMassNotes")->text();
    EXPECT_TRUE(notes.contains("The source drive D: was not copied")) << notes.toStdString();
    EXPECT_FALSE(notes.contains("C:")) << notes.toStdString();
}

// The destination's drive fills up during the copy (a child process with a file-size limit): the
// page tells which drive filled up and which source drive's copy ended there.
TEST_F(MassPageTest, ADriveThatFilledUpIsTold)
{
    transfertest::TransferWorld world;
    world.putOld("big.bin", std::string(256 * 1024, 'B'));
    Frm_Mass page(nullptr, &host);
    const std::string notes = testsupport::onFullDisk(64 * 1024, [&page] {
        mass::copyMappedDrives();
        return child<QLabel>(&page, "LblMassNotes")->text().toStdString();
    });
    EXPECT_EQ(notes, "Drive C: is full: the copy of the source drive C: ended there");
}

} // namespace
