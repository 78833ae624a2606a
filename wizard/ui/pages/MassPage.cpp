// MassPage.cpp: the mass-migration status page.
#include "wizard/ui/pages/MassPage.h"

#include "wizard/core/WizardState.h"
#include "wizard/core/WizardWindows.h"
#include "wizard/selection/SelectionCollectors.h"
#include "wizard/transfer/MassCopy.h"
#include "wizard/transfer/MassSteps.h"
#include "wizard/ui/core/KestroMain.h"

#include <QCheckBox>
#include <QFrame>
#include <QLabel>

namespace wizard {

Frm_Mass::Frm_Mass(KestroMain* main, QWidget* parent)
    : StepPage(main, kFormName, kHelpTopic, parent)
{
    setGeometry(0, 0, twips(11400), twips(8235));
    addAccelerator("cmdCancel", "&Cancel", BarButton::Cancel);
    addAccelerator("CmdMigrate", "&Migrate", BarButton::Migrate);
    auto* frame = new QFrame(this);
    frame->setObjectName("FraMassStatus");
    frame->setGeometry(twips(-240), 0, twips(11175), twips(8175));
    // Disabled only so that no one ticks a stage: its texts keep their colours.
    QPalette pal = frame->palette();
    for (QPalette::ColorRole role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText})
        pal.setColor(QPalette::Disabled, role, pal.color(QPalette::Active, role));
    frame->setPalette(pal);
    addPageTitle(frame, "Label5", "Migration Status", "migration");
    int top = 1800;
    for (const mass::StageRow& row : mass::stageRows(0)) {
        auto* check = new QCheckBox(frame);
        check->setObjectName(row.check);
        check->setGeometry(twips(2280), twips(top), twips(300), twips(300));
        m_checks.push_back(check);
        QLabel* label = verdanaLabel(frame, row.label, row.caption, 9.75, false);
        label->setGeometry(twips(2760), twips(top), twips(7000), twips(400));
        top += 600;
    }
    m_notes = verdanaLabel(frame, "LblMassNotes", "", 9.75, false);
    m_notes->setGeometry(twips(2280), twips(4500), twips(8000), twips(2400));
    m_notes->setStyleSheet("color: #c00000");
    // The user never ticks a stage: only the mass steps do.
    frame->setEnabled(false);
    WizardWindows& w = wizardWindows();
    w.setButtonVisible(BarButton::Migrate, true);
    w.setButtonEnabled(BarButton::Migrate, true);
    w.setButtonVisible(BarButton::Next, false);
    w.setButtonVisible(BarButton::Back, false);
    mass::setMassProgressListener([this] { refresh(); });
}

Frm_Mass::~Frm_Mass() { mass::setMassProgressListener({}); }

void Frm_Mass::activated()
{
    // The choices made on the selection page, if it was shown, join what the collections hold.
    collectProgramApplicationsAndSettings();
    refresh();
}

void Frm_Mass::refresh()
{
    const std::vector<mass::StageRow> rows = mass::stageRows(MassStage);
    for (std::size_t i = 0; i < rows.size() && i < m_checks.size(); ++i)
        m_checks[i]->setChecked(rows[i].ticked);
    QString notes;
    for (const std::string& note : mass::driveCopyNotes())
        notes += QString::fromStdString(note) + "\n";
    notes += QString::fromStdString(mass::notCopiedSummary());
    m_notes->setText(notes.trimmed());
}

void registerMassPage()
{
    KestroMain::registerPage(Frm_Mass::kFormName,
        [](KestroMain& main, QWidget* area) -> WizardPage* { return new Frm_Mass(&main, area); });
}

} // namespace wizard
