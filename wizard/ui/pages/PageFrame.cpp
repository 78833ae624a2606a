// PageFrame.cpp: Quick Help panel, accelerator forwarding and help of the step pages.
#include "wizard/ui/pages/PageFrame.h"

#include "platform/HelpViewer.h"
#include "platform/qt/QtHelpViewer.h"

#include <algorithm>

#include <QApplication>
#include <QIcon>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>

namespace wizard {

namespace {

BarClickHandler& installedHandler()
{
    static BarClickHandler handler;
    return handler;
}

const QColor kNavy(0, 0, 128);
const QColor kPanelGrey(224, 224, 224);

QFont verdana(double points, bool bold = false)
{
    QFont f("Verdana");
    f.setPointSizeF(points);
    f.setBold(bold);
    return f;
}

QLabel* panelLabel(QWidget* parent, const QString& name, const QRect& twipsRect, bool bold)
{
    auto* label = new QLabel(parent);
    label->setObjectName(name);
    label->setGeometry(
        twips(twipsRect.x()), twips(twipsRect.y()), twips(twipsRect.width()), twips(twipsRect.height()));
    label->setFont(verdana(8.25, bold));
    label->setWordWrap(true);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    label->setTextFormat(Qt::PlainText);
    return label;
}

// The page icon: drawn in its own colours also on a disabled frame (the mass page disables the
// frame that holds its title so that no one ticks a stage).
class PageIcon : public QLabel {
public:
    using QLabel::QLabel;

protected:
    void paintEvent(QPaintEvent*) override
    {
        const QPixmap shown = pixmap();
        if (shown.isNull())
            return;
        QRect target(QPoint(0, 0), shown.deviceIndependentSize().toSize());
        target.moveCenter(rect().center());
        QPainter(this).drawPixmap(target, shown);
    }
};

} // namespace

BarClickHandler setBarClickHandler(BarClickHandler handler)
{
    BarClickHandler previous = std::move(installedHandler());
    installedHandler() = std::move(handler);
    return previous;
}

void clickBarButton(BarButton button)
{
    // A copy: the handler may step the wizard, which may install another handler.
    BarClickHandler handler = installedHandler();
    if (handler)
        handler(button);
}

bool forwardToBar(BarButton button)
{
    if (!wizardWindows().buttonEnabled(button))
        return false;
    clickBarButton(button);
    return true;
}

QLabel* verdanaLabel(QWidget* parent, const QString& name, const QString& text, double points, bool bold)
{
    auto* label = new QLabel(text, parent);
    label->setObjectName(name);
    QFont f("Verdana");
    f.setPointSizeF(points);
    f.setBold(bold);
    label->setFont(f);
    label->setWordWrap(true);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    return label;
}

QLabel* addPageTitle(QWidget* page, const QString& labelName, const QString& text, const QString& icon,
    const TitleBandPlaces& places)
{
    QRect band = places.band.isNull() ? fromTwips({240, 120, 7200, 735}) : fromTwips(places.band);
    auto* box = new QFrame(page);
    box->setObjectName("Shape2");
    box->setStyleSheet("QFrame#Shape2 { background-color: white; border: 1px solid rgb(0, 0, 128);"
                       " border-radius: 8px; }");

    auto* image = new PageIcon(page);
    image->setObjectName("Image1");
    const int side = band.height() - 8;
    image->setGeometry(
        places.image.isNull() ? QRect(band.x() + 8, band.y() + 4, side, side) : fromTwips(places.image));
    image->setAlignment(Qt::AlignCenter);
    image->setPixmap(QIcon(":/pages/" + icon + ".svg").pixmap(image->size()));

    auto* title = new QLabel(text, page);
    title->setObjectName(labelName);
    title->setFont(verdana(15.75));
    QPalette pal = title->palette();
    pal.setColor(QPalette::WindowText, kNavy); // in every colour group: navy on a disabled page too
    title->setPalette(pal);
    const QSize hint = title->sizeHint();
    const int left = places.title.isNull() ? image->geometry().right() + 12 : twips(places.title.x());
    const int top = places.title.isNull() ? band.y() + (band.height() - hint.height()) / 2
                                          : std::min(twips(places.title.y()), band.bottom() - hint.height());
    const int width = std::max(hint.width(), band.right() - 8 - left);
    title->setGeometry(left, top, width, hint.height());
    // Our fonts may run wider than the design's: the box grows rather than cut the title off.
    band.setRight(std::max(band.right(), title->geometry().right() + 8));
    box->setGeometry(band);
    return title;
}

bool isBold(const QLabel* label) { return label->font().bold(); }

void setBold(QLabel* label, bool bold)
{
    QFont f = label->font();
    f.setBold(bold);
    label->setFont(f);
}

ClickLabel::ClickLabel(const QString& objectName, const QString& text, QWidget* parent)
    : QLabel(text, parent)
{
    setObjectName(objectName);
    setMouseTracking(true);
    setCursor(Qt::PointingHandCursor);
}

void ClickLabel::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton)
        emit clicked();
    event->accept();
}

