// FolderCombo.h: the items of the folder combo (cboOrdner): the drives, the saved and measured
// folders, each with the path it measures (its tag and key, byte for byte) and its pictures.
#pragma once

#include <string>
#include <vector>

#include <QIcon>
#include <QStringList>
#include <QVector>

#include "foldersize/scanner/DriveList.h"
#include "foldersize/ui/scanner/FolderQueueController.h"

class QComboBox;

namespace foldersize {

class FolderCombo {
public:
    // combo outlives this object; pictures are the combo and tree pictures 1..10.
    FolderCombo(QComboBox* combo, QVector<QIcon> pictures);

    // Adds one item per drive; the root file system's item becomes the selected one.
    void addDrives(const std::vector<DriveInfo>& drives);
    // Adds the saved folders that still exist, without changing the selection. Relative entries
    // are left out.
    void addSavedFolders(const QStringList& folders);
    // Selects the item whose key is path with a trailing "/" (keys are case-sensitive); adds a
    // folder item (picture 8, selected picture selectedImage) when there is none. Returns its row.
    // A relative path is taken against the working folder first, so items are always absolute.
    int selectFolder(const std::string& path, int selectedImage);
    // The item of row as the queue measures it.
    FolderQueueController::ComboEntry entry(int row) const;
    // The selected item's tag; "" when no item is selected or the combo text is empty.
    std::string selectedTag() const;
    // The folder items' paths that can be stored as text, in combo order.
    QStringList foldersToSave() const;

private:
    // Adds a folder item with that key (its path ending in "/"); returns its row.
    int appendFolder(const QByteArray& key, int selectedImage);

    QComboBox* m_combo;
    QVector<QIcon> m_pictures;
};

} // namespace foldersize
