// RecordingOpenService.h: an open service for tests that records the addresses instead of opening
// them, installed for the lifetime of the object.
#pragma once

#include "foldersize/services/OpenService.h"

#include <QList>
#include <QStringList>

class RecordingOpenService : public foldersize::OpenService {
public:
    RecordingOpenService()
        : m_installed(*this)
    {}
    bool openUrl(const QUrl& url) override
    {
        opened.append(url);
        return answer;
    }
    FileOpen openFile(const QString& path) override
    {
        opened.append(QUrl::fromLocalFile(path));
        return fileAnswer;
    }
    bool chooseProgram(const QString& path) override
    {
        chosen.append(path);
        return chooseAnswer;
    }
    QList<Program> installedPrograms(const QString& path) override
    {
        offeredFor << path;
        return programs;
    }
    bool openWith(const QString& programId, const QString& path) override
    {
        openedWith << programId + " " + path;
        return openWithAnswer;
    }
    QList<QUrl> opened;
    QList<Program> programs; // the installed applications offered
    QStringList offeredFor;  // the paths for which they were asked
    QStringList openedWith;  // "id path" per file opened with a chosen program
    bool openWithAnswer = true;
    QStringList chosen; // files for which the choice of program was offered
    bool answer = true;
    FileOpen fileAnswer = FileOpen::Opened;
    bool chooseAnswer = true;

private:
    common::Service<foldersize::OpenService>::Override m_installed;
};
