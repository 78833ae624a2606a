// MassEditorRunsWalkTest.cpp: a mass migration from OLDPC walked through the main window with the
// registry editor's runs set against the wizard's log: each import is a run of its own at its own
// step, and the four installer keys go in four deletions, each with its own Start and End.
#include "tests/wizard/integration/DemoWalk.h"
#include "tests/wizard/integration/EditorSpy.h"

#include "common/Text.h"

#include <algorithm>

#include <unistd.h>

namespace {

// A record of the wizard's log, padding dropped.
struct LogRecord {
    std::string process;
    std::string status;
};

class MassEditorRunsWalkTest : public testsupport::DemoWalk {
protected:
    void SetUp() override
    {
        ::alarm(300);
        DemoWalk::SetUp();
    }
    void TearDown() override
    {
        DemoWalk::TearDown();
        ::alarm(0);
    }
    static std::string logText()
    {
        std::string text;
        platform::RunningMachine::current()->files().readFile(
            std::string(demo::kWizardFolder) + "\\Kestro_Log_File.txt", text);
        return text;
    }
    // The records written so far (the header's next record number less the header and one).
    static std::size_t recordsWritten()
    {
        const std::string text = logText();
        return text.size() < 20 ? 0 : std::stoul(text.substr(10, 10)) - 2;
    }
    // The log's records in the order written (a run fills far less than the ring); record n lies
    // at (n - 1) * 200, the header in the first.
    static std::vector<LogRecord> records()
    {
        const std::string text = logText();
        std::vector<LogRecord> out;
        const auto field = [](std::string f) {
            f.erase(f.find_last_not_of(' ') + 1);
            return f;
        };
        for (std::size_t at = 200; at + 200 <= text.size(); at += 200)
            out.push_back({field(text.substr(at + 8, 40)), field(text.substr(at + 48, 62))});
        return out;
    }
};

TEST_F(MassEditorRunsWalkTest, EachImportAndEachKeyDeletionIsAnEditorRunAtItsOwnStep)
{
    wizard::KestroMain* w = walkToMassPage();
    ASSERT_NE(w, nullptr);
    testsupport::EditorSpy editor;
    std::vector<std::size_t> writtenBefore;
    editor.onStart = [&](const std::string&) { writtenBefore.push_back(recordsWritten()); };
    w->findChild<QPushButton*>("Btn_Migrate")->click();

    const std::vector<LogRecord> log = records();
    // The status of the last record of `process` written before the editor's start `run`.
    const auto lastOf = [&](std::size_t run, const std::string& process) {
        for (std::size_t n = std::min(writtenBefore[run], log.size()); n-- > 0;)
            if (log[n].process == process)
                return log[n].status;
        return std::string("<none>");
    };
    std::size_t deletions = 0, templates = 0, imports = 0;
    for (std::size_t run = 0; run < editor.starts.size(); ++run) {
        const std::string& line = editor.starts[run];
        if (line.rfind("regedit.exe /s ", 0) != 0)
            continue;
        ++imports;
        EXPECT_EQ(std::count(line.begin(), line.end(), '"'), 2) << "one file a run: " << line;
        if (line.find("\\Mass.Reg\"") != std::string::npos) {
            ++deletions;
            EXPECT_EQ(lastOf(run, "FN_DEL_REGKEY"), "Start") << "inside its own deletion";
        } else if (common::upperAscii(line).find("\\REGFILES\\") != std::string::npos) {
            ++templates;
            EXPECT_EQ(lastOf(run, "FN_MS_APP"), "Start") << "inside its own template step: " << line;
        }
    }
    EXPECT_EQ(deletions, 4u);
    EXPECT_GE(templates, 3u) << "the class-root, installer and wizard templates of an XP destination";
    EXPECT_GT(imports, deletions + templates) << "the working folder's and the named imports";
    std::vector<std::string> deletionRecords;
    for (const LogRecord& r : log)
        if (r.process == "FN_DEL_REGKEY")
            deletionRecords.push_back(r.status);
    EXPECT_EQ(deletionRecords,
        (std::vector<std::string>{"Start", "End", "Start", "End", "Start", "End", "Start", "End"}))
        << log.size() << " records";
}

} // namespace
