// MigrationRun.cpp: the item runners, ticks, busy window, flags, common-folder copy and the end of
// a selective migration.
#include "wizard/rules/MigrationRun.h"

#include "platform/MessageBox.h"
#include "platform/WindowsName.h"
#include "wizard/core/AppPath.h"
#include "wizard/core/ProgramEnd.h"
#include "wizard/core/WizardCore.h"
#include "wizard/core/WizardState.h"
#include "wizard/core/WizardWindows.h"
#include "wizard/selection/SelectedItemsList.h"
#include "wizard/selection/SelectionCollectors.h"
#include "wizard/transfer/MigrationReport.h"
#include "wizard/transfer/TransferGlobals.h"
#include "wizard/transfer/TransferPlatform.h"

#include <array>

namespace wizard {

using transfer::TransferOutcome;

namespace {

void runOnEngine(const std::string& script, bool first)
{
    XmlEngine& engine = core().engine;
    engine.CurrentScript = script;
    engine.ScriptStack += first ? "|" + std::to_string(engine.ActionIndex) + "|" + script : "|" + script;
    engine.ActionIndex = 0;
    engine.Step_Script(kDirectionItem);
    // A step of the script that answered False ended the item there: the item failed at that
    // step unless an action before it failed first.
    if (!engine.itemRefusal().empty())
        if (transfer::ItemTally* tally = transfer::currentItemTally())
            tally->noteFailedStep(engine.itemRefusal());
}

ItemScriptRunner& itemRunner()
{
    static ItemScriptRunner runner = runOnEngine;
    return runner;
}

bool scriptExists(const std::string& script)
{
    return transfer::fileExists(AppPath + "\\WKXFiles\\" + script);
}

SelectedItemsList::Mark markOf(TransferOutcome outcome)
{
    switch (outcome) {
    case TransferOutcome::Migrated: return SelectedItemsList::Mark::Migrated;
    case TransferOutcome::NotFound: return SelectedItemsList::Mark::NotFound;
    case TransferOutcome::Failed: break;
    }
    return SelectedItemsList::Mark::Failed;
}

// What the item runners share: the item's row, its script run under a tally, and what it gave.
class ItemRun {
public:
    ItemRun(ReportGroup group, std::string process)
        : m_group(group)
        , m_process(std::move(process))
    {}

    // Records an item that could not be run at all.
    void refuse(const std::string& name, const std::string& rowKey, const std::string& detail)
    {
        writeTransferLog(m_process, "Error : " + name + " : " + detail);
        end(name, rowKey, TransferOutcome::Failed, detail);
    }

    void run(const std::string& name, const std::string& rowKey, const std::string& script)
    {
        selectedItemsList().setMark(rowKey, SelectedItemsList::Mark::Migrating);
        transfer::ItemTally tally;
        {
            transfer::ItemTallyScope scope(tally);
            itemRunner()(script, m_first);
        }
        m_first = false;
        if (programEndRequested()) {
            // The user took the way out while the item's script ran: the program ends with the
            // item half there, and the log is what still tells which.
            const std::string detail = "Cut short: the wizard was ended during its migration";
            writeTransferLog(m_process, "Cut short : " + name + " : the wizard was ended");
            end(name, rowKey, TransferOutcome::Failed, detail);
            return;
        }
        std::string detail;
        if (tally.verdict() == TransferOutcome::Failed) {
            detail = tally.failedStep().empty() ? "A step of " + script + " failed"
                                                : "Failed step: " + tally.failedStep();
            writeTransferLog(m_process, "Failed : " + name + " : " + detail);
        } else if (tally.verdict() == TransferOutcome::NotFound) {
            detail = "Nothing of it was found on the source PC";
        }
        if (!tally.passedOver().empty())
            detail += (detail.empty() ? "" : "; ") + tally.passedOver();
        end(name, rowKey, tally.verdict(), detail);
    }

private:
    void end(const std::string& name, const std::string& rowKey, TransferOutcome outcome,
        const std::string& detail)
    {
        SelectedItemsList& list = selectedItemsList();
        list.setMark(rowKey, markOf(outcome));
        list.advance(selectionCollections().progressStep);
        migrationReport().record(m_group, name, outcome, detail);
    }

