// KestroMain.cpp: the main window's layout, handlers and the mirror of the headless window state.
#include "wizard/ui/core/KestroMain.h"

#include "platform/HelpViewer.h"
#include "platform/qt/ActivationReturn.h"
#include "platform/qt/QtHelpViewer.h"
#include "wizard/core/AppPath.h"
#include "wizard/core/PageHelp.h"
#include "wizard/core/ProgramEnd.h"
#include "wizard/core/SelectionTrees.h"
#include "wizard/ui/core/FrmKestro.h"
#include "wizard/ui/core/FrmProgressBar.h"
#include "wizard/ui/core/PageRoutines.h"
#include "wizard/ui/core/WizardPage.h"
#include "wizard/zip/OfficeLinks.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCloseEvent>
#include <QFrame>
#include <QGridLayout>
#include <QLabel>
#include <QMenuBar>
#include <QPushButton>
#include <QResizeEvent>
#include <QStatusBar>
#include <QVBoxLayout>

#include <algorithm>
#include <vector>

namespace wizard {

namespace {

// The window is laid out in the platform's twips; one pixel is 15 twips at 96 dots per inch.
int px(int twips) { return twips / 15; }

std::map<std::string, KestroMain::PageFactory>& factories()
{
    static std::map<std::string, KestroMain::PageFactory> f;
    return f;
}

struct ButtonPlace {
    BarButton button;
    const char* name;
    int left, width, height, tabIndex;
};
// Design places inside Toolbar1 (twips, top 120); Help/Finish and Previous/Accept share a place.
constexpr ButtonPlace kPlaces[] = {
    {BarButton::Help, "Btn_Help", 240, 1200, 400, 4},
    {BarButton::Finish, "Btn_Finish", 240, 1200, 400, 13},
    {BarButton::Migrate, "Btn_Migrate", 4800, 1200, 400, 12},
    {BarButton::Back, "Btn_Back", 7320, 1200, 400, 2},
    {BarButton::Accept, "Btn_Accept", 7320, 1320, 405, 11},
    {BarButton::Decline, "Btn_Decline", 8520, 1320, 400, 10},
    {BarButton::Next, "Btn_Next", 8640, 1200, 400, 1},
    {BarButton::Cancel, "Cancel", 9960, 1200, 400, 3},
};
constexpr int kToolbarWidth = 11400;
constexpr int kToolbarHeight = 640;

} // namespace

void KestroMain::registerPage(const std::string& formName, PageFactory factory)
{
    factories()[formName] = std::move(factory);
}

bool KestroMain::pageRegistered(const std::string& formName) { return factories().count(formName) != 0; }

void KestroMain::unregisterPage(const std::string& formName) { factories().erase(formName); }

std::vector<std::string> KestroMain::registeredPages()
{
    std::vector<std::string> names;
    for (const auto& [name, factory] : factories())
        names.push_back(name);
    return names;
}

KestroMain::KestroMain(MainWindowActions actions, QWidget* parent)
    : QMainWindow(parent)
    , m_actions(std::move(actions))
{
    setObjectName("KestroMain");
    setWindowTitle("Kestro");

    auto* central = new QWidget(this);
    auto* column = new QVBoxLayout(central);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);

    m_pageArea = new QWidget(central);
    m_pageArea->setObjectName("PageArea");
    auto* grid = new QGridLayout(m_pageArea);
    grid->setContentsMargins(0, 0, 0, 0);
    m_picture1 = buildWelcomePanel();
    grid->addWidget(m_picture1, 0, 0);
    column->addWidget(m_pageArea, 1);

    buildButtonBar();
    column->addWidget(m_toolbar, 0);
    setCentralWidget(central);

    buildMenus();

    auto* bar = new QStatusBar(this);
    bar->setObjectName("StatusBar1");
    bar->setSizeGripEnabled(false);
    m_panel1 = new QLabel(bar);
    m_panel1->setObjectName("StatusBar1_Panel1");
    m_panel2 = new QLabel(bar);
    m_panel2->setObjectName("StatusBar1_Panel2");
    // A long text (a deep path during a copy) is cut at the panel's edge; it never widens the
    // window.
    for (QLabel* panel : {m_panel1, m_panel2}) {
        panel->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
        panel->setMinimumWidth(1);
    }
    bar->addWidget(m_panel1, 3);
    bar->addWidget(m_panel2, 2);
    setStatusBar(bar);

