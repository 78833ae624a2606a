// FolderCombo.cpp: adding, finding and reading the folder combo's items.
#include "foldersize/ui/scanner/FolderCombo.h"

#include <QComboBox>
#include <QSet>

#include "foldersize/scanner/FileSystem.h"
#include "foldersize/scanner/FolderQueue.h"

namespace foldersize {
namespace {

// Item data: the tag (path that is measured), the key and the pictures.
constexpr int kTagRole = Qt::UserRole + 1;
constexpr int kKeyRole = Qt::UserRole + 2;
constexpr int kImageRole = Qt::UserRole + 3;
constexpr int kSelectedImageRole = Qt::UserRole + 4;
constexpr int kFolderImage = 8;

QByteArray toBytes(const std::string& s) { return QByteArray(s.data(), static_cast<qsizetype>(s.size())); }

} // namespace

FolderCombo::FolderCombo(QComboBox* combo, QVector<QIcon> pictures)
    : m_combo(combo)
    , m_pictures(std::move(pictures))
{}

void FolderCombo::addDrives(const std::vector<DriveInfo>& drives)
{
    for (const DriveInfo& d : drives) {
        const int image = driveImage(d);
        m_combo->addItem(m_pictures.value(image), driveText(d));
        const int row = m_combo->count() - 1;
        m_combo->setItemData(row, toBytes(d.root), kTagRole);
        m_combo->setItemData(row, toBytes(d.root), kKeyRole);
        m_combo->setItemData(row, image, kImageRole);
        m_combo->setItemData(row, image, kSelectedImageRole);
        if (d.root == "/")
            m_combo->setCurrentIndex(row);
    }
}

void FolderCombo::addSavedFolders(const QStringList& folders)
{
    // The keys present are gathered once, so that a long history is added in one pass.
    QSet<QByteArray> keys;
    for (int i = 0; i < m_combo->count(); ++i)
        keys.insert(m_combo->itemData(i, kKeyRole).toByteArray());
    const int current = m_combo->currentIndex();
    for (const QString& folder : folders) {
        std::string path = folder.toStdString();
        // Folders that are gone are left out (and so not saved again), as are relative ones an
        // older version stored: they were meant against a working folder no longer known.
        if (path.empty() || path.front() != '/' || !xExistFolder(path))
            continue;
        xAddBackslash(path);
        const QByteArray key = toBytes(path);
        if (!keys.contains(key)) {
            keys.insert(key);
            appendFolder(key, kFolderImage);
        }
    }
    m_combo->setCurrentIndex(current);
}

int FolderCombo::selectFolder(const std::string& path, int selectedImage)
{
    // Items hold absolute paths: a relative one would mean another folder in the next session.
    std::string withSlash = FolderQueue::absoluteFolders({path}, xCurrentFolder()).front();
    xAddBackslash(withSlash);
    const QByteArray key = toBytes(withSlash);
    // Keys are the paths as they are: "/A/" and "/a/" are two folders.
    for (int i = 0; i < m_combo->count(); ++i) {
        if (m_combo->itemData(i, kKeyRole).toByteArray() == key) {
            m_combo->setCurrentIndex(i);
            return i;
        }
    }
    const int row = appendFolder(key, selectedImage);
    m_combo->setCurrentIndex(row);
    return row;
}

int FolderCombo::appendFolder(const QByteArray& key, int selectedImage)
{
    m_combo->addItem(m_pictures.value(kFolderImage), QString::fromUtf8(key));
    const int row = m_combo->count() - 1;
    m_combo->setItemData(row, key, kTagRole);
    m_combo->setItemData(row, key, kKeyRole);
    m_combo->setItemData(row, kFolderImage, kImageRole);
    m_combo->setItemData(row, selectedImage, kSelectedImageRole);
    return row;
}

FolderQueueController::ComboEntry FolderCombo::entry(int row) const
{
    FolderQueueController::ComboEntry e;
    const QByteArray tag = m_combo->itemData(row, kTagRole).toByteArray();
    e.tag.assign(tag.constData(), static_cast<std::size_t>(tag.size()));
    e.image = m_combo->itemData(row, kImageRole).toInt();
    e.selectedImage = m_combo->itemData(row, kSelectedImageRole).toInt();
    return e;
}

std::string FolderCombo::selectedTag() const
{
    const int row = m_combo->currentIndex();
    if (m_combo->currentText().isEmpty() || row < 0)
        return std::string();
    return entry(row).tag;
}

QStringList FolderCombo::foldersToSave() const
{
    QStringList texts;
    for (int i = 0; i < m_combo->count(); ++i) {
        // Only folder items are kept; names that are no valid text cannot be stored.
        if (m_combo->itemData(i, kImageRole).toInt() != kFolderImage)
            continue;
        const QByteArray tag = m_combo->itemData(i, kTagRole).toByteArray();
        const QString text = QString::fromUtf8(tag);
        if (text.toUtf8() == tag)
            texts << text;
    }
    return texts;
}

} // namespace foldersize
