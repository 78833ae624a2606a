// DriveList.cpp: reading /proc/self/mountinfo and classifying the mounts.
#include "foldersize/scanner/DriveList.h"

#include <algorithm>
#include <fstream>
#include <map>
#include <set>
#include <sstream>

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace foldersize {
namespace {

// mountinfo writes blanks, tabs, newlines and backslashes as \ooo.
std::string unescapeOctal(const std::string& s)
{
    std::string out;
    for (std::size_t i = 0; i < s.size(); ++i) {
        if (s[i] == '\\' && i + 3 < s.size() && s[i + 1] >= '0' && s[i + 1] <= '7' && s[i + 2] >= '0' &&
            s[i + 2] <= '7' && s[i + 3] >= '0' && s[i + 3] <= '7') {
            out += static_cast<char>((s[i + 1] - '0') * 64 + (s[i + 2] - '0') * 8 + (s[i + 3] - '0'));
            i += 3;
        } else {
            out += s[i];
        }
    }
    return out;
}

// udev writes label characters outside [A-Za-z0-9] as \xHH.
QString unescapeLabel(const QString& s)
{
    QByteArray out;
    const QByteArray b = s.toUtf8();
    for (qsizetype i = 0; i < b.size(); ++i) {
        if (b[i] == '\\' && i + 3 < b.size() && b[i + 1] == 'x') {
            bool ok = false;
            const int v = b.mid(i + 2, 2).toInt(&ok, 16);
            if (ok) {
                out += static_cast<char>(v);
                i += 3;
                continue;
            }
        }
        out += b[i];
    }
    return QString::fromUtf8(out);
}

std::string baseDisk(const std::string& device)
{
    // /dev/sdb1 -> sdb, /dev/mmcblk0p1 -> mmcblk0, /dev/nvme0n1p2 -> nvme0n1
    std::string name = device.substr(device.rfind('/') + 1);
    if (name.rfind("mmcblk", 0) == 0 || name.rfind("nvme", 0) == 0) {
        const std::size_t p = name.rfind('p');
        if (p != std::string::npos && p > 4 && p + 1 < name.size() &&
            std::all_of(name.begin() + static_cast<std::ptrdiff_t>(p) + 1, name.end(), ::isdigit))
            name.resize(p);
        return name;
    }
    while (!name.empty() && std::isdigit(static_cast<unsigned char>(name.back())))
        name.pop_back();
    return name;
}

} // namespace

bool isPseudoFileSystemType(const std::string& t)
{
    static const std::set<std::string> pseudo{"proc", "sysfs", "cgroup", "cgroup2", "devpts", "devtmpfs",
        "mqueue", "debugfs", "tracefs", "securityfs", "pstore", "bpf", "configfs", "fusectl", "hugetlbfs",
        "autofs", "binfmt_misc", "efivarfs", "rpc_pipefs", "nsfs", "selinuxfs", "nfsd", "fuse.gvfsd-fuse",
        "fuse.portal"};
    return pseudo.count(t) > 0;
}

bool isUserFileSystem(const std::string& mountPoint, const std::string& fsType)
{
    if (isPseudoFileSystemType(fsType))
        return false;
    const auto below = [&](const char* top) {
        const std::string t(top);
        return mountPoint == t || mountPoint.rfind(t + "/", 0) == 0;
    };
    if (below("/run/media"))
        return true;
    return !(below("/proc") || below("/sys") || below("/dev") || below("/run"));
}

DriveType driveTypeOf(const std::string& fsType, const std::string& device, const std::string& sysBlock)
{
    static const std::set<std::string> remote{"nfs", "nfs4", "cifs", "smb3", "smbfs", "ncpfs", "afs", "9p",
        "ceph", "glusterfs", "fuse.sshfs", "sshfs", "davfs", "fuse.davfs2", "fuse.rclone"};
    if (remote.count(fsType))
        return DriveType::Remote;
    if (fsType == "iso9660" || fsType == "udf")
        return DriveType::CdRom;
    if (fsType == "tmpfs" || fsType == "ramfs")
        return DriveType::RamDisk;
    if (device.rfind("/dev/fd", 0) == 0)
        return DriveType::Removable;
    if (device.rfind("/dev/", 0) == 0) {
        QFile f(QString::fromStdString(sysBlock + "/" + baseDisk(device) + "/removable"));
        if (f.open(QIODevice::ReadOnly) && f.readAll().trimmed() == "1")
            return DriveType::Removable;
    }
    return DriveType::Fixed;
}

std::vector<DriveInfo> GetAllDrives(const DriveSources& sources)
{
    std::ifstream in(sources.mountInfo);
    std::map<std::string, DriveInfo> byRoot;
    std::string line;
    while (std::getline(in, line)) {
        const std::size_t dash = line.find(" - ");
        if (dash == std::string::npos)
            continue;
        std::istringstream head(line.substr(0, dash));
        std::string id, parent, devno, root, mountPoint;
        if (!(head >> id >> parent >> devno >> root >> mountPoint))
            continue;
        std::istringstream tail(line.substr(dash + 3));
        std::string fsType, source;
        if (!(tail >> fsType >> source))
            continue;
        DriveInfo d;
        d.root = unescapeOctal(mountPoint);
        if (!isUserFileSystem(d.root, fsType))
            continue;
        if (d.root.empty() || d.root.back() != '/')
            d.root += '/';
        d.fsType = fsType;
        d.device = unescapeOctal(source);
        d.type = driveTypeOf(fsType, d.device, sources.sysBlock);
        d.floppy = d.device.rfind("/dev/fd", 0) == 0;
        byRoot[d.root] = d;
    }
    // Labels: /dev/disk/by-label/<label> links point at the device.
    QDir labels(QString::fromStdString(sources.byLabel));
    const auto entries = labels.entryInfoList(QDir::Files | QDir::System | QDir::NoDotAndDotDot);
    std::map<std::string, QString> labelOfDevice;
    for (const QFileInfo& e : entries)
        labelOfDevice[e.canonicalFilePath().toStdString()] = unescapeLabel(e.fileName());
    std::vector<DriveInfo> out;
    for (auto& [root, d] : byRoot) {
        const QString canon = QFileInfo(QString::fromStdString(d.device)).canonicalFilePath();
        const auto it = labelOfDevice.find(canon.isEmpty() ? d.device : canon.toStdString());
        if (it != labelOfDevice.end() && !d.floppy)
            d.label = it->second.trimmed();
        out.push_back(d);
    }
    return out;
}

int driveImage(const DriveInfo& d)
{
    switch (d.type) {
    case DriveType::Removable: return d.floppy ? 1 : 6;
    case DriveType::Fixed: return 3;
    case DriveType::Remote: return 5;
    case DriveType::CdRom: return 4;
    case DriveType::RamDisk: return 7;
    }
    return 3;
}

QString driveText(const DriveInfo& d)
{
    QString t = QString::fromUtf8(d.root.data(), static_cast<qsizetype>(d.root.size()));
    if (!d.label.isEmpty())
        t += QStringLiteral(" [") + d.label + QLatin1Char(']');
    return t;
}

bool xExistDrive(const std::string& text, const std::vector<DriveInfo>& drives)
{
    if (text.empty())
        return false;
    std::string withSlash = text;
    if (withSlash.back() != '/')
        withSlash += '/';
    return std::any_of(drives.begin(), drives.end(), [&](const DriveInfo& d) { return d.root == withSlash; });
}

} // namespace foldersize
