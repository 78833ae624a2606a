// NetworkComputerBrowser.cpp: the computer-browser dialog and its use on the running machine.
#include "wizard/ui/connection/NetworkComputerBrowser.h"

#include "platform/RunningMachine.h"
#include "platform/qt/ActivationReturn.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include <optional>

namespace wizard {

NetworkComputerDialog::NetworkComputerDialog(const std::vector<std::string>& computers, QWidget* owner)
    : QDialog(owner)
{
    setWindowTitle("Browse for Computer");
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel("Select a network computer or share.", this));
    m_list = new QListWidget(this);
    m_list->setObjectName("Computers");
    for (const std::string& name : computers)
        m_list->addItem(QString::fromStdString(name));
    layout->addWidget(m_list);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    m_ok = buttons->button(QDialogButtonBox::Ok);
    m_ok->setObjectName("cmdOK");
    m_ok->setEnabled(false);
    layout->addWidget(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(m_list, &QListWidget::itemSelectionChanged, this,
        [this] { m_ok->setEnabled(!m_list->selectedItems().isEmpty()); });
    connect(m_list, &QListWidget::itemDoubleClicked, this, &QDialog::accept);
}

std::string NetworkComputerDialog::chosen() const
{
    const QList<QListWidgetItem*> selected = m_list->selectedItems();
    return selected.isEmpty() ? std::string() : selected.front()->text().toStdString();
}

std::string Browse_Network_Computer(QWidget* owner)
{
    platform::RunningMachine* machine = platform::RunningMachine::current();
    if (!machine)
        return {};
    const platform::qt::ActivationReturn activation(owner);
    NetworkComputerDialog dialog(machine->network().browseComputers(), owner);
    return dialog.exec() == QDialog::Accepted ? dialog.chosen() : std::string();
}

} // namespace wizard
