// FrmKestro.cpp: the about box: notice, version from the program's version information, Ok.
#include "wizard/ui/core/FrmKestro.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QTextEdit>
#include <QVBoxLayout>

namespace wizard {

FrmKestro::FrmKestro(QWidget* parent)
    : QDialog(parent)
{
    setObjectName("frmkestro");
    setWindowTitle("About Kestro");
    setModal(true);
    auto* v = new QVBoxLayout(this);
    auto* product = new QLabel("Kestro", this);
    QFont f = product->font();
    f.setPointSize(f.pointSize() * 2);
    f.setBold(true);
    product->setFont(f);
    v->addWidget(product);

    m_about = new QTextEdit(this);
    m_about->setObjectName("txt_About");
    m_about->setReadOnly(true);
    m_about->setPlainText(" \r\n\r\n");
    v->addWidget(m_about);

    auto* frame = new QGroupBox(this);
    auto* row = new QHBoxLayout(frame);
    auto* lblVersion = new QLabel("Version :", frame);
    lblVersion->setObjectName("lblVersion");
    m_version = new QLabel(frame);
    m_version->setObjectName("LblVer");
    row->addWidget(lblVersion);
    row->addWidget(m_version, 1);
    v->addWidget(frame);

    auto* ok = new QPushButton("&Ok", this);
    ok->setObjectName("cmdOk");
    ok->setDefault(true);
    v->addWidget(ok, 0, Qt::AlignRight);
    connect(ok, &QPushButton::clicked, this, [this] { cmdOk_Click(); });
    Form_Load();
}

void FrmKestro::Form_Load() { m_version->setText(kFileDescription); }

void FrmKestro::cmdOk_Click() { accept(); }

QString FrmKestro::versionText() const { return m_version->text(); }

} // namespace wizard
