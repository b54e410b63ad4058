// Guards the Linux volume service against a fake sysfs and mount table:
// which volumes count as hot-pluggable and their drive types, and the drive
// letters handed out from D: in order of arrival, told by the volume
// watcher as mounts appear and go, with the roots a host finds them at;
// and, where a private mount namespace may be made (root), a mount and an
// unmount seen in the kernel's own table.
#include <QSignalSpy>
#include <QtTest>

#include <sched.h>
#include <sys/mount.h>

#include "fakedevicetree.h"
#include "linux/linuxbackend.h"
#include "vantelvolumewatcher.h"

using namespace vantel::platform;

namespace {

// A disk below sys/devices/`port`, its device ("disk/partition", or the
// whole disk), its number, its removable-media flag and, on an MMC host, the card's type.
struct Disk {
    const char *port, *device, *number, *removable, *mmcType;
};

const Disk disks[] = {
    {"pci0000:00/0000:00:17.0/ata1/host0/target0:0:0/0:0:0:0", "sda/sda2", "8:2", "0", ""},
    {"pci0000:00/0000:00:14.0/usb2/2-1/2-1:1.0/host6/target6:0:0/6:0:0:0", "sdb/sdb1", "8:17", "1", ""},
    {"pci0000:00/0000:00:14.0/usb2/2-2/2-2:1.0/host7/target7:0:0/7:0:0:0", "sdc/sdc1", "8:33", "0", ""},
    {"pci0000:00/0000:00:14.0/usb3/3-1/3-1:1.0/host8/target8:0:0/8:0:0:0", "sdd", "8:48", "1", ""},
    {"pci0000:00/0000:00:17.0/ata2/host1/target1:0:0/1:0:0:0", "sr0", "11:0", "1", ""},
    {"platform/sdhci.1/mmc_host/mmc1/mmc1:aaaa", "mmcblk1/mmcblk1p1", "179:33", "0", "SD"},
    {"platform/sdhci.0/mmc_host/mmc0/mmc0:0001", "mmcblk0/mmcblk0p2", "179:2", "0", "MMC"},
};

const QByteArray stickMount = "40 21 8:17 / /media/tech/STICK rw,nosuid shared:80 - vfat /dev/sdb1 rw\n";
const QByteArray otherMounts =
    "21 1 8:2 / / rw,relatime shared:1 - ext4 /dev/sda2 rw\n"
    "30 21 0:40 / /tmp rw shared:5 - tmpfs tmpfs rw\n"
    "31 21 0:41 / /mnt/share rw - nfs4 server:/export rw,vers=4.2\n"
    "41 21 8:17 /DCIM /home/tech/dcim rw - vfat /dev/sdb1 rw\n"
    "42 21 8:33 / /media/tech/USB\\040DISK rw - ext4 /dev/sdc1 rw\n"
    "43 21 179:33 / /media/tech/SDCARD rw - exfat /dev/mmcblk1p1 rw\n"
    "44 21 179:2 / /data rw - ext4 /dev/mmcblk0p2 rw\n"
    "45 21 11:0 / /media/tech/CDROM ro - iso9660 /dev/sr0 ro\n"
    "this line is not a mount\n";
const QByteArray newStick = "50 21 8:48 / /media/tech/NEW rw - vfat /dev/sdd rw\n";

} // namespace

class TestLinuxVolumes : public QObject
{
    Q_OBJECT

    std::unique_ptr<FakeDeviceTree> tree;
    std::shared_ptr<LinuxBackend> backend;

    void mount(const QByteArray& table) { tree->write("proc/self/mountinfo", table); }

    QStringList letters(int from, int to)
    {
        QStringList roots;
        for (int index = from; index <= to; ++index)
            roots << QString::fromStdString(backend->volumes().driveRoot(index));
        return roots;
    }

private slots:
    void init()
    {
        tree = std::make_unique<FakeDeviceTree>();
        for (const Disk& disk : disks) {
            const QString device = QStringLiteral("sys/devices/%1/block/%2").arg(disk.port, disk.device);
            const QString diskDir = QString(disk.device).contains('/') ? device.section('/', 0, -2) : device;
            tree->attribute(diskDir + "/removable", disk.removable);
            if (device != diskDir)
                tree->attribute(device + "/partition", "1");
            tree->link("../../" + device.mid(4), QStringLiteral("sys/dev/block/") + disk.number);
            if (*disk.mmcType) {
                tree->attribute(QStringLiteral("sys/devices/%1/type").arg(disk.port), disk.mmcType);
                tree->link("../..", diskDir + "/device");
            }
        }
        mount(stickMount + otherMounts);
        backend = std::make_shared<LinuxBackend>((tree->root() + "/sys").toStdString(),
                                                 (tree->root() + "/proc").toStdString());
    }

