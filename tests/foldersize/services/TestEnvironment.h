// TestEnvironment.h: points HOME and the XDG folders of a test run at a temporary folder, so that
// no test touches the real home folder.
#pragma once

#include <QString>

// The temporary home of this test run (created on first use).
QString testHome();