    // The zip control is stored with the window without an archive name.
    m_AZIPLnk.ReadProperties({});
    m_AZIPLnk.setYield([] { QCoreApplication::processEvents(); });
    m_previousZip = common::Service<AZIP>::replace(&m_AZIPLnk);

    resize(px(kToolbarWidth) + 16, 560);
    MDIForm_Load();
}

KestroMain::~KestroMain()
{
    common::Service<AZIP>::replace(m_previousZip);
    // The busy window is a top-level window of its own; it goes with the main window.
    delete m_busy;
}

QWidget* KestroMain::buildWelcomePanel()
{
    auto* panel = new QFrame(m_pageArea);
    panel->setObjectName("Picture1");
    panel->setFrameShape(QFrame::StyledPanel);
    panel->setAutoFillBackground(true);
    auto* v = new QVBoxLayout(panel);
    QFont heading;
    heading.setBold(true);
    heading.setPointSize(heading.pointSize() + 3);
    auto addLabel = [&](const char* name, const QString& text, bool isHeading) {
        auto* l = new QLabel(text, panel);
        l->setObjectName(name);
        l->setWordWrap(true);
        if (isHeading)
            l->setFont(heading);
        v->addWidget(l);
        return l;
    };
    addLabel("lblWelcomeHeading", "   Welcome To Kestro", true);
    addLabel("lblWelcome",
        "Welcome to Kestro, the easy way to migrate your Data, Settings and Applications from your Source PC "
        "to "
        "Destination PC.",
        false);
    auto* line = new QFrame(panel);
    line->setFrameShape(QFrame::HLine);
    v->addWidget(line);
    addLabel("lblAgreementHeading", "   End User Agreement", true);
    addLabel("lblAgreement",
        "This application migrates the complete environment of one computer - its data, applications and "
        "settings - to another computer.\n\n"
        "By accepting this agreement you warrant that you own, or hold valid licences for, everything "
        "installed "
        "and stored on the source computer, and that you have the right to make the additional copy that the "
        "migration creates on the destination computer. Copying unlicensed software with this application is "
        "prohibited.\n\n"
        "You take full responsibility for the migration and for its legal consequences.",
        false);
    v->addStretch(1);
    return panel;
}

void KestroMain::buildButtonBar()
{
    m_toolbar = new QWidget(this);
    m_toolbar->setObjectName("Toolbar1");
    m_toolbar->setFixedHeight(px(kToolbarHeight));
    m_toolbar->setMinimumWidth(px(kToolbarWidth));
    QFont verdana("Verdana");
    for (const ButtonPlace& p : kPlaces) {
        auto* b = new QPushButton(QString::fromStdString(buttonCaption(p.button)), m_toolbar);
        b->setObjectName(p.name);
        b->setFont(verdana);
        b->setGeometry(px(p.left), px(120), px(p.width), px(p.height));
        m_buttons[static_cast<std::size_t>(p.button)] = b;
    }
    // Tab moves through the bar in the order of the places' tab indexes, not their positions.
    std::vector<ButtonPlace> order(std::begin(kPlaces), std::end(kPlaces));
    std::sort(order.begin(), order.end(),
        [](const ButtonPlace& a, const ButtonPlace& b) { return a.tabIndex < b.tabIndex; });
    for (std::size_t i = 1; i < order.size(); ++i)
        setTabOrder(barButton(order[i - 1].button), barButton(order[i].button));

    connect(barButton(BarButton::Back), &QPushButton::clicked, this, [this] { Btn_Back_Click(); });
    connect(barButton(BarButton::Next), &QPushButton::clicked, this, [this] { Btn_Next_Click(); });
    connect(barButton(BarButton::Accept), &QPushButton::clicked, this, [this] { Btn_Accept_Click(); });
    connect(barButton(BarButton::Decline), &QPushButton::clicked, this, [this] { Btn_Decline_Click(); });
    connect(barButton(BarButton::Migrate), &QPushButton::clicked, this, [this] { Btn_Migrate_Click(); });
    connect(barButton(BarButton::Finish), &QPushButton::clicked, this, [this] { Btn_Finish_Click(); });
    connect(barButton(BarButton::Cancel), &QPushButton::clicked, this, [this] { Cancel_Click(); });
    connect(barButton(BarButton::Help), &QPushButton::clicked, this, [this] { Btn_Help_Click(); });
}