    void driveTypes_data()
    {
        QTest::addColumn<QString>("root");
        QTest::addColumn<unsigned>("type");
        QTest::newRow("USB stick") << "/media/tech/STICK/" << unsigned(DRIVE_REMOVABLE);
        QTest::newRow("without separator") << "/media/tech/STICK" << unsigned(DRIVE_REMOVABLE);
        QTest::newRow("USB hard disk") << "/media/tech/USB DISK/" << unsigned(DRIVE_FIXED);
        QTest::newRow("SD card") << "/media/tech/SDCARD/" << unsigned(DRIVE_REMOVABLE);
        QTest::newRow("eMMC") << "/data/" << unsigned(DRIVE_FIXED);
        QTest::newRow("system") << "/" << unsigned(DRIVE_FIXED);
        QTest::newRow("optical") << "/media/tech/CDROM/" << unsigned(DRIVE_CDROM);
        QTest::newRow("tmpfs") << "/tmp/" << unsigned(DRIVE_RAMDISK);
        QTest::newRow("nfs") << "/mnt/share/" << unsigned(DRIVE_REMOTE);
        QTest::newRow("not a mount point") << "/media/tech/" << unsigned(DRIVE_NO_ROOT_DIR);
        QTest::newRow("empty") << "" << unsigned(DRIVE_NO_ROOT_DIR);
    }

    void driveTypes()
    {
        QFETCH(QString, root);
        QFETCH(unsigned, type);
        QCOMPARE(backend->volumes().driveType(root.toStdString()), type);
        // The volume list tells the same type for a volume's first root.
        for (const Volume& volume : backend->volumes().volumes()) {
            if (QString::fromStdString(volume.mountPaths.front()) == root)
                QCOMPARE(volume.driveType, type);
        }
    }

    void lettersInOrderOfArrival()
    {
        installBackend(backend);
        VantelVolumeWatcher watcher;
        QSignalSpy added(&watcher, &VantelVolumeWatcher::AddUsbDisk);
        QSignalSpy removed(&watcher, &VantelVolumeWatcher::RemoveUsbDisk);
        // The stick's bind mount of /DCIM is no second root; tmpfs and nfs are no block devices.
        QCOMPARE(int(backend->volumes().volumes().size()), 6);
        QCOMPARE(letters(3, 6), QStringList({"/media/tech/STICK/", "/media/tech/USB DISK/", "/media/tech/SDCARD/", ""}));
        // The stick leaves: D: still names its old root, so that the departure can be told.
        mount(otherMounts);
        QVERIFY(removed.wait(3000));
        QCOMPARE(removed.at(0).at(0).toInt(), 1 << 3);
        QCOMPARE(letters(3, 3), QStringList({"/media/tech/STICK/"}));
        QCOMPARE(watcher.driveRoot(1 << 3), QStringLiteral("/media/tech/STICK/"));
        QCOMPARE(watcher.driveRoot(3 << 3), QString());
        QCOMPARE(watcher.driveRoots(), QStringList({"/media/tech/USB DISK/", "/media/tech/SDCARD/"}));
        // The next arrival gets the lowest free letter; the others keep theirs.
        mount(otherMounts + newStick);
        QVERIFY(added.wait(3000));
        QCOMPARE(added.at(0).at(0).toInt(), 1 << 3);
        QCOMPARE(letters(3, 5), QStringList({"/media/tech/NEW/", "/media/tech/USB DISK/", "/media/tech/SDCARD/"}));
        QCOMPARE(added.count() + removed.count(), 2);
        installBackend(nullptr);
    }

    // Last: the suite stays in the namespace it makes here.
    void kernelMountTableIsWatched()
    {
        if (::unshare(CLONE_NEWNS) != 0)
            QSKIP("no right to make a mount namespace");
        // Nothing done here may reach the machine's own namespace.
        QCOMPARE(::mount("none", "/", nullptr, MS_REC | MS_PRIVATE, nullptr), 0);
        const QByteArray point = tree->root().toLocal8Bit();
        LinuxVolumes volumes("/sys", "/proc");
        int calls = 0;
        volumes.subscribe([&calls] { ++calls; });
        QTest::qWait(100);
        calls = 0;
        QCOMPARE(::mount("vantel-test", point.constData(), "tmpfs", 0, nullptr), 0);
        QTRY_VERIFY_WITH_TIMEOUT(calls > 0, 5000);
        QCOMPARE(volumes.driveType(point.toStdString()), unsigned(DRIVE_RAMDISK));
        const int afterMount = calls;
        QCOMPARE(::umount(point.constData()), 0);
        QTRY_VERIFY_WITH_TIMEOUT(calls > afterMount, 5000);
        QCOMPARE(volumes.driveType(point.toStdString()), unsigned(DRIVE_NO_ROOT_DIR));
    }
};

QTEST_GUILESS_MAIN(TestLinuxVolumes)
#include "tst_linuxvolumes.moc"
