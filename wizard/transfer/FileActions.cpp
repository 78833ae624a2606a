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
    return !copyFileWorker(source, destFolder, nullptr);
}

bool Action_Copy_Folder(const std::string& source, const std::string& dest, const std::string& /*flag*/)
{
    return copyFolderWorker(source, dest, nullptr, copyStyle());
}

bool Action_Move_File(const std::string& source, const std::string& destFolder, const std::string& /*flag*/)
{
    return !moveFileWorker(source, destFolder);
}

bool Action_Move_Folder(const std::string& source, const std::string& dest, const std::string& flag)
{
    writeTransferLog("Action_Move_Folder", "Start");
    if (!folderExists(source)) {
        writeTransferLog("Action_Move_Folder", "End");
        return true;
    }
    int failure = 0;
    for (const std::string& name : subFolderNames(source)) {
        const std::string subSource = source + "\\" + name;
        const std::string subDest = dest + "\\" + name;
        if (!folderExists(subDest)) {
            const RunError e = createFolder(subDest);
            if (e && failure == 0)
                failure = e.number;
        }
        if (!Action_Move_Folder(subSource, subDest, flag) && failure == 0)
            failure = kErrPathFileAccess;
    }
    for (const std::string& name : fileNames(source)) {
        const RunError e = moveFileWorker(source + "\\" + name, dest);
        if (e && failure == 0)
            failure = e.number;
    }
    if (failure != 0) {
        const std::string n = std::to_string(failure);
        writeTransferLog("Action_Move_Folder", n + ":" + n + "(" + dest + ")");
        return false;
    }
    writeTransferLog("Action_Move_Folder", "End");
    return true;
}

bool Action_Delete(const std::string& path, const std::string& type)
{
    if (type == "folder") {
        if (isRootPath(path))
            return false;
        return !deleteFolder(path);
    }
    if (type == "file")
        return !deleteFile(path);
    if (type == "all") {
        const auto folder = folderToEmpty(path);
        if (!folder)
            return false;
        if (!folderExists(*folder)) {
            createFolder(*folder);
            return false;
        }
        // Empty the folder in place, so that it keeps its name as stored.
        const RunError folders = deleteFolder(*folder + "\\*");
        const RunError files = deleteFile(*folder + "\\*");
        return (!folders || folders.number == kErrPathNotFound) &&
            (!files || files.number == kErrFileNotFound);
    }
    return true;
}

} // namespace wizard::Action_Function
