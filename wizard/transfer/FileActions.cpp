// FileActions.cpp: the "copy", "move" and "delete" script actions and their file and folder workers.
#include "wizard/transfer/FileActions.h"

#include "wizard/transfer/FileWorkers.h"
#include "wizard/transfer/TransferGlobals.h"
#include "wizard/transfer/TransferText.h"

namespace wizard::Action_Function {
namespace {

using namespace wizard::transfer;

const FolderCopyStyle& copyStyle()
{
    static const FolderCopyStyle style{"Action_Copy_Folder",
        [](int number, const std::string& dest) { return std::to_string(number) + "(" + dest + ")"; }};
    return style;
}

} // namespace

bool Action_Copy(const std::string& name, const std::string& from, const std::string& to,
    const std::string& type, const std::string& flag)
{
    if (type == "folder")
        return Action_Copy_Folder(from + "\\" + name, to + "\\" + name, flag);
    if (type == "file")
        return Action_Copy_File(from + "\\" + name, to, flag);
    return true;
}

bool Action_Move(const std::string& name, const std::string& from, const std::string& to,
    const std::string& type, const std::string& flag)
{
    if (type == "folder")
        return Action_Move_Folder(from + "\\" + name, to + "\\" + name, flag);
    if (type == "file")
        return Action_Move_File(from + "\\" + name, to, flag);
    return true;
}

bool Action_Copy_File(const std::string& source, const std::string& destFolder, const std::string& /*flag*/)
{
    return scriptAnswer(copyFileWorker(source, destFolder, nullptr).outcome);
}

bool Action_Copy_Folder(const std::string& source, const std::string& dest, const std::string& /*flag*/)
{
    return scriptAnswer(copyFolderWorker(source, dest, nullptr, copyStyle()));
}

bool Action_Move_File(const std::string& source, const std::string& destFolder, const std::string& /*flag*/)
{
    return scriptAnswer(moveFileWorker(source, destFolder).outcome);
}

bool Action_Move_Folder(const std::string& source, const std::string& dest, const std::string& /*flag*/)
{
    return scriptAnswer(moveFolderWorker(source, dest));
}

bool Action_Delete(const std::string& path, const std::string& type)
{
    if (type == "folder") {
        if (isRootPath(path))
            return false;
        return deleteFolder(path) == FsError::None;
    }
    if (type == "file")
        return deleteFile(path) == FsError::None;
    if (type == "all") {
        const auto folder = folderToEmpty(path);
        if (!folder)
            return false;
        if (!folderExists(*folder)) {
            createFolder(*folder);
            return false;
        }
        // Empty the folder in place, so that it keeps its name as stored.
        const FsError folders = deleteFolder(*folder + "\\*");
        const FsError files = deleteFile(*folder + "\\*");
        return (folders == FsError::None || folders == FsError::PathNotFound) &&
            (files == FsError::None || files == FsError::FileNotFound);
    }
    return true;
}

} // namespace wizard::Action_Function