void ClickLabel::mouseMoveEvent(QMouseEvent* event)
{
    emit hovered();
    event->accept();
}

QuickHelpPanel::QuickHelpPanel(QWidget* page, const QString& objectName, const QRect& g, const Names& names)
    : QFrame(page)
{
    setObjectName(objectName);
    setGeometry(twips(g.x()), twips(g.y()), twips(g.width()), twips(g.height()));
    setAutoFillBackground(true);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, kPanelGrey);
    pal.setColor(QPalette::WindowText, kNavy);
    setPalette(pal);
    setFrameShape(QFrame::Box);
    setMouseTracking(true);

    auto* caption = new QLabel("Quick Help", this);
    caption->setObjectName(objectName + "_Caption");
    caption->setFont(verdana(8.25, true));
    caption->setGeometry(twips(120), 2, twips(3000), twips(240));

    m_intro = panelLabel(this, names.intro, QRect(120, 360, 3135, 1575), false);
    m_title = panelLabel(this, names.title, QRect(120, 2640, 3135, 615), true);
    m_body = panelLabel(this, names.body, QRect(120, 3240, 3135, 2775), false);
    m_link = new ClickLabel(names.link, QString(), this);
    m_link->setGeometry(twips(120), twips(6000), twips(3375), twips(615));
    m_link->setFont(verdana(8.25));
    m_link->setWordWrap(true);
    m_link->setAlignment(Qt::AlignLeft | Qt::AlignTop);

    // The panel keeps to the page's right edge and height, whatever room the main window gives it.
    page->installEventFilter(this);

    auto* line = new QFrame(this);
    line->setObjectName("Line1");
    line->setFrameShape(QFrame::HLine);
    line->setGeometry(0, twips(2280) + 4, twips(g.width()), 2);
}

ClickLabel* QuickHelpPanel::addTopicBox(const QString& objectName, const QString& caption, int leftTwips)
{
    auto* box = new ClickLabel(objectName, caption, this);
    box->setGeometry(twips(leftTwips), twips(2040), twips(135) + 4, twips(255));
    box->setFont(verdana(8.25));
    QPalette pal = box->palette();
    pal.setColor(QPalette::WindowText, Qt::black);
    box->setPalette(pal);
    const std::size_t index = m_boxes.size();
    connect(box, &ClickLabel::clicked, this, [this, index] { emit topicClicked(index); });
    connect(box, &ClickLabel::hovered, this, [this, index] { emit topicHovered(index); });
    m_boxes.push_back(box);
    return box;
}

void QuickHelpPanel::markTopic(std::size_t index)
{
    for (std::size_t i = 0; i < m_boxes.size(); ++i)
        setBold(m_boxes[i], i == index);
}

void QuickHelpPanel::showTexts(const HelpTopic& topic)
{
    m_title->setText(topic.title);
    setBold(m_title, true);
    m_body->setText(topic.text);
}

void QuickHelpPanel::setLinkText(const QString& text)
{
    m_link->setText(text);
    QPalette pal = m_link->palette();
    pal.setColor(QPalette::WindowText, QColor(0, 0, 255));
    m_link->setPalette(pal);
    QFont f = m_link->font();
    f.setUnderline(true);
    m_link->setFont(f);
    keepLinkInside();
}

void QuickHelpPanel::keepLinkInside()
{
    // A panel shorter than the page may end before the link's second line in our fonts: the link
    // then moves up until its whole text shows.
    const int needed = std::max(m_link->height(), m_link->heightForWidth(m_link->width()));
    const int top = std::min(twips(6000), height() - needed - 2);
    m_link->setGeometry(m_link->x(), top, m_link->width(), needed);
}

bool QuickHelpPanel::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == parentWidget() && event->type() == QEvent::Resize) {
        const QWidget* page = parentWidget();
        setGeometry(page->width() - width(), 0, width(), m_followsHeight ? page->height() : height());
        keepLinkInside();
    }
    return QFrame::eventFilter(watched, event);
}

void QuickHelpPanel::mouseMoveEvent(QMouseEvent* event)
{
    emit backgroundHovered();
    QFrame::mouseMoveEvent(event);
}

