// WizardTestMachine.h: the platform's test machine with the wizard's application folder
// "C:\Program Files\Kestro" made, named by WINENV_MACHINE while the object lives.
#pragma once

#include "tests/platform/TestMachine.h"

#include <filesystem>

namespace testsupport {

class TestMachine {
public:
    TestMachine() { std::filesystem::create_directories(appFolder()); }

    const std::filesystem::path& folder() const { return m_machine.folder(); }
    // Host folder of the application folder "C:\Program Files\Kestro".
    std::filesystem::path appFolder() const { return m_machine.host("Program Files/Kestro"); }
    testutil::TestMachine& machine() { return m_machine; }

private:
    testutil::TestMachine m_machine;
};

} // namespace testsupport
