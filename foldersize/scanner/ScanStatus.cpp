// ScanStatus.cpp: the status text after a scan.
#include "foldersize/scanner/ScanStatus.h"

namespace foldersize {

QString scanStatusText(const ScanStatistics& stats)
{
    QString text = stats.stopped ? QStringLiteral("Abgebrochen: die angezeigten Größen sind unvollständig.")
                                 : QStringLiteral("OK.");
    if (stats.unreadableFolders > 0)
        text += QStringLiteral(" %1 Ordner konnten nicht gelesen werden; ihre Größen fehlen.")
                    .arg(static_cast<qulonglong>(stats.unreadableFolders));
    if (stats.repeatedFolders > 0)
        // A folder reached in two places (a bind mount) counts, and stands in the tree, where the
        // walk in name order meets it first.
        text +=
            QStringLiteral(" %1 Ordner %2 schon an anderer Stelle im Baum (z. B. Bind-Mount) und nur dort "
                           "gezählt.")
                .arg(static_cast<qulonglong>(stats.repeatedFolders))
                .arg(stats.repeatedFolders == 1 ? QStringLiteral("war") : QStringLiteral("waren"));
    if (stats.skippedPseudo > 0)
        text +=
            QStringLiteral(" Systemdateisysteme (z. B. /proc, /sys) wurden übersprungen und nicht gemessen.");
    return text;
}

void addStatistics(ScanStatistics& total, const ScanStatistics& one)
{
    total.entries += one.entries;
    total.folders += one.folders;
    total.unreadableFolders += one.unreadableFolders;
    total.skippedPseudo += one.skippedPseudo;
    total.skippedRepeats += one.skippedRepeats;
    total.repeatedFolders += one.repeatedFolders;
    total.folderEntryBytes += one.folderEntryBytes;
    total.stopped = total.stopped || one.stopped;
}

} // namespace foldersize
