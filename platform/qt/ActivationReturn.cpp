// ActivationReturn.cpp: the owner of a modal window, made active again when the window closes.
#include "platform/qt/ActivationReturn.h"

#include <QApplication>
#include <QMainWindow>

namespace platform::qt {

QWidget* modalOwnerWindow()
{
    if (QWidget* modal = QApplication::activeModalWidget())
        return modal;
    if (QWidget* active = QApplication::activeWindow())
        return active;
    for (QWidget* top : QApplication::topLevelWidgets())
        if (top->isVisible() && qobject_cast<QMainWindow*>(top))
            return top;
    return nullptr;
}

ActivationReturn::ActivationReturn(QWidget* owner)
    : m_owner(owner ? owner->window() : modalOwnerWindow())
{}

ActivationReturn::~ActivationReturn()
{
    if (m_owner && m_owner->isVisible())
        m_owner->activateWindow();
}

} // namespace platform::qt
