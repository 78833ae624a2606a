// ItemRulesWorld.h: the world of the item-operation tests: the transfer tests' network (NEWPC
// running, Windows XP; OLDPC, Windows 98, whose C$ is mapped to Z:) with the registry editor run in
// process, and helpers to fill the mirror under SOFTWARE\QZ as the hand-over leaves it.
#pragma once

#include "platform/ProcessRunner.h"
#include "tests/wizard/transfer/TransferWorld.h"

#include <gtest/gtest.h>

#include <string>

namespace itemtest {

class ItemRulesWorld : public ::testing::Test {
protected:
    ItemRulesWorld()
        : regedit(world.fileSystem())
    {
        m_previous = common::Service<platform::ProcessLauncher>::replace(&regedit);
        world.variables["$st_destination_win_dir"] = "C:\\WINDOWS";
    }
    ~ItemRulesWorld() override { common::Service<platform::ProcessLauncher>::replace(m_previous); }

    // Sets a string value of a key below HKEY_LOCAL_MACHINE of the destination, creating the key.
    void setLocal(const std::string& key, const std::string& name, const std::string& value)
    {
        platform::RegKey k;
        ASSERT_EQ(world.registry().createKey(platform::RegKey(platform::RegRoot::LocalMachine), key, k),
            platform::WinError::Success);
        ASSERT_EQ(world.registry().setString(k, name, value), platform::WinError::Success);
    }
    // The same inside the mirror: "SOFTWARE\QZ\" & hive & "\" & key.
    void setMirror(const std::string& hiveAndKey, const std::string& name, const std::string& value)
    {
        setLocal("SOFTWARE\\QZ\\" + hiveAndKey, name, value);
    }
    // A string value of the destination; nullopt when the key or value is missing.
    std::optional<std::string> valueOf(
        platform::RegRoot root, const std::string& key, const std::string& name)
    {
        platform::RegKey k;
        if (world.registry().openKey(platform::RegKey(root), key, k) != platform::WinError::Success)
            return std::nullopt;
        std::string out;
        if (world.registry().queryString(k, name, out) != platform::WinError::Success)
            return std::nullopt;
        return out;
    }
    bool keyExists(platform::RegRoot root, const std::string& key)
    {
        platform::RegKey k;
        return world.registry().openKey(platform::RegKey(root), key, k) == platform::WinError::Success;
    }

    transfertest::TransferWorld world;
    transfertest::InProcessRegedit regedit;

private:
    platform::ProcessLauncher* m_previous = nullptr;
};

} // namespace itemtest
