// Guards the removable disk the capture providers share: the first removable
// volume in enumeration order (hot-pluggable fixed disks skipped), the capture
// path following one-bit drive masks through the drive map, and the path
// helpers, unique file names colliding up to the 61st candidate included.
#include <QSignalSpy>
#include <QtTest>

#include "../platform/fakedevicetree.h"
#include "capturepath.h"
#include "linux/linuxbackend.h"
#include "removablevolumes.h"
#include "vantelglobals.h"
#include "vantelsimulation.h"
#include "vantelvolumewatcher.h"

using namespace vantel::platform;

namespace {

// A USB disk numbered major:minor with one partition; `removable` is its
// removable-media flag.
void addUsbDisk(FakeDeviceTree& tree, int port, const QString& disk, bool removable, const QString& number)
{
    const QString diskDir = QStringLiteral("devices/pci0000:00/0000:00:14.0/usb2/2-%1/2-%1:1.0/host%1/block/")
                                .arg(port) + disk;
    tree.attribute("sys/" + diskDir + "/removable", removable ? "1" : "0");
    tree.attribute("sys/" + diskDir + "/" + disk + "1/partition", "1");
    tree.link("../../" + diskDir + "/" + disk + "1", "sys/dev/block/" + number);
}

std::shared_ptr<LinuxBackend> backendOn(const FakeDeviceTree& tree)
{
    return std::make_shared<LinuxBackend>((tree.root() + "/sys").toStdString(),
                                          (tree.root() + "/proc").toStdString());
}

} // namespace

class TestRemovableVolumes : public QObject
{
    Q_OBJECT

private slots:
    void cleanup()
    {
        installBackend(nullptr);
        vantel_capturePath.clear();
    }

    void firstRemovableVolume()
    {
        FakeDeviceTree tree;
        addUsbDisk(tree, 1, "sdb", false, "8:17");
        addUsbDisk(tree, 2, "sdc", true, "8:33");
        addUsbDisk(tree, 3, "sdd", true, "8:49");
        tree.write("proc/self/mountinfo",
                   "21 1 259:2 / / rw - ext4 /dev/nvme0n1p2 rw\n"
                   "40 21 8:17 / /media/tech/USBDISK rw - ext4 /dev/sdb1 rw\n"
                   "41 21 8:33 / /media/tech/FIRST rw - vfat /dev/sdc1 rw\n"
                   "42 21 8:49 / /media/tech/SECOND rw - vfat /dev/sdd1 rw\n");
        installBackend(backendOn(tree));
        QCOMPARE(vantel_firstRemovableVolume(), QStringLiteral("/media/tech/FIRST/"));
        vantel_capturePath = "stale";
        vantel_findCaptureVolume();
        QCOMPARE(vantel_capturePath, QStringLiteral("/media/tech/FIRST/"));

        tree.write("proc/self/mountinfo", "21 1 259:2 / / rw - ext4 /dev/nvme0n1p2 rw\n"
                                          "40 21 8:17 / /media/tech/USBDISK rw - ext4 /dev/sdb1 rw\n");
        QCOMPARE(vantel_firstRemovableVolume(), QString());
        vantel_findCaptureVolume();
        QCOMPARE(vantel_capturePath, QString());
    }

    void lettersTheMapDoesNotHold()
    {
        VantelSimulation sim;
        CapturePath capture;
        QCOMPARE(capture.path(), QString());
        capture.addUsbDisk(16);
        QCOMPARE(capture.path(), QStringLiteral("E:\\"));
        capture.removeUsbDisk(32);
        QCOMPARE(capture.path(), QStringLiteral("E:\\"));
        capture.removeUsbDisk(16);
        QCOMPARE(capture.path(), QString());
        capture.addUsbDisk(1 << 25);
        QCOMPARE(capture.path(), QStringLiteral("Z:\\"));
        capture.addUsbDisk(48);
        capture.addUsbDisk(0);
        capture.removeUsbDisk(48);
        QCOMPARE(capture.path(), QStringLiteral("Z:\\"));
        capture.removeUsbDisk(1 << 25);
        QCOMPARE(capture.path(), QString());
    }

