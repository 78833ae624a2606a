// EngineReset.h: puts the process-wide script engine back to its state before any run, so that
// tests starting the whole program do not see the engine position of an earlier test.
#pragma once

#include "wizard/core/WizardCore.h"

namespace wizard::test {

inline void resetEngineState()
{
    XmlEngine& e = core().engine;
    e.CurrentScript.clear();
    e.ScriptStack.clear();
    e.ActionIndex = 0;
    e.HistoryStep = 0;
    e.HistoryIndexes.clear();
    e.HistoryScripts.clear();
    e.StopFlag = false;
    e.PanelShown = false;
}

} // namespace wizard::test
