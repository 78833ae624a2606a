// OutputDialogs.cpp: the Qt save and printer dialogs, the default of the output dialogs.
#include "foldersize/ui/scanner/OutputDialogs.h"

#include <QFileDialog>
#include <QHeaderView>
#include <QPrintDialog>
#include <QPrinter>
#include <QTreeView>

namespace foldersize {
namespace {

// Qt's own file dialog (where the desktop offers none of its own) sizes its detail columns for
// English texts, so German type names and dates are cut ("Ver…nis"): they take their contents'
// width, the name the rest.
QString runFileDialog(QFileDialog& dialog)
{
    if (auto* view = dialog.findChild<QTreeView*>(QStringLiteral("treeView"))) {
        QHeaderView* header = view->header();
        header->setStretchLastSection(false);
        header->setSectionResizeMode(QHeaderView::ResizeToContents);
        header->setSectionResizeMode(0, QHeaderView::Stretch);
    }
    if (dialog.exec() != QDialog::Accepted)
        return QString();
    return dialog.selectedFiles().value(0);
}

} // namespace

QString chooseFolder(QWidget* parent, const QString& start)
{
    QFileDialog dialog(parent, QString(), start);
    dialog.setFileMode(QFileDialog::Directory);
    dialog.setOption(QFileDialog::ShowDirsOnly);
    return runFileDialog(dialog);
}

QString QtOutputDialogs::saveFileName(QWidget* parent, const QString& filter, const QString& fileName)
{
    QFileDialog dialog(parent, QString(), fileName, filter);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setOption(QFileDialog::DontConfirmOverwrite);
    dialog.selectFile(fileName);
    return runFileDialog(dialog);
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