    void followsTheWatcher()
    {
        VantelSimulation sim;
        const QString first = sim.plugVolume("FIRST");
        vantel_findCaptureVolume();
        CapturePath capture;
        QCOMPARE(capture.path(), first);

        VantelVolumeWatcher watcher;
        connect(&watcher, &VantelVolumeWatcher::AddUsbDisk, this, [&](int id) { capture.addUsbDisk(id); });
        connect(&watcher, &VantelVolumeWatcher::RemoveUsbDisk, this, [&](int id) { capture.removeUsbDisk(id); });
        const QString second = sim.plugVolume("SECOND");
        QCOMPARE(capture.path(), second); // the newest disk wins
        QVERIFY(sim.pullVolume("FIRST"));
        QCOMPARE(capture.path(), second);
        QVERIFY(sim.pullVolume("SECOND"));
        QCOMPARE(capture.path(), QString());
    }

    void joinPath()
    {
        const QString sep = QDir::separator();
        QCOMPARE(vantel_joinPath("/media/tech/STICK/", "Screenshot"), "/media/tech/STICK" + sep + "Screenshot");
        QCOMPARE(vantel_joinPath("/a//b/../c", "x"), "/a/c" + sep + "x");
    }

    void checkDir()
    {
        QTemporaryDir root;
        QString path = "untouched";
        QVERIFY(!vantel_checkDir(root.path(), "Screenshot", path, false));
        QCOMPARE(path, QStringLiteral("untouched"));
        QVERIFY(vantel_checkDir(root.path(), "Screenshot", path, true));
        QCOMPARE(path, root.path() + "/Screenshot");
        QVERIFY(QFileInfo(path).isDir());
        path.clear();
        QVERIFY(vantel_checkDir(root.path(), "Screenshot", path, false));
        QCOMPARE(path, root.path() + "/Screenshot");
        path = "untouched";
        QVERIFY(!vantel_checkDir(root.path(), "a/b", path, true)); // one level only
        QCOMPARE(path, QStringLiteral("untouched"));
        QVERIFY(!vantel_checkDir(root.path() + "/no-such-disk", "Screenshot", path, true));
    }

    void uniqueFileName()
    {
        QTemporaryDir dir;
        QString filePath;
        QVERIFY(vantel_uniqueFileName(dir.path(), "img", "", "png", filePath));
        QVERIFY(QRegularExpression("^" + QRegularExpression::escape(dir.path()) + "/img\\d{8}_\\d{6}\\.png$")
                    .match(filePath).hasMatch());

        // Take the base name and the numbers 1 to 60 for this second and the
        // next two, so that the call lands inside a taken second.
        const QDateTime now = QDateTime::currentDateTime();
        QStringList stamps;
        for (int s = 0; s < 3; ++s)
            stamps << now.addSecs(s).toString("yyyyMMdd_hhmmss");
        auto touch = [&](const QString& name) {
            QFile file(dir.filePath(name));
            QVERIFY(file.open(QIODevice::WriteOnly));
        };
        for (const QString& stamp : stamps) {
            touch("img" + stamp + "_cam.png");
            for (int n = 1; n <= 60; ++n)
                touch("img" + stamp + QString::number(n) + "_cam.png");
        }
        QVERIFY(vantel_uniqueFileName(dir.path(), "img", "_cam", "png", filePath));
        QVERIFY2(filePath.endsWith("61_cam.png"), qPrintable(filePath));
        QVERIFY(stamps.contains(QFileInfo(filePath).fileName().mid(3, 15)));

        for (const QString& stamp : stamps)
            touch("img" + stamp + "61_cam.png");
        filePath = "untouched";
        QVERIFY(!vantel_uniqueFileName(dir.path(), "img", "_cam", "png", filePath));
        QCOMPARE(filePath, QStringLiteral("untouched"));
    }
};

QTEST_GUILESS_MAIN(TestRemovableVolumes)
#include "tst_removablevolumes.moc"
