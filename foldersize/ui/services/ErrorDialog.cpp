// ErrorDialog.cpp: layout and buttons of the error report dialog.
#include "foldersize/ui/services/ErrorDialog.h"

#include <algorithm>

#include <QApplication>
#include <QClipboard>
#include <QEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QScreen>
#include <QStyle>
#include <QUrl>
#include <QVBoxLayout>

#include <unistd.h>

#include "foldersize/services/ErrorReport.h"
#include "foldersize/services/OpenService.h"
#include "foldersize/services/ProgramGlobals.h"
#include "foldersize/ui/services/MessageService.h"

namespace foldersize {
namespace {

std::function<void()>& endProgram()
{
    static std::function<void()> end = [] { ::_exit(1); };
    return end;
}

bool choosePrinterByDialog(QWidget* parent, QPrinter& printer)
{
    QPrintDialog dialog(&printer, parent);
    dialog.setOption(QAbstractPrintDialog::PrintPageRange, false);
    return dialog.exec() == QDialog::Accepted;
}

ErrorDialog::PrinterChooser& printerChooser()
{
    static ErrorDialog::PrinterChooser choose = &choosePrinterByDialog;
    return choose;
}

} // namespace

void ErrorDialog::setPrinterChooser(PrinterChooser choose)
{
    printerChooser() = choose ? std::move(choose) : PrinterChooser(&choosePrinterByDialog);
}

void ErrorDialog::setEndProgram(std::function<void()> end)
{
    endProgram() = end ? std::move(end) : [] { ::_exit(1); };
}

ErrorDialog::ErrorDialog(const QString& reportText, QWidget* parent)
    : QDialog(parent)
{
    setWindowTitle(MeldungFormatieren(0, QStringLiteral("Fehler...")));
    setWindowFlag(Qt::WindowStaysOnTopHint);
    setModal(true);
    auto* icon = new QLabel(this);
    icon->setObjectName(QStringLiteral("imgExclaim"));
    icon->setPixmap(style()->standardIcon(QStyle::SP_MessageBoxWarning).pixmap(32, 32));
    m_lblEinleitung = new QLabel(
        MeldungFormatieren(0,
            QStringLiteral("Ein unerwarteter Fehler ist aufgetreten und wurde abgefangen. Damit der Fehler "
                           "schnellstmöglich behoben wird, senden Sie bitte die Informationen aus dem "
                           "Textfenster an die Emailadresse %1."),
            {QVariant(globals().bugReportAddress)}),
        this);
    m_lblEinleitung->setObjectName(QStringLiteral("lblEinleitung"));
    m_lblEinleitung->setWordWrap(true);
    auto* label = new QLabel(QStringLiteral("Fehlerinformationen:"), this);
    m_txtInfo = new QPlainTextEdit(reportText, this);
    m_txtInfo->setReadOnly(true);
    m_txtInfo->setObjectName(QStringLiteral("txtInfo"));
    m_cmdEmail = new QPushButton(QStringLiteral("&Email"), this);
    m_cmdEmail->setObjectName(QStringLiteral("cmdEmail"));
    m_cmdDrucken = new QPushButton(QStringLiteral("&Drucken"), this);
    m_cmdDrucken->setObjectName(QStringLiteral("cmdDrucken"));
    m_cmdWeiter = new QPushButton(QStringLiteral("&Weiter"), this);
    m_cmdWeiter->setObjectName(QStringLiteral("cmdWeiter"));
    m_cmdBeenden = new QPushButton(QStringLiteral("&Beenden"), this);
    m_cmdBeenden->setObjectName(QStringLiteral("cmdBeenden"));
    m_hint = new QLabel(this);
    m_hint->setObjectName(QStringLiteral("hint"));
    m_hint->setWordWrap(true);
    m_Hinweise = {
        QStringLiteral("Hiermit können Sie die Fehlerinformationen ausdrucken."),
        QStringLiteral("Hiermit wird Ihr Email-Standardprogramm aufgerufen und eine neue Email mit den "
                       "Fehlerinformationen geöffnet."),
        QStringLiteral(
            "Das Fortsetzen des Programms ist in den meisten Fällen nicht zu empfehlen, da hierdurch "
            "weitere Folgefehler auftreten können."),
        QStringLiteral("Hiermit wird das Programm beendet. Hinweis: Es können weitere Fehlermeldungen "
                       "auftreten."),
    };

    auto* top = new QHBoxLayout;
    top->addWidget(icon, 0, Qt::AlignTop);
    top->addWidget(m_lblEinleitung, 1);
    auto* buttons = new QHBoxLayout;
    for (QPushButton* b : {m_cmdEmail, m_cmdDrucken, m_cmdWeiter, m_cmdBeenden}) {
        buttons->addWidget(b);
        b->installEventFilter(this);
    }
    m_hint->installEventFilter(this);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(label);
    layout->addWidget(m_txtInfo, 1);
    layout->addLayout(buttons);
    layout->addWidget(m_hint);
    resize(560, 420);
    if (const QScreen* s = QGuiApplication::primaryScreen()) {
        const QRect g = s->availableGeometry();
        move(g.x() + (g.width() - width()) / 2, g.y() + (g.height() - height()) / 2);
    }

    connect(m_cmdDrucken, &QPushButton::clicked, this, [this] { cmdDrucken_Click(); });
    connect(m_cmdEmail, &QPushButton::clicked, this, [this] { cmdEmail_Click(); });
    connect(m_cmdWeiter, &QPushButton::clicked, this, [this] { cmdWeiter_Click(); });
    connect(m_cmdBeenden, &QPushButton::clicked, this, [this] { cmdBeenden_Click(); });
}

bool ErrorDialog::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_hint && event->type() == QEvent::Resize)
        keepHintHeight();
    if (event->type() == QEvent::Enter || event->type() == QEvent::HoverMove) {
        if (watched == m_cmdDrucken)
            m_hint->setText(m_Hinweise[0]);
        else if (watched == m_cmdEmail)
            m_hint->setText(m_Hinweise[1]);
        else if (watched == m_cmdWeiter)
            m_hint->setText(m_Hinweise[2]);
        else if (watched == m_cmdBeenden)
            m_hint->setText(m_Hinweise[3]);
    }
    return QDialog::eventFilter(watched, event);
}

