// TreeOutput.cpp: save and print commands of the tree.
#include "foldersize/scanner/TreeOutput.h"

#include "foldersize/scanner/OutputDialogs.h"
#include "foldersize/scanner/TreeReport.h"

#include <QApplication>
#include <QFile>
#include <QFontDatabase>
#include <QPainter>
#include <QPrinter>

namespace foldersize {

namespace {

// Hourglass for the life of the object.
class WaitCursor {
public:
    WaitCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~WaitCursor() { QApplication::restoreOverrideCursor(); }
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;
};

} // namespace

bool printTreeLines(QPrinter& printer, const QStringList& lines)
{
    QPainter painter;
    if (!painter.begin(&printer))
        return false;
    QFont font(QStringLiteral("Courier New"), 8);
    font.setStyleHint(QFont::TypeWriter);
    font.setFixedPitch(true);
    if (!QFontInfo(font).fixedPitch()) {
        font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
        font.setPointSize(8);
    }
    painter.setFont(font);
    const QFontMetrics metrics = painter.fontMetrics();
    const int pageHeight = painter.viewport().height();
    int y = metrics.ascent();
    for (const QString& line : lines) {
        if (y + metrics.descent() > pageHeight) {
            if (!printer.newPage()) {
                painter.end();
                return false;
            }
            y = metrics.ascent();
        }
        painter.drawText(0, y, line);
        y += metrics.lineSpacing();
    }
    return painter.end();
}

TreeOutput::TreeOutput(FolderTree& tree, TreeOutputHost host, QWidget* dialogParent)
    : m_tree(tree)
    , m_host(std::move(host))
    , m_parent(dialogParent)
{}

void TreeOutput::save(const QString& procName, const std::function<QByteArray()>& report)
{
    WaitCursor wait;
    const QString fileName = outputDialogs().saveFileName(m_parent, kFilter, kDefaultName);
    if (fileName.isEmpty())
        return;
    if (m_host.disableControls)
        m_host.disableControls(false);
    QFile file(fileName);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        if (m_host.reportError)
            m_host.reportError(procName, 50, file.errorString());
    } else {
        const QByteArray bytes = report();
        if (file.write(bytes) != bytes.size() || !file.flush()) {
            if (m_host.reportError)
                m_host.reportError(procName, 60, file.errorString());
        }
        file.close();
    }
    if (m_host.enableControls)
        m_host.enableControls();
}

void TreeOutput::TreeViewSpeichern(const FolderNode* selected)
{
    if (!selected)
        return;
    FolderRoot* root = m_tree.rootOf(selected);
    if (!root)
        return;
    save(QStringLiteral("TreeViewSpeichern"), [root] { return reportForRoot(*root); });
}

void TreeOutput::TreeViewSpeichernAlle()
{
    if (m_tree.rootCount() == 0)
        return;
    save(QStringLiteral("TreeViewSpeichernAlle"), [this] { return reportForAllRoots(m_tree); });
}

void TreeOutput::TreeViewDrucken(const FolderNode* selected, int unit)
{
    if (!selected)
        return;
    FolderRoot* root = m_tree.rootOf(selected);
    if (!root)
        return;
    WaitCursor wait;
    QPrinter printer(QPrinter::HighResolution);
    if (!outputDialogs().choosePrinter(m_parent, printer))
        return;
    if (m_host.disableControls)
        m_host.disableControls(false);
    if (!printTreeLines(printer, printLinesForRoot(*root, unit))) {
        if (m_host.reportError)
            m_host.reportError(
                QStringLiteral("TreeViewDrucken"), 70, QStringLiteral("Der Drucker kann nicht drucken."));
    }
    if (m_host.enableControls)
        m_host.enableControls();
}

} // namespace foldersize
