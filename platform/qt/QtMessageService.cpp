// QtMessageService.cpp: maps message box requests onto QMessageBox.
#include "platform/qt/QtMessageService.h"

#include "platform/qt/ActivationReturn.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QShowEvent>

#include <algorithm>

namespace platform::qt {
namespace {

QMessageBox::Icon iconOf(MsgIcon icon)
{
    switch (icon) {
    case MsgIcon::Information: return QMessageBox::Information;
    case MsgIcon::Exclamation: return QMessageBox::Warning;
    case MsgIcon::Critical: return QMessageBox::Critical;
    case MsgIcon::Question: return QMessageBox::Question;
    case MsgIcon::None: break;
    }
    return QMessageBox::NoIcon;
}

QMessageBox::StandardButton standardOf(MsgResult button)
{
    switch (button) {
    case MsgResult::Ok: return QMessageBox::Ok;
    case MsgResult::Cancel: return QMessageBox::Cancel;
    case MsgResult::Yes: return QMessageBox::Yes;
    case MsgResult::No: return QMessageBox::No;
    }
    return QMessageBox::Ok;
}

// A box that opens centred on its owner's window, frame on frame, and kept on the owner's screen.
class CentredMessageBox : public QMessageBox {
public:
    using QMessageBox::QMessageBox;

protected:
    void showEvent(QShowEvent* event) override
    {
        QMessageBox::showEvent(event); // sizes the box to its text and buttons
        QWidget* owner = parentWidget() ? parentWidget()->window() : nullptr;
        if (!owner || event->spontaneous())
            return;
        const QSize frame = frameGeometry().size().expandedTo(size());
        QPoint topLeft = owner->frameGeometry().center() - QPoint(frame.width() / 2, frame.height() / 2);
        if (const QScreen* screen = owner->screen()) {
            const QRect room = screen->availableGeometry();
            topLeft.setX(std::clamp(
                topLeft.x(), room.left(), std::max(room.left(), room.right() - frame.width() + 1)));
            topLeft.setY(std::clamp(
                topLeft.y(), room.top(), std::max(room.top(), room.bottom() - frame.height() + 1)));
        }
        move(topLeft);
    }
};

} // namespace

MsgResult QtMessageService::show(const MessageRequest& request)
{
    // The window the box belongs to is active again once it closes, as after the platform's boxes.
    const ActivationReturn activation;
    CentredMessageBox box(iconOf(request.icon), QString::fromStdString(request.title),
        QString::fromStdString(request.text), QMessageBox::NoButton, activation.owner());
    box.setWindowModality(Qt::ApplicationModal);
    const auto buttons = buttonsOf(request.buttons);
    for (MsgResult button : buttons)
        box.addButton(standardOf(button));
    box.setDefaultButton(standardOf(buttons.front()));
    // Closing the box (Esc, the title bar) answers Cancel where the box has it, else the last
    // button ("No" or the only "OK"), as the platform's boxes do.
    const MsgResult escape = request.buttons == MsgButtons::YesNo
        ? MsgResult::No
        : (request.buttons == MsgButtons::Ok ? MsgResult::Ok : MsgResult::Cancel);
    box.setEscapeButton(standardOf(escape));
    box.exec();
    QAbstractButton* clicked = box.clickedButton();
    for (MsgResult button : buttons) {
        if (clicked && clicked == box.button(standardOf(button)))
            return button;
    }
    return escape;
}

} // namespace platform::qt
