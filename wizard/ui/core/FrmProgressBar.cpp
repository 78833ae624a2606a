// FrmProgressBar.cpp: the busy window's load, bar tick, fixed size and top-most placement.
#include "wizard/ui/core/FrmProgressBar.h"

#include "wizard/core/AppPath.h"
#include "wizard/core/CoreFiles.h"
#include "wizard/core/WizardWindows.h"
#include "wizard/ui/core/BusyBar.h"
#include "wizard/ui/core/KestroMain.h"

#include <QBuffer>
#include <QCloseEvent>
#include <QGridLayout>
#include <QLabel>
#include <QMovie>
#include <QProgressBar>
#include <QPushButton>
#include <QResizeEvent>
#include <QTimer>

namespace wizard {

FrmProgressBar::FrmProgressBar(KestroMain& main, bool autoTimer)
    : QDialog(&main, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint)
    , m_main(main)
{
    setObjectName("frm_progress_bar");
    setWindowTitle("Kestro Processing...");
    setModal(false);
    auto* grid = new QGridLayout(this);
    m_animation = new QLabel(this);
    m_animation->setObjectName("TMaxAni1");
    m_animation->setFixedSize(48, 48);
    m_caption = new QLabel("Please Wait Analyzing ...", this);
    m_caption->setObjectName("lbl_caption");
    m_caption->setFont(QFont("Verdana"));
    m_details = new QLabel(this);
    m_details->setObjectName("lbl_copy_details");
    m_bar = new QProgressBar(this);
    m_bar->setObjectName("ProgressBar1");
    m_bar->setTextVisible(false);
    grid->addWidget(m_animation, 0, 0, 3, 1);
    grid->addWidget(m_caption, 0, 1);
    grid->addWidget(m_details, 1, 1);
    grid->addWidget(m_bar, 2, 1);
    // Asks the work to stop at its next file; the work says when it has.
    m_cancel = new QPushButton("&Cancel", this);
    m_cancel->setObjectName("cmdCancel");
    m_cancel->setVisible(false);
    connect(m_cancel, &QPushButton::clicked, this, [this] {
        m_main.requestBusyCancel();
        m_cancel->setEnabled(false);
        m_cancel->setText("Cancelling...");
    });
    grid->addWidget(m_cancel, 0, 2, 3, 1);

    m_timer = new QTimer(this);
    m_timer->setObjectName("Timer1");
    m_timer->setInterval(700);
    connect(m_timer, &QTimer::timeout, this, &FrmProgressBar::Timer1_Timer);
    Form_Load();
    if (autoTimer)
        m_timer->start();
    setFixedSize(kWidth, kHeight);
}

void FrmProgressBar::Form_Load()
{
    SetTopMostWindow(true);
    m_bar->setMaximum(100);
    m_bar->setMinimum(1);
    m_bar->setValue(1);
    m_caption->setText(WizardWindows::kBusyCaptionOnOpen);
    m_details->setText(WizardWindows::kBusyDetailsOnOpen);
    // A missing animation leaves the picture empty; the window still opens.
    const std::string file = AppPath + "\\grs.gif";
    std::string bytes;
    if (machineFiles().readFile(file, bytes) && !bytes.empty()) {
        auto* buffer = new QBuffer(this);
        buffer->setData(QByteArray(bytes.data(), static_cast<qsizetype>(bytes.size())));
        buffer->open(QIODevice::ReadOnly);
        m_movie = new QMovie(buffer, QByteArray(), this);
        if (m_movie->isValid()) {
            m_animation->setMovie(m_movie);
            m_movie->start();
        }
    }
}

int FrmProgressBar::SetTopMostWindow(bool topmost)
{
    const bool wasVisible = isVisible();
    setWindowFlag(Qt::WindowStaysOnTopHint, topmost);
    // Changing a window flag hides a shown window; put it back without moving it.
    if (wasVisible)
        show();
    return topmost ? 1 : 0;
}

void FrmProgressBar::Timer1_Timer() { m_bar->setValue(nextBusyBarValue(m_bar->value())); }

void FrmProgressBar::showTexts(const std::string& caption, const std::string& details)
{
    m_caption->setText(QString::fromStdString(caption));
    m_details->setText(QString::fromStdString(details));
    if (!m_main.busyCancelOffered()) {
        m_cancel->setVisible(false);
    } else if (m_cancel->isHidden()) {
        m_cancel->setEnabled(true);
        m_cancel->setText("&Cancel");
        m_cancel->setVisible(true);
    }
}

void FrmProgressBar::resizeEvent(QResizeEvent* event)
{
    QDialog::resizeEvent(event);
    if (event->size() != QSize(kWidth, kHeight))
        resize(kWidth, kHeight);
}

void FrmProgressBar::closeEvent(QCloseEvent* event)
{
    m_main.busyWindowClosing();
    QDialog::closeEvent(event);
}

} // namespace wizard
