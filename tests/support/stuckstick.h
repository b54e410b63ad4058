// A stick that stops answering, for tests of a program the library ends
// while it reads one: stuckstick.py over FUSE, whose one file "data" answers
// no read until the stick is released. The reader sleeps in the kernel,
// deaf to SIGTERM and SIGKILL alike, until then.
#ifndef STUCKSTICK_H
#define STUCKSTICK_H

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTimer>
#include <QtTest>

#include "recordingscript.h"

// The longest time the event loop went without running a 20 ms timer.
struct LoopWatch {
    QElapsedTimer clock;
    qint64 last = 0;
    qint64 longest = 0;
    QTimer ticks;
    LoopWatch()
    {
        clock.start();
        QObject::connect(&ticks, &QTimer::timeout, [this] {
            longest = qMax(longest, clock.elapsed() - last);
            last = clock.elapsed();
        });
        ticks.start(20);
    }
};

class StuckStick
{
public:
    // Mounted at `mountPoint` (made), its flag files beside it.
    explicit StuckStick(const QString& mountPoint)
        : mount(mountPoint), releaseFlag(mountPoint + ".release"), readingFlag(mountPoint + ".reading")
    {
    }
    ~StuckStick()
    {
        release();
        QProcess::execute("fusermount", {"-u", "-z", mount});
        fuse.terminate();
        fuse.waitForFinished(5000);
    }

    static bool available() { return QFile::exists("/dev/fuse"); }

    // False when the stick is not there within 10 s.
    bool start()
    {
        QFile::remove(releaseFlag);
        QFile::remove(readingFlag);
        QDir().mkpath(mount);
        fuse.start("/usr/bin/python3", {qEnvironmentVariable("VANTEL_SOURCE_DIR") + "/tests/support/stuckstick.py",
                                        mount, releaseFlag, readingFlag});
        return fuse.waitForStarted() && QTest::qWaitFor([this] { return QFile::exists(data()); }, 10000);
    }

    QString data() const { return mount + "/data"; }
    // True once a read has come and hangs.
    bool beingRead() const { return QFile::exists(readingFlag); }
    void release() { QFile(releaseFlag).open(QIODevice::WriteOnly); }

    // `pid`, a reader the library has just ended, sleeps in the kernel past
    // its SIGKILL without holding the event loop, and goes (reaped) once the
    // stick answers again.
    void outlastsItsEnd(qint64 pid, const LoopWatch& watch)
    {
        QTRY_COMPARE(processState(pid), 'D');
        QTest::qWait(kEndGraceMs + 1000);
        QCOMPARE(processState(pid), 'D');
        QVERIFY2(watch.longest < 500, qPrintable(QStringLiteral("the event loop stood %1 ms").arg(watch.longest)));
        release();
        QTRY_VERIFY(!processExists(pid));
    }

private:
    const QString mount;
    const QString releaseFlag;
    const QString readingFlag;
    QProcess fuse;
};

#endif
