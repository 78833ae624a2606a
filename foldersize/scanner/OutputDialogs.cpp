// OutputDialogs.cpp: Qt save and printer dialogs and the replaceable instance.
#include "foldersize/scanner/OutputDialogs.h"

#include <QFileDialog>
#include <QPrintDialog>
#include <QPrinter>

namespace foldersize {

namespace {
OutputDialogs* g_replacement = nullptr;
}

QString QtOutputDialogs::saveFileName(QWidget* parent, const QString& filter, const QString& fileName)
{
    return QFileDialog::getSaveFileName(
        parent, QString(), fileName, filter, nullptr, QFileDialog::DontConfirmOverwrite);
}

bool QtOutputDialogs::choosePrinter(QWidget* parent, QPrinter& printer)
{
    QPrintDialog dialog(&printer, parent);
    // Printing a range of pages makes no sense for a one-pass tree listing.
    dialog.setOption(QAbstractPrintDialog::PrintPageRange, false);
    return dialog.exec() == QDialog::Accepted;
}

OutputDialogs& outputDialogs()
{
    static QtOutputDialogs qtDialogs;
    return g_replacement ? *g_replacement : qtDialogs;
}

void setOutputDialogs(OutputDialogs* dialogs) { g_replacement = dialogs; }

} // namespace foldersize
