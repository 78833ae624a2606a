// FolderMerger.cpp: taking listings up into the tree, repeated folders and files, folder sums.
#include "foldersize/scanner/FolderMerger.h"

#include <algorithm>

namespace foldersize {

FolderMerger::FolderMerger(FolderNode* root, std::shared_ptr<FolderListing> rootListing, FileId rootId,
    ScanStatistics& stats, std::size_t& finishedRootChildren)
    : m_root(root)
    , m_stats(stats)
    , m_finishedRootChildren(finishedRootChildren)
{
    root->state = ScanState::Created;
    ++m_stats.folders;
    if (rootListing->readable && !rootListing->pseudo)
        m_seenFolders.insert(rootId);
    m_stack.push_back({root, std::move(rootListing), rootId});
}

FolderMerger::~FolderMerger() { stop(); }

int FolderMerger::takeUp()
{
    Frame& f = m_stack.back();
    FolderListing& l = *f.listing;
    FolderNode* n = f.node;
    f.takenUp = true;
    if (!l.readable) {
        n->readable = false;
        ++m_stats.unreadableFolders;
        m_stats.problems.push_back({n->path(), std::move(l.failedEntry), l.error});
    }
    if (l.pseudo)
        ++m_stats.skippedPseudo;
    m_stats.entries += l.entries;
    m_stats.folderEntryBytes += l.folderEntryBytes;
    n->ownBytes = l.ownBytes;
    n->ownFiles = l.ownFiles;
    // A file with several hard links counts once, where the walk meets it first.
    for (const FolderListing::LinkedFile& file : l.linkedFiles) {
        if (!m_seenLinkedFiles.insert(file.id).second) {
            ++m_stats.skippedRepeats;
            continue;
        }
        n->ownBytes = addSaturated(n->ownBytes, file.size);
        ++n->ownFiles;
    }
    const std::size_t work = 1 + (l.linkedFiles.size() + l.subfolders.size()) / 64;
    l.linkedFiles = {};
    // A folder reached twice (a bind mount) is measured once only, at the first place in name
    // order; the listing is in name order, as sortChildren() would put the children.
    std::size_t kept = 0;
    for (FolderListing::Subfolder& sub : l.subfolders) {
        if (!m_seenFolders.insert(sub.id).second) {
            ++m_stats.skippedRepeats;
            ++m_stats.repeatedFolders;
            continue;
        }
        if (!sub.listing)
            sub.listing = sub.sameAs.lock();
        sub.sameAs.reset();
        n->addChild(std::move(sub.name));
        if (&l.subfolders[kept] != &sub)
            l.subfolders[kept] = std::move(sub);
        ++kept;
    }
    l.subfolders.resize(kept);
    m_stats.folders += kept;
    return static_cast<int>(std::min<std::size_t>(work, 1u << 16));
}

FolderListing::Subfolder* FolderMerger::nextChild()
{
    Frame& f = m_stack.back();
    return f.nextChild < f.listing->subfolders.size() ? &f.listing->subfolders[f.nextChild] : nullptr;
}

void FolderMerger::enter()
{
    Frame& f = m_stack.back();
    const std::size_t i = f.nextChild++;
    FolderListing::Subfolder& sub = f.listing->subfolders[i];
    if (!sub.listing) {
        // A place that only referred to a listing no one holds any more: nothing can be shown.
        sub.listing = std::make_shared<FolderListing>();
        sub.listing->readable = false;
        sub.listing->done.store(true);
    }
    Frame child{f.node->child(i), sub.listing, sub.id};
    m_stack.push_back(std::move(child));
}

FolderNode* FolderMerger::close()
{
    Frame& f = m_stack.back();
    FolderNode* n = f.node;
    n->totalBytes = addSaturated(n->ownBytes, f.childBytes);
    n->totalFiles = n->ownFiles + f.childFiles;
    m_stack.pop_back();
    if (!m_stack.empty()) {
        Frame& parent = m_stack.back();
        parent.childBytes = addSaturated(parent.childBytes, n->totalBytes);
        parent.childFiles += n->totalFiles;
        // The subtree is in the tree now (or its readers have ended): its listing can go.
        parent.listing->subfolders[parent.nextChild - 1].listing.reset();
    }
    return n;
}

void FolderMerger::leave()
{
    close()->state = ScanState::Done;
    if (!m_stack.empty() && m_stack.back().node == m_root)
        ++m_finishedRootChildren;
}

void FolderMerger::stop()
{
    // The innermost folder keeps what was read of it so far, its subfolders as unfinished ones.
    if (!m_stack.empty() && !m_stack.back().takenUp) {
        sortSubfolders(*m_stack.back().listing);
        takeUp();
    }
    // Listings taken up may hold a folder met before, which may hold them in turn: let go of
    // their subfolders so no such ring outlives the scan.
    while (!m_stack.empty()) {
        const std::shared_ptr<FolderListing> listing = m_stack.back().listing;
        close();
        listing->subfolders.clear();
    }
}

} // namespace foldersize
