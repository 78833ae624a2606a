// ErrorDialog.h: the error report dialog "Fehler...": the report text, printing, mail hand-off,
// continue (log and clipboard) and end (log, clipboard, end at once).
#pragma once

#include <functional>

#include <QDialog>
#include <QStringList>

class QLabel;
class QPlainTextEdit;
class QPrinter;
class QPushButton;

namespace foldersize {

class ErrorDialog : public QDialog {
    Q_OBJECT
public:
    explicit ErrorDialog(const QString& reportText, QWidget* parent = nullptr);

    // How "Beenden" ends the program (default: at once, without closing handlers).
    static void setEndProgram(std::function<void()> end);

    // How "Drucken" chooses the printer: true when the user chose one (a printer or a PDF file)
    // and printer is set up for it. Default: the printer dialog, which offers a PDF file also
    // when no printer is installed.
    using PrinterChooser = std::function<bool(QWidget* parent, QPrinter& printer)>;
    static void setPrinterChooser(PrinterChooser choose);

    // The presenter for FehlerAnzeigen: shows the dialog modally.
    static void showReport(const QString& reportText);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void cmdDrucken_Click();
    void cmdEmail_Click();
    void cmdWeiter_Click();
    void cmdBeenden_Click();
    void InZwischenablage();
    void ErrorLogAnhaengen();
    // The hint line keeps the height of its tallest hint, so the buttons above it stay put.
    void keepHintHeight();

    QLabel* m_lblEinleitung;
    QPlainTextEdit* m_txtInfo;
    QPushButton* m_cmdEmail;
    QPushButton* m_cmdDrucken;
    QPushButton* m_cmdWeiter;
    QPushButton* m_cmdBeenden;
    QLabel* m_hint;
    QStringList m_Hinweise;
};

} // namespace foldersize
