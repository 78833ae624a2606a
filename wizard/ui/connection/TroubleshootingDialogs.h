// TroubleshootingDialogs.h: the dialogs that explain a failed connection check: the problem, the
// numbered things to check with their help topics, and the way back to the wizard or out of it.
#pragma once

#include <QDialog>

#include <functional>
#include <string>
#include <vector>

class QLabel;
class QPushButton;

namespace wizard {

// One numbered check. `link` names the link button that carries the check's help topic; a check
// without one is plain text unless its dialog makes plain checks open their topic.
struct TroubleStep {
    const char* text;
    int topic; // 0: the check opens nothing
    const char* link = "";
};

// A command button: object name, caption and the help topic it carries.
struct TroubleButton {
    const char* name;
    const char* caption;
    int topic;
};

// The fixed contents of one dialog.
struct TroubleDialogLayout {
    const char* formName;
    const char* title;
    const char* headline;
    TroubleButton back;     // Back or Continue: closes the dialog
    TroubleButton moreHelp; // "&Need More Help"; an empty name when the dialog has none
    TroubleButton close;    // Close or Cancel: the exit routine
    std::vector<TroubleStep> steps;
    const char* footer = "";                // a line below the checks
    bool plainStepsOpenTopic = false;       // a click on a check without a link opens its topic
    int moreHelpActsAsStep = -1;            // "&Need More Help" does what a click on this check does
    bool moreHelpFollowsConnection = false; // "&Need More Help" opens the connection type's topic
    bool animatedBack = false;              // the Back button shows a small picture
};

// The eleven dialogs, and one by its form name (nullptr for an unknown name).
const std::vector<TroubleDialogLayout>& troubleshootingDialogs();
const TroubleDialogLayout* troubleshootingDialog(const std::string& formName);

// One troubleshooting dialog, built from its TroubleDialogLayout. The object names are the form's and its
// controls': LblTitle, LblStep1.., the buttons' and the link buttons' names; every button has a
// "helpContextId" property. Help opens through the platform's help service at the program's help
// file; Close runs `exitRoutine` (the wizard's exit routine by default) and ends the program when
// it answers true, else the dialog stays.
class TroubleshootingDialog : public QDialog {
    Q_OBJECT
public:
    TroubleshootingDialog(
        const TroubleDialogLayout& layout, QWidget* owner, std::function<bool()> exitRoutine = {});

    const TroubleDialogLayout& layout() const { return m_layout; }

    // A click on check `index` (0-based): focuses its link button, gives it the check's topic and
    // opens it; plain checks open their topic only where the dialog says so.
    void clickStep(std::size_t index);
    void needMoreHelp();
    void closeWizard();

protected:
    bool event(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void build();
    QPushButton* addButton(const TroubleButton& button, int left, int top);
    QPushButton* linkButton(const char* name) const;

    TroubleDialogLayout m_layout;
    std::function<bool()> m_exitRoutine;
    std::vector<QLabel*> m_steps;
};

// Opens the dialog `formName` modally, owned by the main window, and returns when it is closed (or
// at once when its Close button ends the program). Always false, so that the calling operation
// keeps the wizard on its page; false too for an unknown form.
bool Show_Troubleshooting_Dialog(const std::string& formName);

} // namespace wizard
