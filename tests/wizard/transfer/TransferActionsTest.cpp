// TransferActionsTest.cpp: script steps run by the wizard's engine reach the transfer primitives.
#include "wizard/transfer/TransferActions.h"

#include "platform/MessageBox.h"
#include "platform/ProcessRunner.h"
#include "tests/support/platform/ScriptedMessageService.h"
#include "tests/wizard/transfer/TransferWorld.h"
#include "wizard/core/AppPath.h"
#include "wizard/core/CoreFiles.h"
#include "wizard/core/LogFile.h"
#include "wizard/core/ScriptDecryptor.h"
#include "wizard/core/ScriptVariables.h"
#include "wizard/core/XmlEngine.h"

#include <gtest/gtest.h>

using namespace wizard;
using transfertest::TransferWorld;
namespace fs = std::filesystem;

class TransferActionsTest : public ::testing::Test {
protected:
    TransferActionsTest() { engine.setPrimitives(&actions); }

    // Writes the script scrambled as the engine reads it: WKXFiles\Kestro.wkx.
    void writeScript(const std::string& body) const
    {
        const std::string xml = "<?xml version=\"1.0\"?>\n<script>\n" + body + "\n</script>";
        std::string scrambled;
        size_t start = 0;
        while (start <= xml.size()) {
            size_t end = xml.find('\n', start);
            if (end == std::string::npos)
                end = xml.size();
            std::string line = xml.substr(start, end - start);
            std::optional<std::string> s = scrambleLine(line);
            while (!s) {
                line += ' ';
                s = scrambleLine(line);
            }
            scrambled += *s + "\r\n";
            start = end + 1;
        }
        world.putNew("Program Files/Kestro/WKXFiles/Kestro.wkx", scrambled);
    }

    TransferWorld world;
    testsupport::ScriptedMessageService messages;
    common::Service<platform::MessageService>::Override scopedMessages{messages};
    CoreFiles& files = machineFiles();
    LogFile log{files};
    ScriptVariables variables{files, &log};
    ScriptDecryptor decryptor{files};
    XmlEngine engine{files, variables, decryptor, log};
    TransferActions actions;
};

TEST_F(TransferActionsTest, ScriptStepsCopyAndEmptyFolders)
{
    world.putOld("Data\\a.txt", "a");
    world.putOld("Data\\b.txt", "b");
    world.putNew("Temp/junk.tmp", "j");
    writeScript("<performaction><action>copy</action><name>a.txt|b.txt</name><from>Z:\\Data</from>"
                "<to>C:\\Data</to><type>file</type></performaction>\n"
                "<performaction><action>delete</action><name>*.*</name><from>C:\\Temp</from><type>all</type>"
                "</performaction>");
    engine.CurrentScript = "Kestro.xml";
    engine.Step_Script("");
    EXPECT_EQ(world.readNew("Data/a.txt"), "a");
    EXPECT_EQ(world.readNew("Data/b.txt"), "b");
    EXPECT_TRUE(fs::is_directory(world.hostNew("Temp")));
    EXPECT_TRUE(fs::is_empty(world.hostNew("Temp")));
}

TEST_F(TransferActionsTest, ApplicationFileCopyTakesTheTargetFilesFolder)
{
    world.putOld("App\\app.ini", "ini");
    ActionPrimitives& primitives = actions;
    EXPECT_TRUE(
        primitives.ModOtherApplications_Action_Copy_File("Z:\\App\\app.ini", "C:\\App\\app.ini", "False"));
    EXPECT_EQ(world.readNew("App/app.ini"), "ini");
    EXPECT_FALSE(fs::exists(world.hostNew("App/app.ini/app.ini")));
    EXPECT_TRUE(
        primitives.ModOtherApplications_Action_Copy_File("Z:\\App\\none.ini", "C:\\App\\none.ini", "False"));
    EXPECT_FALSE(fs::exists(world.hostNew("App/none.ini")));
}

TEST_F(TransferActionsTest, MissingSourcesAreLoggedSilentlyAndFailuresReported)
{
    transfertest::InProcessRegedit regedit(world.fileSystem());
    platform::ProcessLauncher* previousLauncher =
        common::Service<platform::ProcessLauncher>::replace(&regedit);
    platform::FileSystem fsys = world.fileSystem();

    // Sources that exist but cannot be handled: a read-only copy target, a source held open for
    // the move, a read-only file to rewrite, a registry file the editor rejects.
    world.putOld("Data\\doc.txt", "new");
    world.putNew("Data/doc.txt", "old");
    ASSERT_EQ(fsys.setAttributes("C:\\Data\\doc.txt", platform::attr::ReadOnly), platform::FsError::None);
    world.putNew("In/busy.txt", "busy");
    platform::FileLock lock = fsys.lockFile("C:\\In\\busy.txt");
    ASSERT_TRUE(lock.isLocked());
    world.putNew("Reg/fixed.reg", "abc");
    ASSERT_EQ(fsys.setAttributes("C:\\Reg\\fixed.reg", platform::attr::ReadOnly), platform::FsError::None);
    world.putNew("Reg/bad.reg", "no registry file\r\n");

    const auto step = [](const std::string& action, const std::string& name, const std::string& rest) {
        return "<performaction><action>" + action + "</action><name>" + name + "</name>" + rest +
            "</performaction>\n";
    };
    const std::string copy = "<from>Z:\\Data</from><to>C:\\Data</to><type>file</type>";
    const std::string move = "<from>C:\\In</from><to>C:\\Out</to><type>file</type>";
    const std::string replace = "<from>C:\\Reg</from><search>a</search><replace>b</replace>";
    writeScript(step("copy", "missing.txt", copy) + step("copy", "doc.txt", copy) +
        step("copy", "NoFolder", "<from>Z:</from><to>C:</to><type>folder</type>") +
        step("move", "gone.txt", move) + step("move", "busy.txt", move) +
        step("replace", "none.reg", replace) + step("replace", "fixed.reg", replace) +
        step("update_registry", "none.reg", "<from>C:\\Reg</from>") +
        step("update_registry", "bad.reg", "<from>C:\\Reg</from>"));
    for (int i = 0; i < 4; ++i)
        messages.answer(platform::MsgResult::Ok);
    engine.CurrentScript = "Kestro.xml";
    engine.Step_Script("");
    lock.release();
    common::Service<platform::ProcessLauncher>::replace(previousLauncher);

    std::vector<std::string> shown;
    for (const platform::MessageRequest& m : messages.shown())
        shown.push_back(m.text);
    EXPECT_EQ(shown,
        (std::vector<std::string>{
            "Z:\\Data\\doc.txt file not copied, the file/Folder may be corrupted or currently being used!",
            "c:\\in\\busy.txt file not moved, the file/Folder may be corrupted or currently being used!",
            "c:\\reg\\fixed.reg file not deleted, this file/Folder may currently being used!",
            "c:\\reg\\bad.reg file not able to update"}));
    EXPECT_TRUE(world.logged("Action_Copy_File", "Not found : C:\\Data\\missing.txt"));
    EXPECT_TRUE(world.logged("Action_Copy_Folder", "Not found : C:\\NoFolder"));
    EXPECT_TRUE(world.logged("Action_Move_File", "Not found : c:\\in\\gone.txt"));
    EXPECT_TRUE(world.logged("Action_Replace", "Not found : c:\\reg\\none.reg"));
    EXPECT_TRUE(world.logged("Action_Update_Registry", "Not found : c:\\reg\\none.reg"));
}
