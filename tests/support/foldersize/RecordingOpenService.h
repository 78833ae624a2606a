// RecordingOpenService.h: an open service for tests that records the addresses instead of opening
// them, installed for the lifetime of the object.
#pragma once

#include "foldersize/services/OpenService.h"

#include <QList>

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
    QList<QUrl> opened;
    bool answer = true;

private:
    common::Service<foldersize::OpenService>::Override m_installed;
};
