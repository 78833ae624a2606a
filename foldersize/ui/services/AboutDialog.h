// AboutDialog.h: the about box: program name and version, a link to the maker's web site and a
// feedback mail link.
#pragma once

#include "foldersize/ui/services/DialogHooks.h"

#include <QDialog>
#include <QLabel>
#include <QMap>
#include <QString>

class QPushButton;

namespace foldersize {

// "Version " and major.minor, with " Build " and the revision when the revision is above 0.
QString aboutVersionText(int major, int minor, int revision);

// A label that reports clicks with its index in the dialog's label array.
class ClickLabel : public QLabel {
    Q_OBJECT
public:
    ClickLabel(int index, const QString& text, QWidget* parent)
        : QLabel(text, parent)
        , m_index(index)
    {}
signals:
    void clicked(int index);

protected:
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    int m_index;
};

class AboutDialog : public QDialog {
    Q_OBJECT
public:
    struct Texts {
        QString webAddress;   // the maker's web site
        QString feedbackMail; // feedback mail address
        QString line3;        // two further static lines
        QString line5;
    };

    AboutDialog(
        int major, int minor, int revision, Texts texts, DialogHooks hooks = {}, QWidget* parent = nullptr);

    // Label1(index) of the label array; nullptr for an index the dialog does not have.
    QLabel* Label1(int index) const { return m_labels.value(index); }

    // Index 2 opens the web address, index 11 a new feedback mail; other labels do nothing.
    void Label1_Click(int Index);

    // The texts the program shows (from the build's configured addresses).
    static Texts defaultTexts();

private:
    QMap<int, QLabel*> m_labels;
    QPushButton* m_cmdOK = nullptr;
    Texts m_texts;
    DialogHooks m_hooks;
};

} // namespace foldersize
