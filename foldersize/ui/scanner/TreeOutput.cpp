// TreeOutput.cpp: save and print commands of the tree.
#include "foldersize/ui/scanner/TreeOutput.h"

#include "foldersize/scanner/TreeReport.h"
#include "foldersize/ui/scanner/OutputDialogs.h"
#include "foldersize/ui/scanner/YieldClock.h"

#include <algorithm>

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

QFont printFont()
{
    QFont font(QStringLiteral("Courier New"), 8);
    font.setStyleHint(QFont::TypeWriter);
    font.setFixedPitch(true);
    if (!QFontInfo(font).fixedPitch()) {
        font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
        font.setPointSize(8);
    }
    return font;
}

int printLineChars(QPrinter& printer)
{
    const QFontMetricsF metrics(printFont(), &printer);
    // The widest of the characters a line holds, in case a fall-back font is wider.
    qreal advance = 1;
    for (const QChar c : {QChar(u'W'), QChar(u'0'), QChar(0x2026)})
        advance = std::max(advance, metrics.horizontalAdvance(c));
    const qreal width = printer.pageLayout().paintRectPixels(printer.resolution()).width();
    return std::max(10, static_cast<int>(width / advance));
}

bool printTreeLines(QPrinter& printer, const QStringList& lines, YieldClock* clock)
{
    const int width = printLineChars(printer);
    QPainter painter;
    if (!painter.begin(&printer))
        return false;
    painter.setFont(printFont());
    const QFontMetrics metrics = painter.fontMetrics();
    const int pageHeight = painter.viewport().height();
    int y = metrics.ascent();
    for (const QString& line : lines) {
        for (const QString& row : printRows(line, width)) {
            if (y + metrics.descent() > pageHeight) {
                if (!printer.newPage()) {
                    painter.end();
                    return false;
                }
                y = metrics.ascent();
            }
            painter.drawText(0, y, row);
            y += metrics.lineSpacing();
            if (clock)
                clock->poll();
        }
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
    // A deep tree prints thousands of long lines: the window gets its turn meanwhile (the busy
    // state keeps other work out) and each line is at most three rows.
    YieldClock clock(kPrintYieldMs, [] { QCoreApplication::processEvents(); });
    const QStringList lines = printLinesForRoot(*root, unit, QLocale(), 3 * printLineChars(printer));
    if (!printTreeLines(printer, lines, &clock)) {
        if (m_host.reportError)
            m_host.reportError(
                QStringLiteral("TreeViewDrucken"), 70, QStringLiteral("Der Drucker kann nicht drucken."));
    }
    if (m_host.enableControls)
        m_host.enableControls();
}

} // namespace foldersize
