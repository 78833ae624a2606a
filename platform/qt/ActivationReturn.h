// ActivationReturn.h: gives the activation back to the window a modal box or dialog was opened over.
#pragma once

#include <QPointer>
#include <QWidget>

namespace platform::qt {

// The window a modal box or dialog opened now belongs to: the modal window in front, else the
// active window, else (no window of the program has the focus) its visible main window.
QWidget* modalOwnerWindow();

// Made just before a modal box or dialog opens and ended once it has closed: makes the window it
// belonged to active again, as the platform's own windows do. Where no window manager hands the
// activation back (a bare X server), the window would otherwise take no keys and show no tooltips
// until it is clicked.
class ActivationReturn {
public:
    // `owner` null: the window of modalOwnerWindow().
    explicit ActivationReturn(QWidget* owner = nullptr);
    ~ActivationReturn();
    ActivationReturn(const ActivationReturn&) = delete;
    ActivationReturn& operator=(const ActivationReturn&) = delete;

    QWidget* owner() const { return m_owner.data(); }

private:
    QPointer<QWidget> m_owner;
};

} // namespace platform::qt
