// wizard_walk_bench.cpp: one walk through the wizard's main window on a demo network, timed from
// the click to the answer with the stall meter running (bench/wizard-walk-bench.sh runs it in turns
// with its peer). Usage: wizard_walk_bench MODE NETWORK, the network made by demo-network:
//   handover   OLDPC (or OLDXP with SOURCE=OLDXP) to the selection page: the time from the user's
//              OK after running the batch file to the selection page
//   selective  every application and setting OLDPC offers, Migrate to the report page; also the
//              registry editor runs and the time per run
//   mass       a mass migration of OLDPC, Migrate to the completion box
// Prints "seconds: S", "stall_longest_ms: M" (and "editor_runs: N" for selective); exit code 1
// when the walk did not end where it should.
#include "../bench/StallMeter.h"
#include "platform/Machine.h"
#include "platform/MessageBox.h"
#include "platform/ProcessRunner.h"
#include "platform/RunningMachine.h"
#include "tools/demo-network/DemoNetwork.h"
#include "wizard/program/StartKestro.h"
#include "wizard/ui/core/KestroMain.h"
#include "wizard/ui/core/PageRoutines.h"
#include "wizard/ui/core/WizardPage.h"
#include "wizard/ui/selection/SelectionTreeWidget.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTreeWidget>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

namespace {

// The user at the message boxes: runs the batch file on the source at the instruction box (then
// the timing starts), answers OK, and notes the completion box's time.
class BenchUser : public platform::MessageService {
public:
    platform::MsgResult show(const platform::MessageRequest& request) override
    {
        if (request.text.find("KestroBatch\\Temp.bat'.") != std::string::npos) {
            platform::StartOptions options;
            options.machineFolder = source;
            std::uint32_t code = 1;
            platform::runProcess("winbatch C:\\KestroBatch\\Temp.bat", options, &code);
            started = Clock::now();
            meter = std::make_unique<bench::StallMeter>();
            meter->start();
        } else if (request.text.rfind("Mass Migration successfully completed", 0) == 0) {
            answered = Clock::now();
            if (runMeter) {
                stallAtAnswer = runMeter->maxStall();
                stallEndAtAnswer = runMeter->maxStallEnd();
            }
        } else {
            std::cerr << "box: " << request.text << "\n";
        }
        return platform::MsgResult::Ok;
    }
    fs::path source;
    Clock::time_point started{};
    Clock::time_point answered{};
    std::unique_ptr<bench::StallMeter> meter;
    bench::StallMeter* runMeter = nullptr;
    qint64 stallAtAnswer = 0;
    qint64 stallEndAtAnswer = 0;
};

// Counts the registry editor's starts, passing every start on.
class EditorCount : public platform::ProcessLauncher {
public:
    EditorCount()
        : m_previous(&common::Service<platform::ProcessLauncher>::instance())
    {
        common::Service<platform::ProcessLauncher>::replace(this);
    }
    platform::WinError start(
        const std::string& line, const platform::StartOptions& options, platform::Process& out) override
    {
        runs += line.rfind("regedit", 0) == 0;
        if (std::getenv("EDITOR_TIMES"))
            starts.emplace_back(Clock::now(), line.substr(0, 90));
        return m_previous->start(line, options, out);
    }
    int runs = 0;
    std::vector<std::pair<Clock::time_point, std::string>> starts;

private:
    platform::ProcessLauncher* m_previous;
};

template <class T> T* control(wizard::KestroMain* w, const char* form, const char* name)
{
    auto* page = w->findChild<wizard::WizardPage*>(form);
    return page ? page->findChild<T*>(name) : nullptr;
}

bool onPage(wizard::KestroMain* w, const char* form)
{
    auto* page = w->findChild<wizard::WizardPage*>(form);
    return page && page->isVisible();
}

void next(wizard::KestroMain* w) { w->findChild<QPushButton*>("Btn_Next")->click(); }

// From the agreement through the hand-over; true on the selection page (or the mass page).
bool handOver(wizard::KestroMain* w, bool mass, bool xp)
{
    w->findChild<QPushButton*>("Btn_Accept")->click();
    next(w);
    control<QCheckBox>(w, "Frm_PreparatoryTask", "Check3")->click();
    control<QCheckBox>(w, "Frm_PreparatoryTask", "Check4")->click();
    control<QRadioButton>(w, "Frm_PreparatoryTask", xp ? "OptXP" : "Opt98")->click();
    next(w);
    if (mass)
        control<QRadioButton>(w, "Frm_MigrationType", "optMass")->click();
    next(w);
    control<QRadioButton>(w, "Frm_ConnectionType", "optNWLan")->click();
    if (!control<QCheckBox>(w, "Frm_ConnectionType", "Check1")->isChecked())
        control<QCheckBox>(w, "Frm_ConnectionType", "Check1")->click();
    control<QLineEdit>(w, "Frm_ConnectionType", "txt_Source_Name")->setText(xp ? "OLDXP" : "OLDPC");
    control<QLineEdit>(w, "Frm_ConnectionType", "txtuser")->setText(xp ? demo::kXpAdminUser : "");
    control<QLineEdit>(w, "Frm_ConnectionType", "TxtPass")->setText(xp ? demo::kXpAdminPassword : "");
    next(w);
    return onPage(w, mass ? "Frm_Mass" : "Frm_ApplicationSettings");
}

// Ticks every application and setting the selection page offers.
void tickEverything(wizard::KestroMain* w)
{
    auto* tree = control<wizard::SelectionTreeWidget>(w, "Frm_ApplicationSettings", "Trv_Source_Information");
    QTreeWidgetItem* computer = tree->topLevelItem(0);
    for (int c = 0; computer && c < computer->childCount(); ++c) {
        QTreeWidgetItem* category = computer->child(c);
        if (category->text(0) == "Files and Folders")
            continue;
        for (int i = 0; i < category->childCount(); ++i) {
            category->child(i)->setCheckState(0, Qt::Checked);
            emit tree->itemClicked(category->child(i), 0);
        }
    }
}

double seconds(Clock::time_point from, Clock::time_point to)
{
    return std::chrono::duration<double>(to - from).count();
}

} // namespace