StepPage::StepPage(KestroMain* main, const QString& formName, int helpTopic, QWidget* parent)
    : WizardPage(main, formName, parent)
    , m_helpTopic(helpTopic)
{
    platform::qt::setHelpTopic(this, helpTopic);
    setAutoFillBackground(true);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, Qt::white);
    setPalette(pal);
    setMouseTracking(true);
}

QPushButton* StepPage::addAccelerator(const QString& objectName, const QString& caption, BarButton b)
{
    auto* button = new QPushButton(caption, this);
    button->setObjectName(objectName);
    // Never seen: Alt+<key> reaches it through keyPressEvent, so that it never competes with the
    // main window's own button for the same key.
    button->hide();
    connect(button, &QPushButton::clicked, this, [b] { forwardToBar(b); });
    m_accelerators[b] = button;
    return button;
}

QPushButton* StepPage::addInertAccelerator(const QString& objectName, const QString& caption)
{
    auto* button = new QPushButton(caption, this);
    button->setObjectName(objectName);
    button->hide();
    m_inert.push_back(button);
    return button;
}

QPushButton* StepPage::addBarAccelerators()
{
    QPushButton* help = addAccelerator("Command1", "&Help", BarButton::Help);
    addAccelerator("Command2", "&Next", BarButton::Next);
    addAccelerator("Command3", "&Previous", BarButton::Back);
    addAccelerator("Command4", "&Cancel", BarButton::Cancel);
    return help;
}

QPushButton* StepPage::accelerator(BarButton b) const
{
    const auto it = m_accelerators.find(b);
    return it == m_accelerators.end() ? nullptr : it->second;
}

QPushButton* StepPage::addCmdLink(int topic, bool focusable)
{
    m_cmdLink = new QPushButton("Cmd_Link", this);
    m_cmdLink->setObjectName("Cmd_Link");
    platform::qt::setHelpTopic(m_cmdLink, topic);
    m_cmdLink->setFocusPolicy(focusable ? Qt::TabFocus : Qt::NoFocus);
    m_cmdLink->setGeometry(twips(9000), twips(4560), twips(975), twips(375));
    m_cmdLink->lower(); // under the Quick Help panel
    // One that never takes the focus is never seen either: a wider window would bring it out
    // from under the panel, which keeps to the page's right edge.
    m_cmdLink->setVisible(focusable);
    return m_cmdLink;
}

int StepPage::sendHelpKey()
{
    QWidget* focused = QApplication::focusWidget();
    if (!focused || !isAncestorOf(focused))
        focused = window()->focusWidget(); // the window's focus while it is not the active one
    return showHelpFor((focused && isAncestorOf(focused)) ? focused : this);
}

int StepPage::showHelpFor(const QWidget* control)
{
    int topic = platform::qt::helpTopicOf(control);
    if (topic == 0)
        topic = m_helpTopic;
    platform::helpService().showTopic(platform::applicationHelpFile(), topic);
    return topic;
}

void StepPage::keyPressEvent(QKeyEvent* event)
{
    const auto matches = [event](const QPushButton* button) {
        const QString caption = button->text();
        const int amp = caption.indexOf('&');
        return amp >= 0 && amp + 1 < caption.size() &&
            QKeySequence(Qt::ALT | event->key()) == QKeySequence::mnemonic(caption);
    };
    if (event->modifiers() == Qt::AltModifier) {
        for (const auto& [bar, button] : m_accelerators) {
            if (matches(button)) {
                button->click();
                event->accept();
                return;
            }
        }
        for (const QPushButton* button : m_inert) {
            if (matches(button)) {
                event->accept(); // taken here, so that it reaches no other button
                return;
            }
        }
    }
    QWidget::keyPressEvent(event);
}

void StepPage::paintEvent(QPaintEvent* event)
{
    WizardPage::paintEvent(event);
    if (!m_backdrop)
        return;
    if (m_backdropPixmap.size() != size())
        m_backdropPixmap = QIcon(":/pages/backdrop.svg").pixmap(size());
    QPainter painter(this);
    painter.drawPixmap(rect(), m_backdropPixmap);
}

void StepPage::connectPointer(QuickHelpPanel* panel)
{
    connect(panel, &QuickHelpPanel::topicHovered, this,
        [this](std::size_t) { setCursor(Qt::PointingHandCursor); });
    connect(panel, &QuickHelpPanel::backgroundHovered, this, [this] { setCursor(Qt::ArrowCursor); });
}

} // namespace wizard