void KestroMain::buildMenus()
{
    QMenu* file = menuBar()->addMenu("&File");
    file->setObjectName("file");
    QAction* exitAction = file->addAction("&Exit");
    exitAction->setObjectName("Exit");
    connect(exitAction, &QAction::triggered, this, [this] { Exit_Click(); });

    QMenu* edit = menuBar()->addMenu("&Edit");
    edit->setObjectName("Edit");
    m_selectAll = edit->addAction("&Select All");
    m_selectAll->setObjectName("SelectAll");
    m_clearAll = edit->addAction("&Clear All");
    m_clearAll->setObjectName("ClearAll");
    connect(m_selectAll, &QAction::triggered, this, [this] { SelectAll_Click(); });
    connect(m_clearAll, &QAction::triggered, this, [this] { ClearAll_Click(); });

    QMenu* help = menuBar()->addMenu("He&lp");
    help->setObjectName("Help");
    QAction* contents = help->addAction("&Contents");
    contents->setObjectName("mnuContents");
    QAction* about = help->addAction("About");
    about->setObjectName("mnuAbout");
    connect(contents, &QAction::triggered, this, [this] { mnuContents_Click(); });
    connect(about, &QAction::triggered, this, [this] { mnuAbout_Click(); });
}

void KestroMain::MDIForm_Load()
{
    // No maximise box: the window keeps the size of its first layout.
    setWindowFlags(windowFlags() & ~Qt::WindowMaximizeButtonHint);
    setStatusText("");
    move(px(800), y());
    barButton(BarButton::Decline)->move(px(4100), barButton(BarButton::Decline)->y());
    barButton(BarButton::Accept)->move(px(5540), barButton(BarButton::Accept)->y());
    for (BarButton b : {BarButton::Next, BarButton::Back, BarButton::Help, BarButton::Cancel,
             BarButton::Migrate, BarButton::Finish})
        setButtonVisible(b, false);
    setStatusText("");
    setButtonVisible(BarButton::Migrate, false);
    setEditMenuEnabled(EditMenuItem::SelectAll, false);
    setEditMenuEnabled(EditMenuItem::ClearAll, false);
    for (Change c : {Change::StatusText, Change::DetailText, Change::ButtonBar, Change::WelcomePanel,
             Change::EditMenu, Change::MousePointer})
        changed(c);
}

void KestroMain::changed(Change change)
{
    switch (change) {
    case Change::StatusText:
        if (m_panel1)
            m_panel1->setText(QString::fromStdString(statusText()));
        break;
    case Change::DetailText:
        if (m_panel2) {
            // Without a detail the status text has the whole bar.
            m_panel2->setText(QString::fromStdString(detailText()));
            m_panel2->setVisible(!detailText().empty());
        }
        break;
    case Change::ButtonBar: syncButtonBar(); break;
    case Change::WelcomePanel:
        if (m_picture1)
            m_picture1->setVisible(welcomePanelVisible());
        break;
    case Change::EditMenu:
        if (m_selectAll) {
            m_selectAll->setEnabled(editMenuEnabled(EditMenuItem::SelectAll));
            m_clearAll->setEnabled(editMenuEnabled(EditMenuItem::ClearAll));
        }
        break;
    case Change::MousePointer:
        if (mousePointer() == MousePointer::Hourglass)
            setCursor(Qt::WaitCursor);
        else
            unsetCursor();
        break;
    case Change::BusyWindow:
        if (busyWindowOpen()) {
            if (!m_busy)
                m_busy = new FrmProgressBar(*this);
            Open_A_Form(m_busy, false);
        } else if (m_busy) {
            FrmProgressBar* closing = m_busy;
            m_busy = nullptr;
            Close_A_Form(closing);
        }
        break;
    case Change::BusyTexts:
        if (m_busy)
            m_busy->showTexts(busyCaption(), busyDetails());
        break;
    }
}

