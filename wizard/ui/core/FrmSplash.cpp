// FrmSplash.cpp: the splash window: picture, version label and the closing timer.
#include "wizard/ui/core/FrmSplash.h"

#include <QKeyEvent>
#include <QLabel>
#include <QTimer>
#include <QVBoxLayout>

namespace wizard {

FrmSplash::FrmSplash(QWidget* parent, bool autoTimer)
    : QDialog(parent, Qt::SplashScreen | Qt::FramelessWindowHint)
{
    setObjectName("frmSplash");
    setWindowTitle(QString());
    setFixedSize(420, 260);
    setStyleSheet("QDialog#frmSplash { background: qlineargradient(x1:0, y1:0, x2:1, y2:1, stop:0 #1f4e8c, "
                  "stop:1 #3a87c8); }"
                  "QLabel { color: white; }");
    auto* v = new QVBoxLayout(this);
    auto* title = new QLabel("Kestro", this);
    title->setObjectName("lblProduct");
    QFont f = title->font();
    f.setPointSize(f.pointSize() * 3);
    f.setBold(true);
    title->setFont(f);
    title->setAlignment(Qt::AlignCenter);
    auto* version = new QLabel("Version 3.0", this);
    version->setObjectName("lblVersion");
    version->setAlignment(Qt::AlignRight | Qt::AlignBottom);
    v->addStretch(1);
    v->addWidget(title);
    v->addStretch(1);
    v->addWidget(version);

    m_timer = new QTimer(this);
    m_timer->setObjectName("Timer1");
    // One tick per timer period of the platform the window was designed on (about 15.6 ms), so the
    // splash stays about a second and a half.
    m_timer->setInterval(16);
    connect(m_timer, &QTimer::timeout, this, &FrmSplash::Timer1_Timer);
    if (autoTimer)
        m_timer->start();
}

void FrmSplash::Timer1_Timer()
{
    if (m_counter.tick())
        accept();
}

void FrmSplash::keyPressEvent(QKeyEvent*) { accept(); }

void FrmSplash::done(int result)
{
    m_timer->stop();
    QDialog::done(result);
}

} // namespace wizard
