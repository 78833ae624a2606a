// WizardPage.cpp: the base of the wizard's pages.
#include "wizard/ui/core/WizardPage.h"

namespace wizard {

WizardPage::WizardPage(KestroMain* main, const QString& formName, QWidget* parent)
    : QWidget(parent)
    , m_main(main)
{
    setObjectName(formName);
}

} // namespace wizard