void KestroMain::syncButtonBar()
{
    for (std::size_t i = 0; i < kBarButtonCount; ++i) {
        QPushButton* b = m_buttons[i];
        if (!b)
            continue;
        const auto id = static_cast<BarButton>(i);
        b->setVisible(buttonVisible(id));
        b->setEnabled(buttonEnabled(id));
        b->setText(QString::fromStdString(buttonCaption(id)));
        if (buttonLeft(id) > 0)
            b->move(px(buttonLeft(id)), b->y());
    }
}

bool KestroMain::showPanel(const std::string& panelName)
{
    const bool loadedBefore = panelName != "KestroMain" && m_pages.count(panelName) != 0;
    for (auto& [name, page] : m_pages)
        if (name != panelName)
            page->hide();
    if (panelName == "KestroMain") {
        m_active = nullptr;
        platform::qt::setHelpTopic(m_toolbar, 0);
        platform::qt::setHelpTopic(this, 0);
        // Opened for the first time, the window comes to the front with the keyboard, as a newly
        // opened window does even where no window manager hands it the activation.
        const bool opening = !isVisible();
        show();
        if (opening)
            activateWindow();
        return false;
    }
    WizardPage* page = this->page(panelName);
    if (!page)
        return false;
    m_active = page;
    // F1 on the button bar, or with the focus on the window itself or nowhere (as right after a
    // page whose focused control is gone), opens the topic of the page on screen.
    platform::qt::setHelpTopic(m_toolbar, platform::qt::helpTopicOf(page));
    platform::qt::setHelpTopic(this, platform::qt::helpTopicOf(page));
    page->show();
    page->raise();
    page->activated();
    return loadedBefore;
}

WizardPage* KestroMain::page(const std::string& formName)
{
    if (WizardPage* loaded = loadedPage(formName))
        return loaded;
    auto f = factories().find(formName);
    if (f == factories().end())
        return nullptr;
    WizardPage* created = f->second(*this, m_pageArea);
    if (!created)
        return nullptr;
    created->setObjectName(QString::fromStdString(formName));
    created->hide();
    static_cast<QGridLayout*>(m_pageArea->layout())->addWidget(created, 0, 0);
    m_pages[formName] = created;
    return created;
}

bool KestroMain::isChecked(const std::string& form, const std::string& control)
{
    WizardPage* p = page(form);
    if (!p)
        return false;
    auto* b = p->findChild<QAbstractButton*>(QString::fromStdString(control));
    return b && b->isChecked();
}

std::string KestroMain::text(const std::string& form, const std::string& control)
{
    WizardPage* p = page(form);
    if (!p)
        return {};
    QWidget* w = p->findChild<QWidget*>(QString::fromStdString(control));
    if (!w)
        return {};
    const QVariant v = w->property("text");
    if (!v.isValid()) {
        const QVariant plain = w->property("plainText");
        return plain.isValid() ? plain.toString().toStdString() : std::string();
    }
    return v.toString().toStdString();
}

bool KestroMain::setFocus(const std::string& form, const std::string& control)
{
    WizardPage* p = page(form);
    QWidget* w = p ? p->findChild<QWidget*>(QString::fromStdString(control)) : nullptr;
    if (!w || !w->isEnabled())
        return false;
    w->setFocus(Qt::OtherFocusReason);
    return true;
}

WizardPage* KestroMain::loadedPage(const std::string& formName) const
{
    auto it = m_pages.find(formName);
    return it == m_pages.end() ? nullptr : it->second;
}

void KestroMain::step(const std::string& direction)
{
    if (programEndRequested() || !m_actions.stepScript)
        return;
    m_actions.stepScript(direction);
}

void KestroMain::Btn_Next_Click() { step("next"); }

void KestroMain::Btn_Accept_Click() { step("next"); }

void KestroMain::Btn_Back_Click()
{
    const WizardPage* before = m_active;
    step("back");
    if (programEndRequested())
        return;
    setButtonCaption(BarButton::Cancel, "&Cancel");
    // Finish belongs to the report alone and stands in Help's place: the pages gone back to write
    // neither, and would otherwise keep Finish in front of Help.
    if (m_active != before)
        setButtonVisible(BarButton::Finish, false);
}

