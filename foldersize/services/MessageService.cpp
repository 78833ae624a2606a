// MessageService.cpp: QMessageBox default of the message service and the replaceable instance.
#include "foldersize/services/MessageService.h"

#include <QMessageBox>

namespace foldersize {

namespace {
MessageService* g_replacement = nullptr;
}

void QtMessageService::information(QWidget* parent, const QString& title, const QString& text)
{
    QMessageBox::information(parent, title, text);
}

void QtMessageService::warning(QWidget* parent, const QString& title, const QString& text)
{
    QMessageBox::warning(parent, title, text);
}

bool QtMessageService::okCancel(QWidget* parent, const QString& title, const QString& text)
{
    QMessageBox box(QMessageBox::Information, title, text, QMessageBox::Ok | QMessageBox::Cancel, parent);
    return box.exec() == QMessageBox::Ok;
}

MessageService& messageService()
{
    static QtMessageService qtService;
    return g_replacement ? *g_replacement : qtService;
}

void setMessageService(MessageService* service) { g_replacement = service; }

} // namespace foldersize
