// OpenService.h: the shell's open verb (web addresses, mail addresses, files) as a small service,
// so that tests can record what would have been opened instead of starting a browser.
#pragma once

#include "common/Service.h"

#include <QList>
#include <QString>
#include <QUrl>

namespace foldersize {

class OpenService {
public:
    enum class FileOpen { Opened, NoProgram, Failed };
    // An installed desktop application: the id of its desktop entry and its name to show.
    struct Program {
        QString id;
        QString name;
    };

    virtual ~OpenService() = default;
    // Opens the address with the user's program for it; false when nothing could open it.
    virtual bool openUrl(const QUrl& url) = 0;
    // Opens a local file with the program associated with its type; NoProgram when there is none.
    virtual FileOpen openFile(const QString& path)
    {
        return openUrl(QUrl::fromLocalFile(path)) ? FileOpen::Opened : FileOpen::Failed;
    }
    // Offers the desktop's choice of program for a local file (its "open with" dialog); false
    // when the desktop offers none.
    virtual bool chooseProgram(const QString& path)
    {
        (void)path;
        return false;
    }
    // The installed desktop applications that could open path, by name: for a file those that
    // open files, for a folder those made for folders; none where the desktop's application
    // entries cannot be read.
    virtual QList<Program> installedPrograms(const QString& path)
    {
        (void)path;
        return {};
    }
    // Opens a local file with the application of that id; false when it could not be started.
    virtual bool openWith(const QString& programId, const QString& path)
    {
        (void)programId;
        (void)path;
        return false;
    }
};

// Opens addresses through QDesktopServices. Files and folders open with the program GIO finds for
// their type, as "gio open" would, but without needing that tool; a folder is never handed to
// Tallymoor's own entries, which would only measure it once more. The choice of program is the
// desktop portal's ("ask"). The installed applications are the desktop entries GIO reads, started
// through GIO.
class DesktopOpenService : public OpenService {
public:
    bool openUrl(const QUrl& url) override;
    FileOpen openFile(const QString& path) override;
    bool chooseProgram(const QString& path) override;
    QList<Program> installedPrograms(const QString& path) override;
    bool openWith(const QString& programId, const QString& path) override;
};

} // namespace foldersize

// The default is a DesktopOpenService.
template <> foldersize::OpenService& common::Service<foldersize::OpenService>::fallback();

namespace foldersize {

// The service the program uses (common::Service<OpenService> replaces it).
inline OpenService& openService() { return common::Service<OpenService>::instance(); }

} // namespace foldersize
