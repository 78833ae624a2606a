// QtHelpViewer.h: the help service shown in a QTextBrowser window, and the F1 key that opens
// the topic of the focused widget.
#pragma once

#include "platform/HelpViewer.h"

#include <functional>
#include <memory>

class QObject;
class QTextBrowser;
class QWidget;

namespace platform::qt {

// Name of the dynamic property that carries a widget's help topic id (an int).
inline constexpr const char* kHelpTopicProperty = "helpContextId";

void setHelpTopic(QWidget* widget, int topicId);
// The topic of a widget: its own non-zero helpContextId, else that of the nearest ancestor that
// has one, else 0 (the default page).
int helpTopicOf(const QWidget* widget);

// Shows the topic of `widget` (normally the focused one) from applicationHelpFile(), as the F1
// key does. Returns what the help service answered.
bool showContextHelp(const QWidget* widget);

// Installs on the application an F1 handler that calls showContextHelp on the focused widget;
// true when this call installed it (false when one is in place already or there is no application).
bool installHelpKey();
// Takes the F1 handler off the application again.
void removeHelpKey();

class QtHelpViewer : public HelpService {
public:
    // Finds the host folder of topic pages for a help file; the default takes the folder named
    // by WINENV_HELP_DIR, else the "help" folder beside the help file on the running machine.
    using FolderLocator = std::function<std::filesystem::path(const std::string& helpFile)>;

    QtHelpViewer();
    explicit QtHelpViewer(FolderLocator locator);
    ~QtHelpViewer() override;

    bool showTopic(const std::string& helpFile, int topicId) override;

    // The window, created on first use (or by prepare()); nullptr before.
    QTextBrowser* browser() const;
    // Makes the window beforehand, hidden, one piece in each of the next turns of the event loop,
    // so that the first topic shown only loads its page: the widget, its native window and the
    // fonts of its first text took the first F1 80 ms. The window goes with closeWindow().
    void prepare();
    // Lets go of the window (before the application that shows it ends).
    void closeWindow();

private:
    void makeBrowser();

    FolderLocator m_locator;
    std::unique_ptr<QTextBrowser> m_browser;
};

// The default help-folder lookup used by QtHelpViewer().
std::filesystem::path defaultHelpFolder(const std::string& helpFile);

} // namespace platform::qt
