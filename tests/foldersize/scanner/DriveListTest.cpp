// DriveListTest.cpp: mounted file systems as drives, with types and labels.
#include "foldersize/scanner/DriveList.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "tests/foldersize/QStringPrinter.h"

using namespace foldersize;

class DriveListTest : public ::testing::Test {
protected:
    QTemporaryDir dir;
    DriveSources sources;
    void SetUp() override
    {
        sources.mountInfo = dir.filePath("mountinfo").toStdString();
        sources.sysBlock = dir.filePath("block").toStdString();
        sources.byLabel = dir.filePath("by-label").toStdString();
        QDir().mkpath(dir.filePath("block/sdb"));
        QDir().mkpath(dir.filePath("block/sda"));
        QDir().mkpath(dir.filePath("by-label"));
        write("block/sdb/removable", "1\n");
        write("block/sda/removable", "0\n");
        write("dev-sdb1", "");
        QFile::link(dir.filePath("dev-sdb1"), dir.filePath("by-label/USB\\x20STICK"));
    }
    void write(const QString& rel, const QByteArray& text)
    {
        QFile f(dir.filePath(rel));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(text);
    }
};

TEST_F(DriveListTest, TypesLabelsAndPseudoFileSystems)
{
    const QByteArray devSdb1 = dir.filePath("dev-sdb1").toUtf8();
    write("mountinfo",
        "22 1 8:1 / / rw,relatime - ext4 /dev/sda1 rw\n"
        "23 22 0:5 / /proc rw - proc proc rw\n"
        "24 22 0:6 / /sys rw - sysfs sysfs rw\n"
        "25 22 0:7 / /tmp rw - tmpfs tmpfs rw\n"
        "26 22 0:8 / /mnt/Share\\040Eins rw - cifs //server/eins rw\n"
        "27 22 11:0 / /media/cd rw - iso9660 /dev/sr0 ro\n"
        "28 22 8:17 / /media/usb rw - vfat " +
            devSdb1 +
            " rw\n"
            "29 22 2:0 / /media/floppy rw - vfat /dev/fd0 rw\n"
            "30 22 0:9 / /dev/pts rw - devpts devpts rw\n");
    // The removable check looks at <sysBlock>/<disk>/removable of /dev/ devices only.
    const auto drives = GetAllDrives(sources);
    std::vector<std::string> roots;
    for (const auto& d : drives)
        roots.push_back(d.root);
    EXPECT_EQ(roots,
        (std::vector<std::string>{
            "/", "/media/cd/", "/media/floppy/", "/media/usb/", "/mnt/Share Eins/", "/tmp/"}));
    EXPECT_EQ(drives[0].type, DriveType::Fixed);
    EXPECT_EQ(driveImage(drives[0]), 3);
    EXPECT_EQ(drives[1].type, DriveType::CdRom);
    EXPECT_EQ(driveImage(drives[1]), 4);
    EXPECT_EQ(driveImage(drives[2]), 1) << "floppy picture";
    EXPECT_EQ(drives[3].label, "USB STICK");
    EXPECT_EQ(driveText(drives[3]), "/media/usb/ [USB STICK]");
    EXPECT_EQ(drives[4].type, DriveType::Remote);
    EXPECT_EQ(driveImage(drives[4]), 5);
    EXPECT_EQ(drives[5].type, DriveType::RamDisk);
    EXPECT_EQ(driveImage(drives[5]), 7);
    EXPECT_EQ(driveText(drives[5]), "/tmp/");
    EXPECT_TRUE(xExistDrive("/tmp", drives));
    EXPECT_TRUE(xExistDrive("/mnt/Share Eins/", drives));
    EXPECT_FALSE(xExistDrive("/proc", drives));
    EXPECT_FALSE(xExistDrive("/TMP", drives));
}

TEST_F(DriveListTest, RemovableDisksAreFoundThroughTheirBlockDevice)
{
    EXPECT_EQ(driveTypeOf("ext4", "/dev/sdb1", sources.sysBlock), DriveType::Removable);
    EXPECT_EQ(driveTypeOf("ext4", "/dev/sda3", sources.sysBlock), DriveType::Fixed);
    EXPECT_EQ(driveTypeOf("nfs4", "srv:/x", sources.sysBlock), DriveType::Remote);
    EXPECT_EQ(driveTypeOf("ramfs", "none", sources.sysBlock), DriveType::RamDisk);
}

TEST_F(DriveListTest, OverMountedPointsAppearOnceAndBrokenLinesAreIgnored)
{
    write("mountinfo",
        "22 1 8:1 / / rw - ext4 /dev/sda1 rw\n"
        "garbage without separator\n"
        "40 22 0:7 / /data rw - ext4 /dev/sda2 rw\n"
        "41 40 0:8 / /data rw - tmpfs tmpfs rw\n");
    const auto drives = GetAllDrives(sources);
    ASSERT_EQ(drives.size(), 2u);
    EXPECT_EQ(drives[1].root, "/data/");
    EXPECT_EQ(drives[1].type, DriveType::RamDisk) << "the last mount hides the one below";
}

TEST_F(DriveListTest, TheRealHostHasARoot)
{
    const auto drives = GetAllDrives();
    EXPECT_TRUE(xExistDrive("/", drives));
    for (const auto& d : drives)
        EXPECT_FALSE(isPseudoFileSystemType(d.fsType)) << d.root;
}

TEST_F(DriveListTest, RuntimeAndKernelMountsAreNoDrives)
{
    write("mountinfo",
        "22 1 8:1 / / rw,relatime - ext4 /dev/sda1 rw\n"
        "31 22 0:20 / /dev/shm rw - tmpfs tmpfs rw\n"
        "32 22 0:21 / /run rw - tmpfs tmpfs rw\n"
        "33 32 0:22 / /run/lock rw - tmpfs tmpfs rw\n"
        "34 32 0:23 / /run/user/1000 rw - tmpfs tmpfs rw\n"
        "35 22 0:24 / /sys/fs/cgroup ro - tmpfs tmpfs ro\n"
        "36 22 0:25 / /dev/mqueue rw - mqueue mqueue rw\n"
        "37 32 8:33 / /run/media/anna/FOTOS rw - vfat /dev/sdc1 rw\n"
        "38 22 8:2 / /home rw - ext4 /dev/sda2 rw\n"
        "39 22 0:26 / /tmp rw - tmpfs tmpfs rw\n"
        "40 22 0:27 / /run2 rw - ext4 /dev/sda3 rw\n");
    std::vector<std::string> roots;
    for (const auto& d : GetAllDrives(sources))
        roots.push_back(d.root);
    EXPECT_EQ(roots, (std::vector<std::string>{"/", "/home/", "/run/media/anna/FOTOS/", "/run2/", "/tmp/"}));
    EXPECT_FALSE(isUserFileSystem("/dev", "devtmpfs"));
    EXPECT_FALSE(isUserFileSystem("/proc/sys/fs/binfmt_misc", "autofs"));
    EXPECT_TRUE(isUserFileSystem("/srv/data", "xfs"));
}
