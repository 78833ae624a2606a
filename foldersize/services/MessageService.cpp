// MessageService.cpp: the QMessageBox default of the message service.
#include "foldersize/services/MessageService.h"

#include <QMessageBox>

namespace foldersize {

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

} // namespace foldersize

template <> foldersize::MessageService& common::Service<foldersize::MessageService>::fallback()
{
    static foldersize::QtMessageService qtService;
    return qtService;
}
