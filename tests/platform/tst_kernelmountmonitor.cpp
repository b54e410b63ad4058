// Guards the watch on the kernel's own mount table: a mount and an unmount
// in a private mount namespace reach a subscriber through POLLPRI on
// /proc/self/mountinfo. Needs the right to make a mount namespace (root in
// CI); skipped without it.
#include <QTemporaryDir>
#include <QtTest>

#include <sched.h>
#include <sys/mount.h>

#include "linux/linuxvolumes.h"

using namespace vantel::platform;

class TestKernelMountMonitor : public QObject
{
    Q_OBJECT

private slots:
    void mountAndUnmountAreSignalled()
    {
        if (::unshare(CLONE_NEWNS) != 0)
            QSKIP("no right to make a mount namespace");
        // Nothing done here may reach the machine's own namespace.
        QCOMPARE(::mount("none", "/", nullptr, MS_REC | MS_PRIVATE, nullptr), 0);

        QTemporaryDir dir;
        const std::string root = dir.path().toStdString() + "/";
        LinuxVolumes volumes("/sys", "/proc");
        int calls = 0;
        const int handle = volumes.subscribe([&calls] { ++calls; });
        QTest::qWait(100);
        calls = 0;

        QCOMPARE(::mount("vantel-test", dir.path().toLocal8Bit().constData(), "tmpfs", 0, nullptr), 0);
        QTRY_VERIFY_WITH_TIMEOUT(calls > 0, 5000);
        QCOMPARE(volumes.driveType(root), unsigned(DRIVE_RAMDISK));

        const int afterMount = calls;
        QCOMPARE(::umount(dir.path().toLocal8Bit().constData()), 0);
        QTRY_VERIFY_WITH_TIMEOUT(calls > afterMount, 5000);
        QCOMPARE(volumes.driveType(root), unsigned(DRIVE_NO_ROOT_DIR));
        volumes.unsubscribe(handle);
    }
};

QTEST_GUILESS_MAIN(TestKernelMountMonitor)
#include "tst_kernelmountmonitor.moc"
