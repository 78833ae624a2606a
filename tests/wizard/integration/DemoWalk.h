// DemoWalk.h: the wizard started on the demo network's NEWPC and walked as a user would, from the
// agreement to the connection page and through the hand-over, with the batch runner playing the
// user who runs Temp.bat on the source PC.
#pragma once

#include "platform/MessageBox.h"
#include "platform/ProcessRunner.h"
#include "platform/Registry.h"
#include "platform/RunningMachine.h"
#include "tests/support/platform/QuickClock.h"
#include "tests/support/wizard/ListingsSettled.h"
#include "tests/support/wizard/WizardRun.h"
#include "tests/wizard/core/PageOnScreen.h"
#include "tests/wizard/core/QtTestApp.h"
#include "tools/demo-network/DemoNetwork.h"
#include "wizard/connection/TroubleshootingHook.h"
#include "wizard/core/WizardCore.h"
#include "wizard/core/WizardState.h"
#include "wizard/core/XmlEngine.h"
#include "wizard/program/StartKestro.h"
#include "wizard/transfer/TransferGlobals.h"
#include "wizard/ui/core/KestroMain.h"
#include "wizard/ui/core/PageRoutines.h"
#include "wizard/ui/core/WizardPage.h"
#include "wizard/ui/selection/SelectionTreeWidget.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTreeWidget>

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <memory>
#include <optional>