    ReportGroup m_group;
    std::string m_process;
    bool m_first = true;
};

std::string settingRowKey(const std::string& name)
{
    const SelectedItemsList::Row* row = selectedItemsList().findSetting(name);
    return row ? row->key : std::string();
}

} // namespace

MigrationRunState& migrationRunState()
{
    static MigrationRunState state;
    return state;
}

ItemScriptRunner setItemScriptRunner(ItemScriptRunner runner)
{
    ItemScriptRunner previous = itemRunner();
    itemRunner() = runner ? std::move(runner) : ItemScriptRunner(runOnEngine);
    return previous;
}

std::string applicationScriptOf(const std::string& name)
{
    // The name of an unsupported application comes from the source PC's registry: one that is no
    // Windows file name ("..\Settings\Wallpaper", "A|B", "CON") names no script of its own.
    if (!platform::isWindowsName(name))
        return kOtherApplicationsScript;
    return "APPS\\" + name + ".wkx";
}

std::string settingScriptOf(const std::string& name) { return "Settings\\" + name + ".wkx"; }

bool Application_Migration()
{
    writeTransferLog("Application_Migration", "Start");
    ItemRun run(ReportGroup::Applications, "Application_Migration");
    // A copy: an item script may change the selection meanwhile.
    const std::vector<KeyedList::Entry> apps = selectionCollections().applications.entries();
    for (const KeyedList::Entry& app : apps) {
        if (programEndRequested())
            return false;
        migrationRunState().currentItemName = app.item;
        std::string script = applicationScriptOf(app.item);
        if (!scriptExists(script))
            script = kOtherApplicationsScript;
        if (!scriptExists(script)) {
            run.refuse(app.item, "APP_" + app.key, "No migration script (" + script + ")");
            continue;
        }
        transferGlobals().progressCaption =
            script == kOtherApplicationsScript ? std::string("OtherApplications") : app.item;
        run.run(app.item, "APP_" + app.key, script);
    }
    Set_System_Variable_Value("$bln_initial_migration_done", "true");
    writeTransferLog("Application_Migration", "End");
    return true;
}

bool Collect_Settings()
{
    static const std::array<const char*, 9> kAll = {"Regional Settings", "Mouse Settings",
        "Keyboard Settings", "Screen Saver", "Effects", "Resolution", "Wallpaper", "Active Desktop",
        "Appearance"};
    KeyedList& settings = selectionCollections().settings;
    settings.clear();
    for (const char* name : kAll)
        settings.add(name, name);
    return true;
}

bool Settings_Migration()
{
    writeTransferLog("Settings_Migration", "Start");
    ItemRun run(ReportGroup::Settings, "Settings_Migration");
    const std::vector<KeyedList::Entry> settings = selectionCollections().settings.entries();
    for (const KeyedList::Entry& setting : settings) {
        if (programEndRequested())
            return false;
        migrationRunState().currentItemName = setting.item;
        const std::string script = settingScriptOf(setting.item);
        if (!scriptExists(script)) {
            // The mass migration runs the full list and passes over what it has no script for.
            if (MigrationMode == "selective")
                run.refuse(setting.item, settingRowKey(setting.item), "No migration script (" + script + ")");
            continue;
        }
        transferGlobals().progressCaption = setting.item;
        run.run(setting.item, settingRowKey(setting.item), script);
    }
    writeTransferLog("Settings_Migration", "End");
    return true;
}

bool Migration_Progress()
{
    std::string& name = migrationRunState().currentItemName;
    writeTransferLog("Migration_Progress" + name, "Start");
    name.clear();
    writeTransferLog("Migration_Progress", "End");
    return true;
}

bool Progress_Enable()
{
    migrationRunState().progressShown = wizardWindows().openBusyWindow();
    return migrationRunState().progressShown;
}

bool Progress_Disable()
{
    migrationRunState().progressShown = false;
    wizardWindows().closeBusyWindow();
    transferGlobals().progressCaption = "Collecting migration information..";
    return true;
}

bool Office_Flag()
{
    Set_System_Variable_Value("$bln_office_copied", "true");
    return true;
}

bool DisableSyncFlag()
{
    Set_System_Variable_Value("$blnSyncDone", "True");
    return true;
}

bool Set_Mass_Finished_Flag()
{
    MassStage = 3;
    return true;
}

} // namespace wizard
