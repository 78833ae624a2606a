// ScriptedMessageService.h: a message service for tests that records every box and answers
// OK/Cancel questions from a script, installed for the lifetime of the object.
#pragma once

#include "foldersize/services/MessageService.h"

#include <QStringList>

class ScriptedMessageService : public foldersize::MessageService {
public:
    ScriptedMessageService()
        : m_installed(*this)
    {}
    void information(QWidget*, const QString&, const QString& text) override { shown << "info: " + text; }
    void warning(QWidget*, const QString&, const QString& text) override { shown << "warning: " + text; }
    bool okCancel(QWidget*, const QString&, const QString& text) override
    {
        shown << "question: " + text;
        return answerOk;
    }
    QStringList shown;
    bool answerOk = true;

private:
    common::Service<foldersize::MessageService>::Override m_installed;
};
