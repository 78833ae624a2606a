// MigrationReport.cpp: the per-item tally of the script actions and the report of a migration run.
#include "wizard/transfer/MigrationReport.h"

#include "platform/CodePage.h"
#include "platform/RegFile.h"
#include "wizard/core/AppPath.h"
#include "wizard/core/WizardState.h"
#include "wizard/transfer/RegistryReaders.h"
#include "wizard/transfer/TransferPlatform.h"
#include "wizard/transfer/TransferText.h"

namespace wizard {

namespace transfer {

namespace {
ItemTally* g_currentTally = nullptr;

// Where an item keeps the files it replaces until it ends: the working folder, which the wizard
// empties at its start and end.
std::string keptCopyPath()
{
    static unsigned s_next = 0;
    return AppPath + "\\temp\\Kept\\" + std::to_string(++s_next) + ".kept";
}

bool startsWithFolder(const std::string& folded, const std::string& folder)
{
    return folded.size() > folder.size() && folded.compare(0, folder.size(), folder) == 0 &&
        folded[folder.size()] == '\\';
}
} // namespace

ItemTally::ItemTally()
    : m_halted(std::make_shared<std::atomic<bool>>(false))
{}

ItemTally::~ItemTally()
{
    for (const KeptFile& kept : m_keptFiles)
        if (!kept.copy.empty())
            deleteFile(kept.copy, true);
}

void ItemTally::note(TransferOutcome outcome)
{
    switch (outcome) {
    case TransferOutcome::Migrated: ++m_migrated; break;
    case TransferOutcome::NotFound: ++m_notFound; break;
    case TransferOutcome::Failed: ++m_failed; break;
    }
}

void ItemTally::noteFailedStep(const std::string& step)
{
    if (m_failedStep.empty())
        m_failedStep = step;
}

void ItemTally::notePassedOver(const std::string& entry)
{
    m_passedOver += (m_passedOver.empty() ? "Not copied : " : "; Not copied : ") + entry;
}

TransferOutcome ItemTally::verdict() const
{
    if (m_failed > 0 || !m_failedStep.empty())
        return TransferOutcome::Failed;
    if (m_notFound > 0 && m_migrated == 0)
        return TransferOutcome::NotFound;
    return TransferOutcome::Migrated;
}

void ItemTally::keepKeyBefore(const std::string& key)
{
    platform::Registry* registry = machineRegistry();
    if (!registry || m_refused)
        return;
    // A key kept already, or one inside a kept key, goes back with it.
    for (const auto& kept : m_keptKeys) {
        const std::string& k = kept.first;
        if (platform::equalsNoCase(k, key) ||
            (key.size() > k.size() && key[k.size()] == '\\' &&
                platform::equalsNoCase(k, std::string_view(key).substr(0, k.size()))))
            return;
    }
    std::string text;
    if (platform::exportRegText(*registry, key, platform::RegFileFormat::Regedit4, text) ==
        platform::WinError::Success) {
        m_keptKeys.emplace_back(key, std::move(text));
        return;
    }
    // A key the import makes: the first of its parents that is missing goes again at a refusal.
    std::string missing = key;
    for (std::size_t cut = key.find('\\', key.find('\\') + 1); cut != std::string::npos;
         cut = key.find('\\', cut + 1))
        if (!registryKeyExists(key.substr(0, cut))) {
            missing = key.substr(0, cut);
            break;
        }
    m_keptKeys.emplace_back(missing, std::string());
}

void ItemTally::restoreKeptKeys()
{
    platform::Registry* registry = machineRegistry();
    if (!registry)
        return;
    // The latest first, so that a key kept inside an earlier one ends as it was before both.
    for (auto kept = m_keptKeys.rbegin(); kept != m_keptKeys.rend(); ++kept) {
        platform::RegRoot root{};
        std::string subKey;
        if (!platform::splitRegPath(kept->first, root, subKey) || subKey.empty())
            continue;
        registry->deleteTree(platform::RegKey(root), subKey);
        platform::RegFileMergeReport report;
        if (!kept->second.empty())
            platform::mergeRegText(*registry, kept->second, report);
    }
    m_keptKeys.clear();
}

bool ItemTally::keptAlready(const std::string& path) const
{
    const std::string folded = platform::foldCase(path);
    if (m_keptPaths.count(folded) != 0)
        return true;
    for (const std::string& folder : m_madeFolders)
        if (startsWithFolder(folded, folder))
            return true;
    return false;
}

bool ItemTally::keepFileBefore(const std::string& target)
{
    if (keptAlready(target))
        return true;
    KeptFile kept{target, {}, false};
    if (fileExists(target)) {
        kept.copy = keptCopyPath();
        makeSurePathExists(kept.copy.substr(0, kept.copy.rfind('\\') + 1));
        if (copyFile(target, kept.copy, true) != FsError::None)
            return false;
    }
    m_keptPaths.insert(platform::foldCase(target));
    m_keptFiles.push_back(std::move(kept));
    return true;
}

void ItemTally::keepFolderBefore(const std::string& folder)
{
    std::string missing;
    std::string path = folder;
    while (!path.empty() && path.back() == '\\')
        path.pop_back();
    // The first missing folder from the drive root down.
    for (std::size_t cut = path.find('\\'); !path.empty(); cut = path.find('\\', cut + 1)) {
        const std::string part = path.substr(0, cut);
        if (part.size() > 2 && !folderExists(part)) {
            missing = part;
            break;
        }
        if (cut == std::string::npos)
            break;
    }
    if (!missing.empty())
        noteMade(missing, true);
}

void ItemTally::noteMade(const std::string& path, bool folder)
{
    if (keptAlready(path))
        return;
    const std::string folded = platform::foldCase(path);
    m_keptPaths.insert(folded);
    if (folder)
        m_madeFolders.push_back(folded);
    m_keptFiles.push_back({path, {}, folder});
}

void ItemTally::restoreKeptFiles()
{
    for (auto kept = m_keptFiles.rbegin(); kept != m_keptFiles.rend(); ++kept) {
        if (kept->folder) {
            deleteFolder(kept->path, true);
        } else if (kept->copy.empty()) {
            deleteFile(kept->path, true);
        } else {
            copyFile(kept->copy, kept->path, true);
            deleteFile(kept->copy, true);
        }
    }
    m_keptFiles.clear();
    m_keptPaths.clear();
    m_madeFolders.clear();
}

ItemTally* currentItemTally() { return g_currentTally; }

void noteItemFailure(const std::string& step)
{
    if (ItemTally* tally = currentItemTally()) {
        tally->note(TransferOutcome::Failed);
        tally->noteFailedStep(step);
    } else {
        MassItemsNotCopied = true;
    }
}

void refusePath(const std::string& process, const std::string& path, const std::string& why)
{
    const std::string text = "Refused : " + transferGlobals().driveMap.sourcePathOf(path) + " : " + why;
    writeTransferLog(process, text);
    noteItemFailure(text);
    if (ItemTally* tally = currentItemTally(); tally && !tally->refused()) {
        tally->noteRefused();
        tally->restoreKeptKeys();
        tally->restoreKeptFiles();
    }
}

ItemTallyScope::ItemTallyScope(ItemTally& tally)
    : m_previous(g_currentTally)
{
    g_currentTally = &tally;
}

ItemTallyScope::~ItemTallyScope() { g_currentTally = m_previous; }

} // namespace transfer

using transfer::TransferOutcome;

namespace {

// The group and the item folded: items of a group compare without regard to case.
std::string indexKey(ReportGroup group, std::string_view item)
{
    return std::to_string(static_cast<int>(group)) + '|' + platform::foldCase(item);
}

} // namespace

std::string_view groupCaption(ReportGroup group)
{
    switch (group) {
    case ReportGroup::Applications: return "Applications";
    case ReportGroup::Settings: return "Settings";
    case ReportGroup::FilesAndFolders: return "Files and Folders";
    }
    return "";
}

std::string_view outcomeText(TransferOutcome outcome)
{
    switch (outcome) {
    case TransferOutcome::Migrated: return "Migrated";
    case TransferOutcome::NotFound: return "Not found";
    case TransferOutcome::Failed: return "Failed";
    }
    return "";
}

void MigrationReport::clear()
{
    m_entries.clear();
    m_index.clear();
    m_historyLowered = false;
}

void MigrationReport::record(
    ReportGroup group, const std::string& item, TransferOutcome outcome, const std::string& detail)
{
    const auto [at, added] = m_index.emplace(indexKey(group, item), m_entries.size());
    if (!added) {
        m_entries[at->second].outcome = outcome;
        m_entries[at->second].detail = detail;
        return;
    }
    m_entries.push_back({group, item, outcome, detail});
}

void MigrationReport::reserve(std::size_t more)
{
    m_entries.reserve(m_entries.size() + more);
    m_index.reserve(m_index.size() + more);
}

const MigrationReport::Entry* MigrationReport::find(ReportGroup group, std::string_view item) const
{
    const auto at = m_index.find(indexKey(group, item));
    return at == m_index.end() ? nullptr : &m_entries[at->second];
}

int MigrationReport::count(TransferOutcome outcome) const
{
    int n = 0;
    for (const Entry& e : m_entries)
        n += e.outcome == outcome ? 1 : 0;
    return n;
}

MigrationReport& migrationReport()
{
    static MigrationReport report;
    return report;
}

} // namespace wizard
