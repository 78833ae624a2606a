// QtMessageService.cpp: maps message box requests onto QMessageBox.
#include "platform/qt/QtMessageService.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>

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

} // namespace

MsgResult QtMessageService::show(const MessageRequest& request)
{
    QMessageBox box(iconOf(request.icon), QString::fromStdString(request.title),
        QString::fromStdString(request.text), QMessageBox::NoButton, QApplication::activeWindow());
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