int main(int argc, char* argv[])
{
    if (argc != 3) {
        std::cerr << "usage: wizard_walk_bench handover|selective|mass NETWORK\n";
        return 2;
    }
    const std::string mode = argv[1];
    const fs::path network = argv[2];
    const bool xp = std::getenv("SOURCE") && std::string(std::getenv("SOURCE")) == "OLDXP";
    BenchUser user;
    user.source = network / (xp ? demo::kSourcePcXp : demo::kSourcePc98);
    common::Service<platform::MessageService>::Override answers{user};
    // The program's own start: the machine WINENV_MACHINE names, every page and hook wired.
    ::setenv(platform::Machine::kEnvironmentVariable, (network / demo::kDestinationPc).c_str(), 1);
    wizard::KestroOptions options;
    options.argc = argc;
    options.argv = argv;
    options.machineFaultBox = false;
    const std::unique_ptr<wizard::RunningKestro> kestro = wizard::startKestro(std::move(options));
    wizard::KestroMain* w = kestro->window();
    if (!w)
        return 2;
    w->show();
    EditorCount editor;

    const bool mass = mode == "mass";
    const bool handedOver = handOver(w, mass, xp);
    if (!handedOver || !user.meter) {
        std::cerr << "the hand-over did not reach its page\n";
        return 1;
    }
    if (mode == "handover") {
        std::cout << "seconds: " << seconds(user.started, Clock::now()) << "\n";
        std::cout << "stall_longest_ms: " << user.meter->maxStall() << "\n";
        return 0;
    }
    if (mode == "selective") {
        tickEverything(w);
        next(w);
        next(w);
        if (!onPage(w, "frm_source_Space_Info"))
            return 1;
    }
    const int before = editor.runs;
    bench::StallMeter meter;
    meter.start();
    user.runMeter = &meter;
    const Clock::time_point start = Clock::now();
    w->findChild<QPushButton*>("Btn_Migrate")->click();
    const Clock::time_point end = mass ? user.answered : Clock::now();
    if (mass ? end == Clock::time_point{} : !onPage(w, "frm_Migration_Status")) {
        std::cerr << "the run did not reach its end\n";
        return 1;
    }
    for (const auto& [at, line] : editor.starts)
        if (at >= start)
            std::cerr << "  +" << static_cast<int>(1000 * seconds(start, at)) << " ms " << line << "\n";
    std::cout << "seconds: " << seconds(start, end) << "\n";
    std::cout << "stall_longest_ms: " << (mass ? user.stallAtAnswer : meter.maxStall()) << "\n";
    // When it ended, from the click; beside the editor runs' starts on standard error.
    std::cerr << "longest stall ended +" << (mass ? user.stallEndAtAnswer : meter.maxStallEnd()) << " ms\n";
    if (mode == "selective") {
        const int runs = editor.runs - before;
        std::cout << "editor_runs: " << runs << "\n";
        std::cout << "ms_per_editor_run: " << (runs ? 1000.0 * seconds(start, end) / runs : 0.0) << "\n";
    }
    return 0;
}
