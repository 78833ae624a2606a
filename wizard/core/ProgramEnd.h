// ProgramEnd.h: how any code of the wizard ends the program without tearing windows down under
// its callers: it asks for the end, every caller unwinds, and the event loop then returns.
#pragma once

#include <algorithm>
#include <functional>
#include <utility>
#include <vector>

namespace wizard {

// Receives the request to end (the window layer quits its event loops, nested ones included).
class ProgramEndHandler {
public:
    virtual ~ProgramEndHandler() = default;
    virtual void endProgram(int exitCode) = 0;
};

namespace detail {
struct ProgramEndState {
    bool requested = false;
    int exitCode = 0;
    ProgramEndHandler* handler = nullptr;
    // Work the window's thread waits for while its events flow; each entry stops it and waits.
    std::vector<const std::function<void()>*> besideWindow;
};
inline ProgramEndState& programEndState()
{
    static ProgramEndState state;
    return state;
}
} // namespace detail

// Asks for the program's end. The first request counts; the handler (if one is installed) is told
// once. Code that runs a loop over steps, pages or items checks programEndRequested() and returns
// at once instead of going on; nothing is destroyed before control is back in main().
inline void requestProgramEnd(int exitCode = 0)
{
    auto& s = detail::programEndState();
    if (s.requested)
        return;
    s.requested = true;
    s.exitCode = exitCode;
    if (s.handler)
        s.handler->endProgram(exitCode);
}

inline bool programEndRequested() { return detail::programEndState().requested; }
inline int programExitCode() { return detail::programEndState().exitCode; }

// Installs the handler (not owned; nullptr removes it). Returns the previous one.
inline ProgramEndHandler* setProgramEndHandler(ProgramEndHandler* handler)
{
    ProgramEndHandler* previous = detail::programEndState().handler;
    detail::programEndState().handler = handler;
    return previous;
}

// Forgets an earlier request; for tests that run several program lifetimes in one process.
inline void resetProgramEnd()
{
    detail::programEndState().requested = false;
    detail::programEndState().exitCode = 0;
}

// Work that runs beside the window while the window's events flow registers how to stop it and
// wait for its end, for as long as it runs. The exit routine can run from those events: it settles
// that work first, so nothing writes into the folders it removes after they are gone.
class WorkBesideWindow {
public:
    explicit WorkBesideWindow(std::function<void()> stopAndWait)
        : m_stopAndWait(std::move(stopAndWait))
    {
        detail::programEndState().besideWindow.push_back(&m_stopAndWait);
    }
    ~WorkBesideWindow()
    {
        auto& all = detail::programEndState().besideWindow;
        all.erase(std::remove(all.begin(), all.end(), &m_stopAndWait), all.end());
    }
    WorkBesideWindow(const WorkBesideWindow&) = delete;
    WorkBesideWindow& operator=(const WorkBesideWindow&) = delete;

private:
    std::function<void()> m_stopAndWait;
};

// Stops every piece of work running beside the window and returns once all of it has ended.
inline void settleWorkBesideWindow()
{
    for (const std::function<void()>* stopAndWait : detail::programEndState().besideWindow)
        (*stopAndWait)();
}

} // namespace wizard
