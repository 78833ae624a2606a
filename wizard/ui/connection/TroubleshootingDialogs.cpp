// TroubleshootingDialogs.cpp: the troubleshooting dialog built from its TroubleDialogLayout, its help clicks and
// the way back or out.
#include "wizard/ui/connection/TroubleshootingDialogs.h"

#include "platform/HelpViewer.h"
#include "platform/qt/QtHelpViewer.h"
#include "wizard/core/ExitRoutine.h"
#include "wizard/core/ProgramEnd.h"
#include "wizard/core/WizardLog.h"
#include "wizard/ui/connection/ConnectionRules.h"
#include "wizard/ui/core/KestroMain.h"
#include "wizard/ui/core/PageRoutines.h"
#include "wizard/ui/pages/PageFrame.h"

#include <QApplication>
#include <QEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QStyle>

namespace wizard {

namespace {

constexpr int kWidth = 560;
constexpr int kMargin = 16;
constexpr int kTextLeft = 72;     // right of the picture
constexpr int kButtonWidth = 105; // 1575 x 495 twips
constexpr int kButtonHeight = 33;
constexpr int kLinkWidth = 41; // 615 x 255 twips
constexpr int kLinkHeight = 17;

void openTopic(int topic) { platform::helpService().showTopic(platform::applicationHelpFile(), topic); }

int topicOf(const QWidget* widget) { return widget ? platform::qt::helpTopicOf(widget) : 0; }

// A check's label: word-wrapped, and clickable where the check is a link.
QLabel* addTextLabel(QWidget* parent, const QString& name, const QString& text, int top, bool clickable)
{
    QLabel* label = clickable ? new ClickLabel(name, text, parent) : new QLabel(text, parent);
    label->setObjectName(name);
    label->setWordWrap(true);
    const int width = kWidth - kTextLeft - kMargin;
    label->setGeometry(kTextLeft, top, width, label->heightForWidth(width));
    if (clickable) {
        // Checks that open a help topic look like links.
        label->setCursor(Qt::PointingHandCursor);
        label->setStyleSheet(QStringLiteral("color: #1a4f9c;"));
    }
    return label;
}

} // namespace

TroubleshootingDialog::TroubleshootingDialog(
    const TroubleDialogLayout& layout, QWidget* owner, std::function<bool()> exitRoutine)
    : QDialog(owner)
    , m_layout(layout)
    , m_exitRoutine(std::move(exitRoutine))
{
    if (!m_exitRoutine)
        m_exitRoutine = [] { return Exit_Application(); };
    build();
}

void TroubleshootingDialog::build()
{
    setObjectName(QString::fromLatin1(m_layout.formName));
    setWindowTitle(QString::fromUtf8(m_layout.title));
    // The dialog ends only through its own buttons (or the program's end).
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);

    auto* picture = new QLabel(this);
    picture->setObjectName(QStringLiteral("Picture1"));
    picture->setPixmap(style()->standardIcon(QStyle::SP_MessageBoxWarning).pixmap(40, 40));
    picture->setGeometry(kMargin, kMargin, 40, 40);

    QLabel* headline =
        addTextLabel(this, QStringLiteral("LblTitle"), QString::fromUtf8(m_layout.headline), kMargin, false);
    QFont bold = headline->font();
    bold.setBold(true);
    headline->setFont(bold);
    headline->adjustSize();
    headline->setFixedWidth(kWidth - kTextLeft - kMargin);

    int top = headline->geometry().bottom() + 12;
    for (std::size_t i = 0; i < m_layout.steps.size(); ++i) {
        const TroubleStep& step = m_layout.steps[i];
        const bool clickable = *step.link || (m_layout.plainStepsOpenTopic && step.topic != 0);
        QLabel* label = addTextLabel(
            this, QStringLiteral("LblStep%1").arg(i + 1), QString::fromUtf8(step.text), top, clickable);
        if (auto* link = qobject_cast<ClickLabel*>(label))
            connect(link, &ClickLabel::clicked, this, [this, i] { clickStep(i); });
        m_steps.push_back(label);
        top = label->geometry().bottom() + 8;
    }
    if (*m_layout.footer)
        top =
            addTextLabel(this, QStringLiteral("LblNote"), QString::fromUtf8(m_layout.footer), top + 4, false)
                ->geometry()
                .bottom() +
            8;

