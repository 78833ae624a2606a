// NetworkComputerBrowser.h: the network computer browser behind the connection page's Browse: a
// dialog listing the computers that the running machine sees on its network.
#pragma once

#include <QDialog>

#include <string>
#include <vector>

class QListWidget;
class QPushButton;

namespace wizard {

// Lists computer names; OK (or a double click) takes the selected one.
class NetworkComputerDialog : public QDialog {
public:
    NetworkComputerDialog(const std::vector<std::string>& computers, QWidget* owner);
    // The selected computer's name; "" when none is selected.
    std::string chosen() const;

private:
    QListWidget* m_list = nullptr;
    QPushButton* m_ok = nullptr;
};

// The computers of the running machine's network browser in the dialog above, owned by `owner`.
// The chosen computer's name; "" when the user cancels or the running machine's network cannot
// be opened.
std::string Browse_Network_Computer(QWidget* owner);

} // namespace wizard