void ErrorDialog::keepHintHeight()
{
    QLabel probe;
    probe.setFont(m_hint->font());
    probe.setWordWrap(true);
    int tallest = 0;
    for (const QString& hint : m_Hinweise) {
        probe.setText(hint);
        tallest = std::max(tallest, probe.heightForWidth(m_hint->width()));
    }
    if (tallest > 0 && tallest != m_hint->minimumHeight())
        m_hint->setFixedHeight(tallest);
}

void ErrorDialog::cmdDrucken_Click()
{
    // Without a printer the dialog still offers a PDF file; Cancel prints nothing.
    QPrinter printer;
    if (!printerChooser()(this, printer))
        return;
    QPainter p;
    if (!p.begin(&printer)) {
        messageService().warning(
            this, windowTitle(), QStringLiteral("Die Fehlerinformationen konnten nicht gedruckt werden."));
        return;
    }
    p.drawText(printer.pageLayout().paintRectPixels(printer.resolution()), Qt::TextWordWrap,
        m_txtInfo->toPlainText());
    p.end();
}

void ErrorDialog::cmdEmail_Click()
{
    InZwischenablage();
    const ProgramGlobals& g = globals();
    openService().openUrl(
        QUrl(reportMailUrl(g.bugReportAddress, g.progName, g.progVersion, m_txtInfo->toPlainText()),
            QUrl::TolerantMode));
}

void ErrorDialog::cmdWeiter_Click()
{
    ErrorLogAnhaengen();
    InZwischenablage();
    accept();
}

void ErrorDialog::cmdBeenden_Click()
{
    ErrorLogAnhaengen();
    InZwischenablage();
    endProgram()();
}

void ErrorDialog::InZwischenablage()
{
    if (QClipboard* c = QGuiApplication::clipboard()) {
        c->clear();
        c->setText(m_txtInfo->toPlainText());
    }
}

void ErrorDialog::ErrorLogAnhaengen() { appendReportToErrorLog(m_txtInfo->toPlainText()); }

void ErrorDialog::showReport(const QString& reportText)
{
    ErrorDialog dlg(reportText, QApplication::activeWindow());
    dlg.exec();
}

} // namespace foldersize