void KestroMain::Btn_Migrate_Click()
{
    setButtonEnabled(BarButton::Back, false);
    setButtonEnabled(BarButton::Migrate, false);
    const WizardPage* before = m_active;
    step("next");
    if (programEndRequested())
        return;
    // A page the run went on to has set the bar for itself (the report hides Migrate); only a run
    // that stayed on its page gets Migrate back.
    if (m_active != before)
        return;
    setButtonVisible(BarButton::Migrate, true);
    setButtonEnabled(BarButton::Migrate, true);
}

void KestroMain::Btn_Decline_Click()
{
    // Declining ends at once, without the exit routine; the log goes so the next start is a first run.
    if (m_actions.deleteLogFile)
        m_actions.deleteLogFile();
    requestProgramEnd(0);
}

void KestroMain::runExit()
{
    if (programEndRequested() || m_exiting)
        return;
    // A second way out while the exit routine's question is open is the same request: ignore it.
    m_exiting = true;
    const bool end = m_actions.exitApplication ? m_actions.exitApplication() : true;
    m_exiting = false;
    if (end)
        requestProgramEnd(0);
}

void KestroMain::Btn_Finish_Click() { runExit(); }
void KestroMain::Cancel_Click() { runExit(); }
void KestroMain::Exit_Click() { runExit(); }

void KestroMain::closeEvent(QCloseEvent* event)
{
    // The window closes for good only once the end has been asked for; any other close request
    // goes through the exit routine like Cancel.
    if (programEndRequested()) {
        event->accept();
        return;
    }
    runExit();
    if (programEndRequested())
        event->accept();
    else
        event->ignore();
}

void KestroMain::resizeEvent(QResizeEvent* event)
{
    QMainWindow::resizeEvent(event);
    if (auto back = m_geometry.onResize(geometry())) {
        resize(back->size());
        move(back->topLeft());
    }
}

void KestroMain::Btn_Help_Click()
{
    platform::setApplicationHelpFile(AppPath + "\\PRODUCT_HELP.chm");
    if (m_active) {
        const std::string name = m_active->objectName().toStdString();
        WizardPage* page = m_active;
        auto chosen = [page](const std::string& control) {
            auto* b = page->findChild<QAbstractButton*>(QString::fromStdString(control));
            return b && b->isChecked();
        };
        if (auto topic = helpTopicForPage(name, chosen))
            m_helpTopic = *topic;
        else if (m_helpTopic == 0)
            m_helpTopic = platform::qt::helpTopicOf(page);
    }
    platform::qt::setHelpTopic(barButton(BarButton::Help), m_helpTopic);
    // As the F1 key would: the topic of the page's control that holds the focus; with the focus
    // on the button bar (Alt+H there, or a click) the page's topic that the Help button carries.
    QWidget* focus = QApplication::focusWidget();
    const bool inPage = focus && m_active && m_active->isAncestorOf(focus);
    platform::qt::showContextHelp(inPage ? focus : barButton(BarButton::Help));
}

void KestroMain::mnuContents_Click()
{
    platform::setApplicationHelpFile(AppPath + "\\PRODUCT_HELP.chm");
    platform::helpService().showTopic(platform::applicationHelpFile(), 0);
}

void KestroMain::mnuAbout_Click()
{
    const platform::qt::ActivationReturn activation(this);
    FrmKestro about(this);
    about.exec();
}

void KestroMain::SelectAll_Click()
{
    const SelectionTrees trees = selectionTrees();
    if (trees.source && trees.destination) {
        selectAllNodes(*trees.source, *trees.destination);
        if (trees.afterSelectAll)
            trees.afterSelectAll();
    }
}

void KestroMain::ClearAll_Click()
{
    const SelectionTrees trees = selectionTrees();
    if (trees.source && trees.destination)
        clearAllNodes(*trees.source, *trees.destination);
    setButtonEnabled(BarButton::Next, false);
}

void KestroMain::busyWindowClosing()
{
    activateWindow();
    setFocus();
}

} // namespace wizard
