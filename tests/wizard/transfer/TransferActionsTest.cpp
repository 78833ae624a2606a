// TransferActionsTest.cpp: script steps run by the wizard's engine reach the transfer primitives.
#include "wizard/transfer/TransferActions.h"

#include "platform/MessageBox.h"
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
    EXPECT_FALSE(
        primitives.ModOtherApplications_Action_Copy_File("Z:\\App\\none.ini", "C:\\App\\none.ini", "False"));
}
