// OpenService.h: the shell's open verb (web addresses, mail addresses, files) as a small service,
// so that tests can record what would have been opened instead of starting a browser.
#pragma once

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

// The service the program uses; a DesktopOpenService unless a test installed another one.
OpenService& openService();
// Installs a replacement (not owned; nullptr restores the default).
void setOpenService(OpenService* service);

} // namespace foldersize
