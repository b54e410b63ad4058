// Guards the Linux volume service against a fake sysfs and mount table:
// which volumes count as hot-pluggable, their mount paths and drive types,
// the drive letters handed out from D: in order of arrival, and the volume
// watcher telling a mount that appears and goes within a second.
#include <QSignalSpy>
#include <QtTest>

#include "drivemap.h"
#include "fakedevicetree.h"
#include "linux/linuxbackend.h"
#include "vantelvolumewatcher.h"

using namespace vantel::platform;

namespace {

const char* const usbPort = "devices/pci0000:00/0000:00:14.0/usb2/2-1/2-1:1.0/host6/target6:0:0/6:0:0:0";
const char* const usbDiskPort = "devices/pci0000:00/0000:00:14.0/usb2/2-2/2-2:1.0/host7/target7:0:0/7:0:0:0";
const char* const usbStickPort = "devices/pci0000:00/0000:00:14.0/usb3/3-1/3-1:1.0/host8/target8:0:0/8:0:0:0";
const char* const sataPort = "devices/pci0000:00/0000:00:17.0/ata1/host0/target0:0:0/0:0:0:0";
const char* const opticalPort = "devices/pci0000:00/0000:00:17.0/ata2/host1/target1:0:0/1:0:0:0";
const char* const sdSlot = "devices/platform/sdhci.1/mmc_host/mmc1/mmc1:aaaa";
const char* const emmc = "devices/platform/sdhci.0/mmc_host/mmc0/mmc0:0001";

const QByteArray baseMounts =
    "21 1 8:2 / / rw,relatime shared:1 - ext4 /dev/sda2 rw\n"
    "30 21 0:40 / /tmp rw shared:5 - tmpfs tmpfs rw\n"
    "31 21 0:41 / /mnt/share rw - nfs4 server:/export rw,vers=4.2\n"
    "40 21 8:17 / /media/tech/STICK rw,nosuid shared:80 - vfat /dev/sdb1 rw\n"
    "41 21 8:17 /DCIM /home/tech/dcim rw - vfat /dev/sdb1 rw\n"
    "42 21 8:33 / /media/tech/USB\\040DISK rw - ext4 /dev/sdc1 rw\n"
    "43 21 179:33 / /media/tech/SDCARD rw - exfat /dev/mmcblk1p1 rw\n"
    "44 21 179:2 / /data rw - ext4 /dev/mmcblk0p2 rw\n"
    "45 21 11:0 / /media/tech/CDROM ro - iso9660 /dev/sr0 ro\n"
    "this line is not a mount\n";

const QByteArray newStick = "50 21 8:48 / /media/tech/NEW rw - vfat /dev/sdd rw\n";

// A disk with one partition, linked from dev/block as the kernel does.
void addDisk(FakeDeviceTree& tree, const QString& port, const QString& disk, const QByteArray& removable,
             const QString& partition, const QString& number)
{
    const QString diskDir = port + "/block/" + disk;
    tree.attribute("sys/" + diskDir + "/removable", removable);
    QString deviceDir = diskDir;
    if (!partition.isEmpty()) {
        deviceDir = diskDir + "/" + partition;
        tree.attribute("sys/" + deviceDir + "/partition", "1");
    }
    tree.attribute("sys/" + deviceDir + "/dev", number.toLatin1());
    tree.link("../../" + deviceDir, "sys/dev/block/" + number);
}

void layOut(FakeDeviceTree& tree)
{
    const QString sys = "sys/";
    addDisk(tree, sataPort, "sda", "0", "sda2", "8:2");
    addDisk(tree, usbPort, "sdb", "1", "sdb1", "8:17");
    addDisk(tree, usbDiskPort, "sdc", "0", "sdc1", "8:33");
    addDisk(tree, usbStickPort, "sdd", "1", QString(), "8:48");
    addDisk(tree, opticalPort, "sr0", "1", QString(), "11:0");
    addDisk(tree, sdSlot, "mmcblk1", "0", "mmcblk1p1", "179:33");
    tree.attribute(sys + sdSlot + "/type", "SD");
    tree.link("../../../mmc1:aaaa", sys + sdSlot + "/block/mmcblk1/device");
    addDisk(tree, emmc, "mmcblk0", "0", "mmcblk0p2", "179:2");
    tree.attribute(sys + emmc + "/type", "MMC");
    tree.link("../../../mmc0:0001", sys + emmc + "/block/mmcblk0/device");
    tree.write("proc/self/mountinfo", baseMounts);
}

std::shared_ptr<LinuxBackend> backendOn(const FakeDeviceTree& tree)
{
    return std::make_shared<LinuxBackend>((tree.root() + "/sys").toStdString(),
                                          (tree.root() + "/proc").toStdString());
}

} // namespace

