// OutputDialogs.h: the save and printer dialogs of the tree output as a small replaceable service,
// so that tests choose a file or a PDF printer without interaction; and the folder dialog.
#pragma once

#include "common/Service.h"

#include <QString>

class QPrinter;
class QWidget;

namespace foldersize {

class OutputDialogs {
public:
    virtual ~OutputDialogs() = default;
    // Save dialog with the filter (e.g. "Textdateien (*.txt)") and the proposed file name.
    // Returns the chosen path, or "" on Cancel. An existing file is replaced without asking.
    virtual QString saveFileName(QWidget* parent, const QString& filter, const QString& fileName) = 0;
    // Printer dialog; on OK the printer is set up for the chosen printer and true is returned.
    virtual bool choosePrinter(QWidget* parent, QPrinter& printer) = 0;
};

// QFileDialog and QPrintDialog.
class QtOutputDialogs : public OutputDialogs {
public:
    QString saveFileName(QWidget* parent, const QString& filter, const QString& fileName) override;
    bool choosePrinter(QWidget* parent, QPrinter& printer) override;
};

// Qt's folder dialog (the "neu" button), opened at start; the folder chosen, "" on Cancel.
QString chooseFolder(QWidget* parent, const QString& start);

} // namespace foldersize

// The default is QtOutputDialogs.
template <> foldersize::OutputDialogs& common::Service<foldersize::OutputDialogs>::fallback();

namespace foldersize {

// The dialogs the program uses (common::Service<OutputDialogs> replaces them).
inline OutputDialogs& outputDialogs() { return common::Service<OutputDialogs>::instance(); }

} // namespace foldersize