namespace testsupport {

// The user at the message boxes: answers each box in turn, doing `before` first (running the
// batch file on the source).
class DemoUser : public platform::MessageService {
public:
    struct Step {
        platform::MsgResult answer;
        std::function<void()> before;
    };
    platform::MsgResult show(const platform::MessageRequest& request) override
    {
        shown.push_back(request.text);
        if (steps.empty())
            return platform::MsgResult::Ok;
        Step step = steps.front();
        steps.erase(steps.begin());
        if (step.before)
            step.before();
        return step.answer;
    }
    std::vector<Step> steps;
    std::vector<std::string> shown;
};

class DemoWalk : public ::testing::Test {
protected:
    void SetUp() override
    {
        namespace fs = std::filesystem;
        testsupport::qtApp();
        testsupport::resetWizardRun();
        wizard::transferGlobals().driveMap.clear();
        std::string pattern = (fs::temp_directory_path() / "demo-walk-XXXXXX").string();
        ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
        network = pattern;
        demo::DemoOptions options;
        options.dataFolders = {KESTRO_SOURCE_DATA, KESTRO_BUILT_DATA};
        std::string error;
        ASSERT_TRUE(demo::buildDemoNetwork(network, options, error)) << error;
        ::setenv("WINENV_MACHINE", (network / demo::kDestinationPc).c_str(), 1);
        ASSERT_EQ(platform::RunningMachine::use(network / demo::kDestinationPc), platform::WinError::Success);
    }
    void TearDown() override
    {
        presenter.reset();
        kestro.reset();
        wizard::transferGlobals().driveMap.clear();
        testsupport::resetWizardRun();
        platform::RunningMachine::close();
        ::unsetenv("WINENV_MACHINE");
        std::error_code ec;
        std::filesystem::remove_all(network, ec);
    }
    // The program's own start-up on NEWPC: every page and hook wired as the program wires them;
    // the boxes and help are the test's.
    wizard::KestroOptions startOptions()
    {
        wizard::KestroOptions o;
        o.onRunningMachine = true;
        o.programServices = false;
        o.appPath = demo::kWizardFolder;
        o.showSplash = [] {};
        return o;
    }
    template <class T> T* control(wizard::KestroMain* w, const char* form, const char* name)
    {
        wizard::WizardPage* page = w->findChild<wizard::WizardPage*>(form);
        return page ? page->findChild<T*>(name) : nullptr;
    }
    std::string activeForm(wizard::KestroMain* w)
    {
        const wizard::WizardPage* page = testsupport::pageOnScreen(*w);
        return page ? page->objectName().toStdString() : std::string("KestroMain");
    }
    void next(wizard::KestroMain* w) { w->findChild<QPushButton*>("Btn_Next")->click(); }
    // From the agreement to the connection page with the source system `osOption` chosen, and a
    // mass migration when `mass`.
    void walkToConnectionPage(wizard::KestroMain* w, const char* osOption, bool mass = false)
    {
        w->findChild<QPushButton*>("Btn_Accept")->click();
        next(w);
        control<QCheckBox>(w, "Frm_PreparatoryTask", "Check3")->click();
        control<QCheckBox>(w, "Frm_PreparatoryTask", "Check4")->click();
        control<QRadioButton>(w, "Frm_PreparatoryTask", osOption)->click();
        next(w);
        ASSERT_EQ(activeForm(w), "Frm_MigrationType");
        if (mass)
            control<QRadioButton>(w, "Frm_MigrationType", "optMass")->click();
        next(w);
        ASSERT_EQ(activeForm(w), "Frm_ConnectionType");
    }
    void fillConnection(
        wizard::KestroMain* w, const char* name, const char* user = "", const char* password = "")
    {
        control<QRadioButton>(w, "Frm_ConnectionType", "optNWLan")->click();
        if (!control<QCheckBox>(w, "Frm_ConnectionType", "Check1")->isChecked())
            control<QCheckBox>(w, "Frm_ConnectionType", "Check1")->click();
        control<QLineEdit>(w, "Frm_ConnectionType", "txt_Source_Name")->setText(name);
        control<QLineEdit>(w, "Frm_ConnectionType", "txtuser")->setText(user);
        control<QLineEdit>(w, "Frm_ConnectionType", "TxtPass")->setText(password);
    }
    // Starts the wizard as the program does on NEWPC; its main window on the agreement page, null
    // when it did not start. The troubleshooting dialogs are recorded instead of shown.
    wizard::KestroMain* startWizard()
    {
        presenter.reset();
        kestro.reset();
        kestro = wizard::startKestro(startOptions());
        presenter.emplace([this](const std::string& form) { dialogs.push_back(form); });
        return kestro->window();
    }
    // Starts the wizard and walks it to the selection page with `pc`'s exports merged (a 2000/XP
    // source with the demo administrator).
    wizard::KestroMain* walkToSelection(const char* pc)
    {
        wizard::KestroMain* w = startWizard();
        EXPECT_NE(w, nullptr);
        if (!w)
            return nullptr;
        const bool xp = std::string(pc) == demo::kSourcePcXp;
        walkToConnectionPage(w, xp ? "OptXP" : "Opt98");
        fillConnection(w, pc, xp ? demo::kXpAdminUser : "", xp ? demo::kXpAdminPassword : "");
        user.steps = {{platform::MsgResult::Ok, runBatchOn(pc)}};
        next(w);
        EXPECT_EQ(activeForm(w), "Frm_ApplicationSettings");
        return w;
    }
    // Starts the wizard and walks it to the mass page of a mass migration from the demo 98 source
    // with its exports merged; null when it did not get there.
    wizard::KestroMain* walkToMassPage()
    {
        wizard::KestroMain* w = startWizard();
        EXPECT_NE(w, nullptr);
        if (!w)
            return nullptr;
        walkToConnectionPage(w, "Opt98", true);
        fillConnection(w, demo::kSourcePc98);
        user.steps = {{platform::MsgResult::Ok, runBatchOn(demo::kSourcePc98)}};
        next(w);
        EXPECT_EQ(activeForm(w), "Frm_Mass");
        return activeForm(w) == "Frm_Mass" ? w : nullptr;
    }
    // The selection page's source tree.
    wizard::SelectionTreeWidget* sourceTree(wizard::KestroMain* w)
    {
        return control<wizard::SelectionTreeWidget>(w, "Frm_ApplicationSettings", "Trv_Source_Information");
    }
    std::function<void()> runBatchOn(const char* source)
    {
        return [this, source] {
            platform::StartOptions options;
            options.machineFolder = network / source;
            std::uint32_t code = 1;
            batchResult = platform::runProcess("winbatch C:\\KestroBatch\\Temp.bat", options, &code);
            batchExit = code;
        };
    }
    // A text value of the destination's registry (below HKEY_LOCAL_MACHINE unless `root` says
    // otherwise), "<no key>" when the key is missing.
    static std::string destinationValue(const std::string& key, const std::string& name,
        platform::RegRoot root = platform::RegRoot::LocalMachine)
    {
        platform::Registry& reg = platform::RunningMachine::current()->registry();
        platform::RegKey k;
        if (reg.openKey(platform::RegKey(root), key, k) != platform::WinError::Success)
            return "<no key>";
        std::string value;
        reg.queryString(k, name, value);
        return value;
    }
    static bool destinationKeyExists(const std::string& key)
    {
        platform::RegKey k;
        return platform::RunningMachine::current()->registry().openKey(
                   platform::RegKey(platform::RegRoot::LocalMachine), key, k) == platform::WinError::Success;
    }
    // The first record of the wizard's log whose text, joined with the records that continue it
    // ("<process> (continued)": status and detail fields, the padding after the last one dropped),
    // holds `needle`; "" if none does.
    static std::string loggedWhole(const std::string& needle)
    {
        std::string log;
        platform::RunningMachine::current()->files().readFile(
            std::string(demo::kWizardFolder) + "\\Kestro_Log_File.txt", log);
        constexpr std::size_t kRecord = 200, kProc = 8, kProcWidth = 40, kText = 48, kTextWidth = 130;
        const auto process = [&](std::size_t at) {
            std::string name = log.substr(at + kProc, kProcWidth);
            return name.erase(name.find_last_not_of(' ') + 1);
        };
        for (std::size_t at = kRecord; at + kRecord <= log.size(); at += kRecord) {
            const std::string continued = process(at) + " (continued)";
            std::string joined = log.substr(at + kText, kTextWidth);
            for (std::size_t next = at + kRecord; next + kRecord <= log.size() && process(next) == continued;
                 next += kRecord)
                joined += log.substr(next + kText, kTextWidth);
            joined.erase(joined.find_last_not_of(' ') + 1);
            if (joined.find(needle) != std::string::npos)
                return joined;
        }
        return {};
    }
    // The report row of `name`: its status ("Migrated", "Not found", "Failed") and its reason; "<no row>".
    std::string reportRow(wizard::KestroMain* w, const std::string& name)
    {
        auto* report = control<QTreeWidget>(w, "frm_Migration_Status", "ListView1");
        for (int i = 0; report && i < report->topLevelItemCount(); ++i)
            if (report->topLevelItem(i)->text(0).trimmed().toStdString() == name)
                return report->topLevelItem(i)->text(1).toStdString() + " " +
                    report->topLevelItem(i)->text(2).toStdString();
        return "<no row>";
    }

