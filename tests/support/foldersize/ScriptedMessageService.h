// ScriptedMessageService.h: a message service for tests that records every box and answers
// OK/Cancel questions and choices from a script, installed for the lifetime of the object.
#pragma once

#include "foldersize/ui/services/MessageService.h"

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
    std::optional<int> choose(
        QWidget*, const QString&, const QString& text, const QStringList& items) override
    {
        shown << "choice: " + text;
        offered = items;
        const auto row = items.indexOf(choice);
        return row < 0 ? std::nullopt : std::optional<int>(static_cast<int>(row));
    }
    QStringList shown;
    bool answerOk = true;
    QString choice;      // the item a choice answers with; none (cancel) when not offered
    QStringList offered; // the items of the last choice

private:
    common::Service<foldersize::MessageService>::Override m_installed;
};
