// QtHelpViewer.cpp: the help window, the topic ids of widgets and the F1 handler.
#include "platform/qt/QtHelpViewer.h"

#include "platform/Machine.h"
#include "platform/MessageBox.h"

#include <QApplication>
#include <QKeyEvent>
#include <QPointer>
#include <QTextBrowser>
#include <QTextDocument>
#include <QTimer>
#include <QUrl>
#include <QVariant>
#include <QWidget>
#include <QWindow>

#include <cstdlib>

namespace platform::qt {
namespace {

// A modal dialog blocks every window but its own. While one is open (help asked for from a
// troubleshooting dialog), the help window is made a transient window of it, so that it can be
// scrolled and clicked beside the dialog; with none open it stands on its own again.
void keepUsableBesideModalDialog(QWidget& help)
{
    const QWidget* modal = QApplication::activeModalWidget();
    QWindow* modalWindow = modal ? modal->window()->windowHandle() : nullptr;
    help.winId(); // the help window's own window handle
    QWindow* own = help.windowHandle();
    if (!own || own->transientParent() == modalWindow)
        return;
    // Whether a window is blocked is decided when it is shown.
    if (help.isVisible())
        help.hide();
    own->setTransientParent(modalWindow);
}

class HelpKeyFilter : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::KeyPress && static_cast<QKeyEvent*>(event)->key() == Qt::Key_F1 &&
            watched->isWidgetType()) {
            showContextHelp(
                QApplication::focusWidget() ? QApplication::focusWidget() : static_cast<QWidget*>(watched));
            return true;
        }
        return QObject::eventFilter(watched, event);
    }
};

} // namespace

void setHelpTopic(QWidget* widget, int topicId)
{
    if (widget)
        widget->setProperty(kHelpTopicProperty, topicId);
}

int helpTopicOf(const QWidget* widget)
{
    for (const QWidget* w = widget; w; w = w->parentWidget()) {
        bool ok = false;
        const int id = w->property(kHelpTopicProperty).toInt(&ok);
        if (ok && id != 0)
            return id;
    }
    return 0;
}

bool showContextHelp(const QWidget* widget)
{
    return helpService().showTopic(applicationHelpFile(), helpTopicOf(widget));
}

namespace {
// Owned by the application: it goes with the application.
QPointer<HelpKeyFilter>& helpKeyFilter()
{
    static QPointer<HelpKeyFilter> filter;
    return filter;
}
} // namespace

bool installHelpKey()
{
    QPointer<HelpKeyFilter>& filter = helpKeyFilter();
    if (filter || !QCoreApplication::instance())
        return false;
    filter = new HelpKeyFilter(QCoreApplication::instance());
    QCoreApplication::instance()->installEventFilter(filter);
    return true;
}

void removeHelpKey() { delete helpKeyFilter().data(); }

std::filesystem::path defaultHelpFolder(const std::string& helpFile)
{
    if (const char* dir = std::getenv("WINENV_HELP_DIR"); dir && *dir)
        return dir;
    const auto slash = helpFile.find_last_of("\\/");
    if (slash == std::string::npos)
        return {};
    Machine machine;
    std::filesystem::path host;
    std::error_code ec;
    if (machine.openCurrentOrDefault() != WinError::Success ||
        machine.hostPath(helpFile.substr(0, slash) + "\\help", host) != WinError::Success ||
        !std::filesystem::is_directory(host, ec))
        return {};
    return host;
}

QtHelpViewer::QtHelpViewer()
    : m_locator(defaultHelpFolder)
{}
QtHelpViewer::QtHelpViewer(FolderLocator locator)
    : m_locator(std::move(locator))
{}
QtHelpViewer::~QtHelpViewer() = default;

QTextBrowser* QtHelpViewer::browser() const { return m_browser.get(); }

void QtHelpViewer::prepare()
{
    QCoreApplication* app = QCoreApplication::instance();
    if (!app || m_browser)
        return;
    QTimer::singleShot(0, app, [this, app] {
        if (!m_browser)
            makeBrowser();
        QTimer::singleShot(0, app, [this, app] {
            if (!m_browser || m_browser->isVisible())
                return;
            m_browser->winId();
            QTimer::singleShot(0, app, [this] {
                // Laid out once, so that the fonts of a page are at hand.
                if (m_browser && !m_browser->isVisible()) {
                    m_browser->setHtml(QStringLiteral("<p><b>Help</b> help</p>"));
                    m_browser->document()->size();
                }
            });
        });
    });
}

void QtHelpViewer::closeWindow() { m_browser.reset(); }

void QtHelpViewer::makeBrowser()
{
    m_browser = std::make_unique<QTextBrowser>();
    m_browser->setOpenExternalLinks(true);
    m_browser->resize(720, 560);
}

bool QtHelpViewer::showTopic(const std::string& helpFile, int topicId)
{
    const HelpTopics topics(m_locator ? m_locator(helpFile) : std::filesystem::path{});
    const auto page = topics.folder().empty() ? std::filesystem::path{} : topics.pageFor(topicId);
    if (page.empty())
        return false;
    if (!m_browser)
        makeBrowser();
    m_browser->setWindowTitle(QString::fromStdString(applicationTitle() + " Help"));
    m_browser->setSource(QUrl::fromLocalFile(QString::fromStdString(page.string())));
    keepUsableBesideModalDialog(*m_browser);
    m_browser->show();
    m_browser->raise();
    m_browser->activateWindow();
    return true;
}

} // namespace platform::qt