    // A selection tree's item reached from the top by the texts of `path`, "\" between them; null when missing.
    static QTreeWidgetItem* item(QTreeWidget* tree, const std::string& path)
    {
        QTreeWidgetItem* at = tree->invisibleRootItem();
        std::size_t from = 0;
        while (at && from <= path.size()) {
            const std::size_t to = std::min(path.find('\\', from), path.size());
            const QString text = QString::fromStdString(path.substr(from, to - from));
            QTreeWidgetItem* found = nullptr;
            for (int i = 0; i < at->childCount() && !found; ++i)
                if (at->child(i)->text(0) == text)
                    found = at->child(i);
            at = found;
            from = to + 1;
        }
        return at;
    }
    void tick(QTreeWidget* tree, const std::string& path)
    {
        QTreeWidgetItem* it = item(tree, path);
        ASSERT_NE(it, nullptr) << path;
        it->setCheckState(0, Qt::Checked);
        emit tree->itemClicked(it, 0);
    }
    void open(QTreeWidget* tree, const std::string& path)
    {
        QTreeWidgetItem* it = item(tree, path);
        ASSERT_NE(it, nullptr) << path;
        it->setExpanded(true);
        settleListings(tree->parentWidget());
    }
    // The letters of the running machine's drive connections.
    static std::vector<char> connectedLetters()
    {
        std::vector<char> out;
        for (const platform::DriveConnection& c :
            platform::RunningMachine::current()->network().connections())
            out.push_back(c.letter);
        return out;
    }
    std::vector<std::string> connections()
    {
        std::vector<std::string> out;
        for (const platform::DriveConnection& c :
            platform::RunningMachine::current()->network().connections())
            out.push_back(std::string(1, c.letter) + ":" + c.remotePath);
        return out;
    }

    // The registry editor's settling pauses, some twenty in a migration, at a tenth of their length.
    QuickClock quickClock;
    common::Service<platform::Clock>::Override clockScope{quickClock};

    std::filesystem::path network;
    // The presenter while the wizard started by startWizard runs, then the one it found.
    struct PresenterScope {
        explicit PresenterScope(wizard::TroubleshootingPresenter presenter)
            : previous(wizard::setTroubleshootingPresenter(std::move(presenter)))
        {}
        ~PresenterScope() { wizard::setTroubleshootingPresenter(std::move(previous)); }
        wizard::TroubleshootingPresenter previous;
    };
    std::unique_ptr<wizard::RunningKestro> kestro; // the wizard started by startWizard
    std::optional<PresenterScope> presenter;
    std::vector<std::string> dialogs;
    DemoUser user;
    common::Service<platform::MessageService>::Override scope{user};
    platform::WinError batchResult = platform::WinError::GenFailure;
    std::uint32_t batchExit = 1;
};

} // namespace testsupport