class TestLinuxVolumes : public QObject
{
    Q_OBJECT

private slots:
    void enumeration()
    {
        FakeDeviceTree tree;
        layOut(tree);
        std::vector<Volume> volumes = backendOn(tree)->volumes().volumes();
        QStringList seen;
        for (const Volume& v : volumes) {
            QStringList paths;
            for (const std::string& p : v.mountPaths)
                paths << QString::fromStdString(p);
            seen << QString::fromStdString(v.name) + (v.hotplug ? " hotplug " : " fixed ") + paths.join('|');
        }
        // The bind mount of /DCIM is no second root of the stick; tmpfs and nfs are no block devices.
        QCOMPARE(seen, QStringList({"/dev/sda2 fixed /", "/dev/sdb1 hotplug /media/tech/STICK/",
                                    "/dev/sdc1 hotplug /media/tech/USB DISK/",
                                    "/dev/mmcblk1p1 hotplug /media/tech/SDCARD/", "/dev/mmcblk0p2 fixed /data/",
                                    "/dev/sr0 fixed /media/tech/CDROM/"}));
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
        QTest::newRow("drive letter") << "E:\\" << unsigned(DRIVE_NO_ROOT_DIR);
        QTest::newRow("empty") << "" << unsigned(DRIVE_NO_ROOT_DIR);
    }

    void driveTypes()
    {
        QFETCH(QString, root);
        QFETCH(unsigned, type);
        FakeDeviceTree tree;
        layOut(tree);
        QCOMPARE(backendOn(tree)->volumes().driveType(root.toStdString()), type);
    }

    void missingMountTableMeansNoVolumes()
    {
        FakeDeviceTree tree;
        auto backend = backendOn(tree);
        QVERIFY(backend->volumes().volumes().empty());
        QVERIFY(backend->volumes().drives().empty());
        QCOMPARE(backend->volumes().driveType("/"), unsigned(DRIVE_NO_ROOT_DIR));
    }

    void lettersInOrderOfArrival()
    {
        FakeDeviceTree tree;
        layOut(tree);
        auto backend = backendOn(tree);
        Volumes& volumes = backend->volumes();
        QCOMPARE(QString::fromStdString(volumes.driveRoot(3)), QStringLiteral("/media/tech/STICK/"));
        QCOMPARE(QString::fromStdString(volumes.driveRoot(4)), QStringLiteral("/media/tech/USB DISK/"));
        QCOMPARE(QString::fromStdString(volumes.driveRoot(5)), QStringLiteral("/media/tech/SDCARD/"));
        QVERIFY(volumes.driveRoot(2).empty());
        QVERIFY(volumes.driveRoot(6).empty());

        // The stick leaves: D: still names its old root, so that the departure
        // can be told, and goes to the next arrival; E: and F: stay.
        QByteArray mounts = baseMounts;
        mounts.replace("40 21 8:17 / /media/tech/STICK rw,nosuid shared:80 - vfat /dev/sdb1 rw\n", "");
        tree.write("proc/self/mountinfo", mounts);
        QCOMPARE(int(volumes.drives().size()), 2);
        QCOMPARE(QString::fromStdString(volumes.driveRoot(3)), QStringLiteral("/media/tech/STICK/"));
        tree.write("proc/self/mountinfo", mounts + newStick);
        QCOMPARE(QString::fromStdString(volumes.driveRoot(3)), QStringLiteral("/media/tech/NEW/"));
        QCOMPARE(QString::fromStdString(volumes.driveRoot(4)), QStringLiteral("/media/tech/USB DISK/"));
    }

    void lettersEndAtZ()
    {
        DriveMap map;
        std::vector<Volume> volumes;
        for (int i = 0; i < 30; ++i)
            volumes.push_back(Volume{"/dev/sd" + std::to_string(i), true, {"/media/" + std::to_string(i) + "/"}});
        const std::vector<Drive>& drives = map.update(volumes);
        QCOMPARE(int(drives.size()), 23);
        QCOMPARE(drives.front().index, 3);
        QCOMPARE(drives.back().index, 25);
        QCOMPARE(QString::fromStdString(drives.back().root), QStringLiteral("/media/22/"));
    }

    void watcherSeesMountAppearAndGo()
    {
        FakeDeviceTree tree;
        layOut(tree);
        installBackend(backendOn(tree));
        VantelVolumeWatcher watcher;
        QSignalSpy added(&watcher, &VantelVolumeWatcher::AddUsbDisk);
        QSignalSpy removed(&watcher, &VantelVolumeWatcher::RemoveUsbDisk);

        tree.write("proc/self/mountinfo", baseMounts + newStick);
        QVERIFY(added.wait(3000));
        QCOMPARE(added.count(), 1);
        QCOMPARE(added.at(0).at(0).toInt(), 1 << 6); // G:, after D:, E:, F: present at start
        QCOMPARE(removed.count(), 0);

        QByteArray withoutStick = baseMounts;
        withoutStick.replace("40 21 8:17 / /media/tech/STICK rw,nosuid shared:80 - vfat /dev/sdb1 rw\n", "");
        tree.write("proc/self/mountinfo", withoutStick + newStick);
        QVERIFY(removed.wait(3000));
        QCOMPARE(removed.at(0).at(0).toInt(), 1 << 3);
        QCOMPARE(added.count(), 1);
        installBackend(nullptr);
    }
};

QTEST_GUILESS_MAIN(TestLinuxVolumes)
#include "tst_linuxvolumes.moc"
