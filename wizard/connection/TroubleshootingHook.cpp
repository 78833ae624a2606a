// TroubleshootingHook.cpp: the installed troubleshooting-dialog presenter.
#include "wizard/connection/TroubleshootingHook.h"

namespace wizard {

namespace {

TroubleshootingPresenter& installed()
{
    static TroubleshootingPresenter presenter;
    return presenter;
}

} // namespace

TroubleshootingPresenter setTroubleshootingPresenter(TroubleshootingPresenter presenter)
{
    TroubleshootingPresenter previous = std::move(installed());
    installed() = std::move(presenter);
    return previous;
}

void showTroubleshooting(const std::string& form)
{
    // A copy: the dialog may end the program, which may change the presenter.
    TroubleshootingPresenter presenter = installed();
    if (presenter)
        presenter(form);
}

} // namespace wizard
