// FrmProgressBar.h: the busy window: top-most, an endlessly cycling bar, an animation and two labels
// with the work in progress.
#pragma once

#include <QDialog>

#include <string>

class QLabel;
class QMovie;
class QProgressBar;
class QPushButton;
class QTimer;

namespace wizard {

class KestroMain;

class FrmProgressBar : public QDialog {
    Q_OBJECT
public:
    // Size the window keeps at every resize (9840 x 1755 twips).
    static constexpr int kWidth = 656;
    static constexpr int kHeight = 117;

    // `autoTimer` false leaves Timer1 stopped so that a test can drive Timer1_Timer itself.
    explicit FrmProgressBar(KestroMain& main, bool autoTimer = true);

    // Places the window in the top-most band (true) or the normal band; answers 1 for the top-most
    // band and 0 otherwise.
    int SetTopMostWindow(bool topmost);

    // One tick of Timer1 (700 ms): advances the bar.
    void Timer1_Timer();

    // The two labels, and the Cancel button while the work under way offers it.
    void showTexts(const std::string& caption, const std::string& details);

protected:
    void resizeEvent(QResizeEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void Form_Load();

    KestroMain& m_main;
    QLabel* m_caption;
    QLabel* m_details;
    QProgressBar* m_bar;
    QLabel* m_animation;
    QPushButton* m_cancel;
    QMovie* m_movie = nullptr;
    QTimer* m_timer;
};

} // namespace wizard
