// MessageService.h: Tallymoor's modal message boxes as a small replaceable service, so that tests
// answer them without interaction.
#pragma once

#include "common/Service.h"

#include <optional>

#include <QString>
#include <QStringList>

class QWidget;

namespace foldersize {

class MessageService {
public:
    virtual ~MessageService() = default;
    virtual void information(QWidget* parent, const QString& title, const QString& text) = 0;
    virtual void warning(QWidget* parent, const QString& title, const QString& text) = 0;
    // OK and Cancel with the information symbol; true for OK.
    virtual bool okCancel(QWidget* parent, const QString& title, const QString& text) = 0;
    // A choice among items, with OK and Cancel: the index chosen, nothing when cancelled.
    virtual std::optional<int> choose(
        QWidget* parent, const QString& title, const QString& text, const QStringList& items) = 0;
};

// QMessageBox.
class QtMessageService : public MessageService {
public:
    void information(QWidget* parent, const QString& title, const QString& text) override;
    void warning(QWidget* parent, const QString& title, const QString& text) override;
    bool okCancel(QWidget* parent, const QString& title, const QString& text) override;
    // A list of the items (QInputDialog).
    std::optional<int> choose(
        QWidget* parent, const QString& title, const QString& text, const QStringList& items) override;
};

} // namespace foldersize

// The default is a QtMessageService.
template <> foldersize::MessageService& common::Service<foldersize::MessageService>::fallback();

namespace foldersize {

// The service the program uses (common::Service<MessageService> replaces it).
inline MessageService& messageService() { return common::Service<MessageService>::instance(); }

} // namespace foldersize
