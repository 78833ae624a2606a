// FrmKestro.h: the about box of Help > About.
#pragma once

#include <QDialog>

class QLabel;
class QTextEdit;

namespace wizard {

// The description in the program's version information, which the about box shows.
inline constexpr const char* kFileDescription = "3.0.3 Build No. 6";

class FrmKestro : public QDialog {
    Q_OBJECT
public:
    explicit FrmKestro(QWidget* parent = nullptr);

    QString versionText() const;

private:
    void Form_Load();
    void cmdOk_Click();

    QTextEdit* m_about;
    QLabel* m_version;
};

} // namespace wizard
