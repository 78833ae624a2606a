// ScriptedOutputDialogs.h: save and printer dialogs for tests: the save dialog answers with a
// scripted file name, the printer dialog sets up a PDF printer; installed for the object's lifetime.
#pragma once

#include "foldersize/ui/scanner/OutputDialogs.h"

#include <QPrinter>
#include <QString>

class ScriptedOutputDialogs : public foldersize::OutputDialogs {
public:
    ScriptedOutputDialogs()
        : m_installed(*this)
    {}
    QString saveFileName(QWidget*, const QString& filter, const QString& fileName) override
    {
        ++saveShown;
        lastFilter = filter;
        lastName = fileName;
        return saveAnswer;
    }
    bool choosePrinter(QWidget*, QPrinter& printer) override
    {
        ++printShown;
        if (pdfFile.isEmpty())
            return false;
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(pdfFile);
        return true;
    }
    QString saveAnswer; // "" = Cancel
    QString pdfFile;    // "" = Cancel
    int saveShown = 0;
    int printShown = 0;
    QString lastFilter;
    QString lastName;

private:
    common::Service<foldersize::OutputDialogs>::Override m_installed;
};
