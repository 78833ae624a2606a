// FrmSplash.h: the splash window that start-up shows modally until its timer or a key closes it.
#pragma once

#include "wizard/ui/core/BusyBar.h"

#include <QDialog>

class QTimer;

namespace wizard {

class FrmSplash : public QDialog {
    Q_OBJECT
public:
    // `autoTimer` false leaves Timer1 stopped so that a test can drive Timer1_Timer itself.
    explicit FrmSplash(QWidget* parent = nullptr, bool autoTimer = true);

    // One tick of Timer1: closes the window on the 100th tick.
    void Timer1_Timer();
    int tickCount() const { return m_counter.count(); }

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void done(int result) override;

private:
    QTimer* m_timer;
    SplashCounter m_counter;
};

} // namespace wizard
