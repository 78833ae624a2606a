// ProgramEnd.h: how any code of the wizard ends the program without tearing windows down under
// its callers: it asks for the end, every caller unwinds, and the event loop then returns.
#pragma once

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

} // namespace wizard
