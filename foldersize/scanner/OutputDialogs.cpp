// OutputDialogs.cpp: the Qt save and printer dialogs, the default of the output dialogs.
#include "foldersize/scanner/OutputDialogs.h"

#include <QFileDialog>
#include <QPrintDialog>
#include <QPrinter>

namespace foldersize {

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

} // namespace foldersize

template <> foldersize::OutputDialogs& common::Service<foldersize::OutputDialogs>::fallback()
{
    static foldersize::QtOutputDialogs qtDialogs;
    return qtDialogs;
}
