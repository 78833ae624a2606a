// MessageService.cpp: the QMessageBox default of the message service.
#include "foldersize/ui/services/MessageService.h"

#include <QInputDialog>
#include <QListView>
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

std::optional<int> QtMessageService::choose(
    QWidget* parent, const QString& title, const QString& text, const QStringList& items)
{
    QInputDialog dialog(parent);
    dialog.setWindowTitle(title);
    dialog.setLabelText(text);
    dialog.setOption(QInputDialog::UseListViewForComboBoxItems);
    dialog.setComboBoxItems(items);
    dialog.setComboBoxEditable(false);
    if (!items.isEmpty())
        dialog.setTextValue(items.first());
    // A double-click on an item chooses it.
    if (auto* list = dialog.findChild<QListView*>())
        QObject::connect(list, &QListView::doubleClicked, &dialog, &QDialog::accept);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    const qsizetype row = items.indexOf(dialog.textValue());
    return row < 0 ? std::nullopt : std::optional<int>(static_cast<int>(row));
}

} // namespace foldersize

template <> foldersize::MessageService& common::Service<foldersize::MessageService>::fallback()
{
    static foldersize::QtMessageService qtService;
    return qtService;
}
