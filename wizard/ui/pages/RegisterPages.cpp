// RegisterPages.cpp: the information pages in the main window's page table.
#include "wizard/ui/pages/RegisterPages.h"

#include "wizard/core/InitializeApplication.h"
#include "wizard/core/WizardCore.h"
#include "wizard/ui/core/KestroMain.h"
#include "wizard/ui/core/PageRoutines.h"
#include "wizard/ui/pages/PreparatoryPages.h"

namespace wizard {

namespace {

void clickMainWindowButton(BarButton b)
{
    KestroMain* main = mainWindow();
    if (!main)
        return;
    switch (b) {
    case BarButton::Next: main->Btn_Next_Click(); break;
    case BarButton::Back: main->Btn_Back_Click(); break;
    case BarButton::Help: main->Btn_Help_Click(); break;
    case BarButton::Cancel: main->Cancel_Click(); break;
    case BarButton::Migrate: main->Btn_Migrate_Click(); break;
    default: break; // Accept, Decline and Finish have no page accelerator
    }
}

} // namespace

void registerInformationPages()
{
    setBarClickHandler(clickMainWindowButton);
    KestroMain::registerPage(Frm_Preparatory::kFormName,
        [](KestroMain& main, QWidget* area) -> WizardPage* { return new Frm_Preparatory(&main, area); });
    KestroMain::registerPage(
        Frm_PreparatoryTask::kFormName, [](KestroMain& main, QWidget* area) -> WizardPage* {
            return new Frm_PreparatoryTask(
                &main, area, [] { return Destination_Value_Initialize(); }, core().variables);
        });
}

} // namespace wizard