    const int buttonTop = top + 12;
    QPushButton* back = addButton(m_layout.back, kMargin, buttonTop);
    connect(back, &QPushButton::clicked, this, &QDialog::accept);
    if (m_layout.animatedBack)
        back->setIcon(style()->standardIcon(QStyle::SP_ArrowBack));
    if (*m_layout.moreHelp.name) {
        QPushButton* help = addButton(m_layout.moreHelp, (kWidth - kButtonWidth) / 2, buttonTop);
        connect(help, &QPushButton::clicked, this, &TroubleshootingDialog::needMoreHelp);
    }
    QPushButton* close = addButton(m_layout.close, kWidth - kMargin - kButtonWidth, buttonTop);
    connect(close, &QPushButton::clicked, this, &TroubleshootingDialog::closeWizard);

    // The link buttons only carry their check's topic; they lie behind the Close button.
    for (const TroubleStep& step : m_layout.steps) {
        if (!*step.link)
            continue;
        // A link shared by several checks starts with the last one's topic.
        if (QPushButton* shared = linkButton(step.link)) {
            platform::qt::setHelpTopic(shared, step.topic);
            continue;
        }
        auto* link = new QPushButton(QStringLiteral("Help"), this);
        link->setObjectName(QString::fromLatin1(step.link));
        platform::qt::setHelpTopic(link, step.topic);
        link->setGeometry(close->x() + 4, close->y() + 4, kLinkWidth, kLinkHeight);
        link->lower();
    }
    back->setDefault(true);
    back->setFocus();
    setFixedSize(kWidth, buttonTop + kButtonHeight + kMargin);
}

QPushButton* TroubleshootingDialog::addButton(const TroubleButton& button, int left, int top)
{
    auto* b = new QPushButton(QString::fromUtf8(button.caption), this);
    b->setObjectName(QString::fromLatin1(button.name));
    platform::qt::setHelpTopic(b, button.topic);
    b->setAutoDefault(false);
    b->setGeometry(left, top, kButtonWidth, kButtonHeight);
    return b;
}

QPushButton* TroubleshootingDialog::linkButton(const char* name) const
{
    return *name ? findChild<QPushButton*>(QString::fromLatin1(name), Qt::FindDirectChildrenOnly) : nullptr;
}

void TroubleshootingDialog::clickStep(std::size_t index)
{
    if (index >= m_layout.steps.size())
        return;
    const TroubleStep& step = m_layout.steps[index];
    if (QPushButton* link = linkButton(step.link)) {
        platform::qt::setHelpTopic(link, step.topic);
        link->setFocus();
        openTopic(step.topic);
    } else if (m_layout.plainStepsOpenTopic && step.topic != 0) {
        openTopic(step.topic);
    }
}

void TroubleshootingDialog::needMoreHelp()
{
    if (m_layout.moreHelpActsAsStep >= 0) {
        clickStep(static_cast<std::size_t>(m_layout.moreHelpActsAsStep));
        return;
    }
    auto* help =
        findChild<QPushButton*>(QString::fromLatin1(m_layout.moreHelp.name), Qt::FindDirectChildrenOnly);
    if (!help)
        return;
    if (m_layout.moreHelpFollowsConnection)
        platform::qt::setHelpTopic(help, ConnectionHelpTopic);
    help->setFocus();
    openTopic(topicOf(help));
}

void TroubleshootingDialog::closeWizard()
{
    writeLog(m_layout.formName, "Close");
    if (m_exitRoutine()) {
        requestProgramEnd(0);
        reject();
    }
}

bool TroubleshootingDialog::event(QEvent* event)
{
    // In front of every window that is not kept on top; a top-most window (the busy window) stays
    // above it.
    if (event->type() == QEvent::WindowActivate)
        raise();
    return QDialog::event(event);
}

void TroubleshootingDialog::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_F1) {
        openTopic(topicOf(focusWidget()));
        return;
    }
    // Escape would close the dialog past its buttons.
    if (event->key() == Qt::Key_Escape)
        return;
    QDialog::keyPressEvent(event);
}

bool Show_Troubleshooting_Dialog(const std::string& formName)
{
    const TroubleDialogLayout* layout = troubleshootingDialog(formName);
    writeLog("Show_Troubleshooting_Dialog", layout ? formName : "unknown form " + formName);
    if (!layout)
        return false;
    auto* dialog = new TroubleshootingDialog(*layout, mainWindow());
    Open_A_Form(dialog, true);
    dialog->deleteLater();
    return false;
}

} // namespace wizard
