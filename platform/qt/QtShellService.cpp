// QtShellService.cpp: opens addresses with the desktop's handlers and files of the running
// machine with the process runner or the desktop's viewers.
#include "platform/qt/QtShellService.h"

#include "common/Text.h"
#include "platform/CommandLine.h"
#include "platform/Machine.h"
#include "platform/ProcessRunner.h"

#include <QDesktopServices>

#include <QString>
#include <QUrl>

namespace platform::qt {
namespace {

constexpr int kShellBadFormat = 11; // ERROR_BAD_FORMAT: not a program the layer can run

int openOnRunningMachine(const std::string& target, const std::string& parameters)
{
    Machine machine;
    if (machine.openCurrentOrDefault() != WinError::Success)
        return kShellFileNotFound;
    std::filesystem::path host;
    std::error_code ec;
    if (machine.hostPath(target, host) != WinError::Success || !std::filesystem::is_regular_file(host, ec))
        return kShellFileNotFound;
    const bool program = common::endsWithNoCaseAscii(target, ".exe") ||
        common::endsWithNoCaseAscii(target, ".com") || common::endsWithNoCaseAscii(target, ".bat") ||
        common::endsWithNoCaseAscii(target, ".cmd");
    if (program) {
        std::string line = quoteArgument(target);
        if (!parameters.empty())
            line += " " + parameters;
        StartOptions options;
        options.style = WindowStyle::Normal;
        return startProcess(line, options) == WinError::Success ? kShellOpened : kShellBadFormat;
    }
    return QDesktopServices::openUrl(QUrl::fromLocalFile(QString::fromStdString(host.string())))
        ? kShellOpened
        : kShellNoAssociation;
}

} // namespace

int QtShellService::open(const std::string& target, const std::string& parameters)
{
    if (isUrlTarget(target)) {
        QString text = QString::fromStdString(target);
        if (text.startsWith(QStringLiteral("www."), Qt::CaseInsensitive))
            text.prepend(QStringLiteral("http://"));
        const QUrl url(text, QUrl::TolerantMode);
        if (!url.isValid())
            return kShellFileNotFound;
        return QDesktopServices::openUrl(url) ? kShellOpened : kShellNoAssociation;
    }
    if (m_fileOpener)
        return m_fileOpener(target, parameters);
    return openOnRunningMachine(target, parameters);
}

} // namespace platform::qt
