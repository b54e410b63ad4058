// Guards the removable disk the capture providers share: the first removable
// volume in enumeration order (hot-pluggable fixed disks skipped), the capture
// path following the volume watcher and the one-bit drive masks, and the path
// helpers: a folder made or not, unique file names colliding up to the 61st
// candidate and no further.
#include <QtTest>

#include "capture/capturepath.h"
#include "capture/removablevolumes.h"
#include "library/librarycontext.h"
#include "library/vantelglobals.h"
#include "vantelsimulation.h"
#include "vantelvolumewatcher.h"

class TestRemovableVolumes : public QObject
{
    Q_OBJECT

private slots:
    void followsTheVolumes()
    {
        VantelSimulation sim;
        sim.plugVolume("USBDISK", false); // hot-pluggable, but fixed
        const QString first = sim.plugVolume("FIRST");
        sim.plugVolume("SECOND");
        vantel_capturePath = "stale";
        vantel_findCaptureVolume();
        QCOMPARE(vantel_capturePath, first);

        CapturePath capture;
        QCOMPARE(capture.path(), first);
        VantelVolumeWatcher watcher;
        connect(&watcher, &VantelVolumeWatcher::AddUsbDisk, this, [&](int id) { capture.addUsbDisk(id); });
        connect(&watcher, &VantelVolumeWatcher::RemoveUsbDisk, this, [&](int id) { capture.removeUsbDisk(id); });
        const QString newest = sim.plugVolume("NEWEST");
        QCOMPARE(capture.path(), newest);
        QVERIFY(sim.pullVolume("FIRST"));
        QCOMPARE(capture.path(), newest);
        QVERIFY(sim.pullVolume("NEWEST"));
        QCOMPARE(capture.path(), QString());

        QVERIFY(sim.pullVolume("SECOND"));
        vantel_findCaptureVolume();
        QCOMPARE(vantel_capturePath, QString());
    }

    void lettersTheMapDoesNotHold()
    {
        VantelSimulation sim; // no disks: every letter stands for itself
        LibraryContext::restoreLoadState();
        CapturePath capture;
        // A negative mask is a removal.
        const std::pair<int, const char*> steps[] = {{16, "E:\\"}, {-32, "E:\\"}, {-16, ""}, {1 << 25, "Z:\\"},
                                                     {48, "Z:\\"}, {0, "Z:\\"}, {-48, "Z:\\"}, {-(1 << 25), ""}};
        for (const auto& step : steps) {
            step.first >= 0 ? capture.addUsbDisk(step.first) : capture.removeUsbDisk(-step.first);
            QCOMPARE(capture.path(), QString::fromLatin1(step.second));
        }
    }

    void checkDir()
    {
        QTemporaryDir root;
        QString path = "untouched";
        QVERIFY(!vantel_checkDir(root.path(), "Screenshot", path, false));
        QCOMPARE(path, QStringLiteral("untouched"));
        QVERIFY(vantel_checkDir(root.path() + "/", "Screenshot", path, true));
        QCOMPARE(path, root.path() + "/Screenshot");
        QVERIFY(QFileInfo(path).isDir());
        path.clear();
        QVERIFY(vantel_checkDir(root.path(), "Screenshot", path, false));
        QCOMPARE(path, root.path() + "/Screenshot");
        QVERIFY(!vantel_checkDir(root.path() + "/gone", "Screenshot", path, true)); // the last level only
    }

    void uniqueFileName()
    {
        // The plain name and the first number are tst_xscreencapture's; here
        // the base name and the numbers 1 to 60 taken for this second and the
        // next two, so that the call lands inside a taken second.
        QTemporaryDir dir;
        QString filePath;
        const QDateTime now = QDateTime::currentDateTime();
        QStringList stamps;
        for (int s = 0; s < 3; ++s)
            stamps << now.addSecs(s).toString("yyyyMMdd_hhmmss");
        auto take = [&](const QString& number) {
            for (const QString& stamp : stamps)
                QVERIFY(QFile(dir.filePath("img" + stamp + number + "_cam.png")).open(QIODevice::WriteOnly));
        };
        for (int n = 0; n <= 60; ++n)
            take(n ? QString::number(n) : QString());
        QVERIFY(vantel_uniqueFileName(dir.path(), "img", "_cam", "png", filePath));
        QVERIFY2(filePath.endsWith("61_cam.png"), qPrintable(filePath));
        QVERIFY(stamps.contains(QFileInfo(filePath).fileName().mid(3, 15)));

        take("61");
        filePath = "untouched";
        QVERIFY(!vantel_uniqueFileName(dir.path(), "img", "_cam", "png", filePath));
        QCOMPARE(filePath, QStringLiteral("untouched"));
    }
};

QTEST_GUILESS_MAIN(TestRemovableVolumes)
#include "tst_removablevolumes.moc"
