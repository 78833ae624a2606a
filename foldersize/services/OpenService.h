// OpenService.h: the shell's open verb (web addresses, mail addresses, files) as a small service,
// so that tests can record what would have been opened instead of starting a browser.
#pragma once

#include "common/Service.h"

#include <QUrl>

namespace foldersize {

class OpenService {
public:
    virtual ~OpenService() = default;
    // Opens the address with the user's program for it; false when nothing could open it.
    virtual bool openUrl(const QUrl& url) = 0;
};

// Opens through QDesktopServices.
class DesktopOpenService : public OpenService {
public:
    bool openUrl(const QUrl& url) override;
};

} // namespace foldersize

// The default is a DesktopOpenService.
template <> foldersize::OpenService& common::Service<foldersize::OpenService>::fallback();

namespace foldersize {

// The service the program uses (common::Service<OpenService> replaces it).
inline OpenService& openService() { return common::Service<OpenService>::instance(); }

} // namespace foldersize
