// AboutDialog.cpp: layout and link handling of the about box.
#include "foldersize/ui/services/AboutDialog.h"

#include "foldersize/services/Internet.h"
#include "foldersize/services/TallymoorAddresses.h"

#include <QGridLayout>
#include <QMouseEvent>
#include <QPushButton>
#include <QVBoxLayout>

namespace foldersize {

QString aboutVersionText(int major, int minor, int revision)
{
    QString text = QStringLiteral("Version %1.%2").arg(major).arg(minor);
    if (revision > 0)
        text += QStringLiteral(" Build %1").arg(revision);
    return text;
}

void ClickLabel::mouseReleaseEvent(QMouseEvent* event)
{
    QLabel::mouseReleaseEvent(event);
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
        emit clicked(m_index);
}

AboutDialog::Texts AboutDialog::defaultTexts()
{
    return {QLatin1String(addresses::kScheme) + QStringLiteral("://") + QLatin1String(addresses::kWebHost),
        QLatin1String(addresses::kFeedbackMail),
        QStringLiteral("Zeigt die Größe von Ordnern und ihren Unterordnern."),
        QStringLiteral("Vorschläge und Fehlerberichte sind willkommen.")};
}

AboutDialog::AboutDialog(int major, int minor, int revision, Texts texts, DialogHooks hooks, QWidget* parent)
    : QDialog(parent)
    , m_texts(std::move(texts))
    , m_hooks(std::move(hooks))
{
    setWindowTitle(QStringLiteral("Info"));
    setAttribute(Qt::WA_DeleteOnClose, false);
    QFont arial(QStringLiteral("Arial"));
    setFont(arial);

    const auto addLabel = [this](int index, const QString& text) {
        auto* label = new ClickLabel(index, text, this);
        connect(label, &ClickLabel::clicked, this, &AboutDialog::Label1_Click);
        m_labels.insert(index, label);
        return label;
    };
    QLabel* name = addLabel(0, QStringLiteral("Tallymoor "));
    QFont bold = name->font();
    bold.setBold(true);
    bold.setPointSizeF(bold.pointSizeF() * 1.5);
    name->setFont(bold);
    addLabel(1, aboutVersionText(major, minor, revision));
    addLabel(8, QStringLiteral("Web:"));
    addLabel(2, m_texts.webAddress);
    addLabel(12, QStringLiteral("Feedback:"));
    addLabel(11, m_texts.feedbackMail);
    addLabel(3, m_texts.line3);
    addLabel(5, m_texts.line5);
    for (int link : {2, 11}) {
        QPalette palette = m_labels[link]->palette();
        palette.setColor(QPalette::WindowText, palette.color(QPalette::Highlight));
        m_labels[link]->setPalette(palette);
        m_labels[link]->setCursor(Qt::PointingHandCursor);
    }

    m_cmdOK = new QPushButton(QStringLiteral("&OK"), this);

    m_cmdOK->setObjectName(QStringLiteral("cmdOK"));
    m_cmdOK->setDefault(true);
    connect(m_cmdOK, &QPushButton::clicked, this, &QDialog::accept);

    auto* grid = new QGridLayout;
    grid->addWidget(m_labels[8], 0, 0);
    grid->addWidget(m_labels[2], 0, 1);
    grid->addWidget(m_labels[12], 1, 0);
    grid->addWidget(m_labels[11], 1, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_labels[0]);
    layout->addWidget(m_labels[1]);
    layout->addWidget(m_labels[3]);
    layout->addWidget(m_labels[5]);
    layout->addLayout(grid);
    layout->addWidget(m_cmdOK, 0, Qt::AlignRight);
}

void AboutDialog::Label1_Click(int Index)
{
    if (Index == 2) {
        QString address = m_texts.webAddress;
        StartURL(address);
    } else if (Index == 11) {
        SendEmail(m_texts.feedbackMail, QStringLiteral("Feedback Tallymoor"), QString());
    }
}

} // namespace foldersize
