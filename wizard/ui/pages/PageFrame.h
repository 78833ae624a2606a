// PageFrame.h: what every step page of the wizard shares: the Quick Help panel with its numbered
// topics, the hidden accelerator buttons that forward to the main window's button bar, and help.
#pragma once

#include "wizard/core/WizardWindows.h"
#include "wizard/ui/core/WizardPage.h"

#include <QFrame>
#include <QLabel>
#include <QPixmap>
#include <QPointer>
#include <QWidget>

#include <functional>
#include <map>
#include <vector>

class QPushButton;

namespace wizard {

// Design units of the page layouts (twips) in pixels.
constexpr int twips(int t) { return t / 15; }
inline QRect fromTwips(const QRect& t)
{
    return {twips(t.x()), twips(t.y()), twips(t.width()), twips(t.height())};
}

// The main window's public button handlers (Btn_Next_Click, Btn_Back_Click, Btn_Help_Click,
// Cancel_Click, Btn_Migrate_Click) as the pages reach them; the program installs the main window's,
// tests a recorder. Without a handler a click does nothing.
using BarClickHandler = std::function<void(BarButton)>;
BarClickHandler setBarClickHandler(BarClickHandler handler);
// Calls the main window's handler of `button` (whatever its state).
void clickBarButton(BarButton button);

// The accelerator rule: the main window's handler runs only while its button is enabled (its
// visibility is not looked at). Answers whether it ran.
bool forwardToBar(BarButton button);

// A label that reports clicks and mouse moves (the Quick Help topic boxes and help links).
class ClickLabel : public QLabel {
    Q_OBJECT
public:
    ClickLabel(const QString& objectName, const QString& text, QWidget* parent);
signals:
    void clicked();
    void hovered();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
};

// One topic of a Quick Help panel: the text for the title label and for the body label, trailing
// line breaks included.
struct HelpTopic {
    QString title;
    QString text;
};

// The "Quick Help" panel at a page's right edge: introduction, a row of numbered topic boxes, the
// topic title and body, and the help link.
class QuickHelpPanel : public QFrame {
    Q_OBJECT
public:
    struct Names {
        QString intro, title, body, link;
    };
    // `geometry` in twips on the page.
    QuickHelpPanel(QWidget* page, const QString& objectName, const QRect& twipsGeometry, const Names& names);

    // Adds topic box `caption` ("1", "2" ...) at `leftTwips` in the box row.
    ClickLabel* addTopicBox(const QString& objectName, const QString& caption, int leftTwips);
    const std::vector<ClickLabel*>& topicBoxes() const { return m_boxes; }

    QLabel* intro() const { return m_intro; }
    QLabel* title() const { return m_title; }
    QLabel* body() const { return m_body; }
    ClickLabel* link() const { return m_link; }

    // Box `index` (0-based) bold, every other box regular.
    void markTopic(std::size_t index);
    // Title (made bold) and body of a topic.
    void showTexts(const HelpTopic& topic);
    // The help link's text, blue and underlined.
    void setLinkText(const QString& text);
    // The panel keeps to the page's right edge; by default it is as high as the page, with
    // false it keeps its own height (a page that shows a control beneath it).
    void setFollowsPageHeight(bool follows) { m_followsHeight = follows; }

signals:
    void topicClicked(std::size_t index);
    void topicHovered(std::size_t index);
    void backgroundHovered();

protected:
    void mouseMoveEvent(QMouseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void keepLinkInside();

    QLabel* m_intro;
    QLabel* m_title;
    QLabel* m_body;
    ClickLabel* m_link;
    std::vector<ClickLabel*> m_boxes;
    bool m_followsHeight = true;
};

// A page's word-wrapped label in Verdana at `points`, its text at the top left (a centred caption
// in a taller box would sink below its place onto the controls under it). The caller places it.
QLabel* verdanaLabel(QWidget* parent, const QString& name, const QString& text, double points, bool bold);

// Where a page places the parts of its title band, in twips on the page. A null member keeps the
// common place: the box 240 in and 120 down, 7200 by 735; the icon at the box's left; the title
// beside the icon, centred in the box's height.
struct TitleBandPlaces {
    QRect band;   // Shape2
    QRect image;  // Image1
    QPoint title; // the title's top left
};

// The title band every step page carries at its top left: the white rounded box "Shape2" with a navy
// border, the page icon "Image1" (`icon` names one of the page images: "preparatory", "required",
// "migration", "connection") and the title label `labelName` in navy Verdana 15.75, one line, inside
// the box. A box too narrow for its title in our fonts grows to the right until the title fits.
QLabel* addPageTitle(QWidget* page, const QString& labelName, const QString& text, const QString& icon,
    const TitleBandPlaces& places = {});

// Bold state of a label's font.
bool isBold(const QLabel* label);
void setBold(QLabel* label, bool bold);

// Base of the step pages: a page of the main window (created once on first use, its constructor is
// the page's load; then hidden and shown, activated() running on every showing). The page's hidden accelerator buttons forward Alt+<key> pressed inside the page to the
// main window's buttons while those are enabled.
class StepPage : public WizardPage {
    Q_OBJECT
public:
    // `main` may be null (a page shown on its own, as in tests).
    StepPage(KestroMain* main, const QString& formName, int helpTopic, QWidget* parent);

    int helpTopic() const { return m_helpTopic; }

    // "F1": opens the help at the topic of the focused control of this page when it has one,
    // else at the page's topic. Answers the topic shown.
    int sendHelpKey();
    // Opens the help at the topic of `control` (its own, else its page's). Answers the topic shown.
    int showHelpFor(const QWidget* control);

protected:
    // The accelerator buttons by bar button (hidden; captions "&Help", "&Next" ...).
    QPushButton* accelerator(BarButton b) const;
    QPushButton* cmdLink() const { return m_cmdLink; }
    // Adds a hidden accelerator button; its click forwards to the bar button while that is enabled.
    QPushButton* addAccelerator(const QString& objectName, const QString& caption, BarButton b);
    // Adds a hidden button whose access key the page takes and does nothing with.
    QPushButton* addInertAccelerator(const QString& objectName, const QString& caption);
    // The four accelerators of the button bar (Alt+H, Alt+N, Alt+P, Alt+C); answers the Help one.
    QPushButton* addBarAccelerators();
    // The help command carrying `topic`; it takes the focus only when `focusable`.
    QPushButton* addCmdLink(int topic, bool focusable);
    void keyPressEvent(QKeyEvent* event) override;
    // The hand pointer over a clickable topic box, the default pointer over the panel.
    void connectPointer(QuickHelpPanel* panel);
    // Paints the common backdrop picture across the page, behind every control.
    void showBackdrop() { m_backdrop = true; }
    void paintEvent(QPaintEvent* event) override;

private:
    int m_helpTopic;
    std::map<BarButton, QPushButton*> m_accelerators;
    std::vector<QPushButton*> m_inert;
    QPushButton* m_cmdLink = nullptr;
    bool m_backdrop = false;
    QPixmap m_backdropPixmap; // drawn for the page's current size
};

} // namespace wizard
