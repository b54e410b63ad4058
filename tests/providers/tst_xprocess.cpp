// Guards the process runner with real small programs: every result code and
// message letter for letter, paths with blanks bare and quoted, the raw
// argument string reaching the program as its arguments without a shell, a
// bare program name started from the current folder as Windows would,
// waiting with timers still delivered and not waiting, a new start ending the
// runner's previous program, the caller's process object, a detached start in
// its folder, and the file lookup in the current folder and in the registry's
// "SystemPath" read from the Linux backend's file. A program the runner ends
// gets SIGTERM, while the caller goes on at once (the SIGKILL after the grace
// is tst_xcamera's, whose provider ends its runner); output nobody reads
// costs the host no memory; a program stuck in uninterruptible sleep on a
// hanging stick never holds the event loop.
#include <QProcess>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

#include <sys/wait.h>

#include <fstream>

#include "linux/linuxbackend.h"
#include "recordingscript.h"
#include "stuckstick.h"
#include "univ_modules/xprocess.h"

using namespace vantel::platform;

class TestXProcess : public QObject
{
    Q_OBJECT

    QTemporaryDir work{QDir::tempPath() + "/xprocess with blanks-XXXXXX"};

    QString script(const QString& name, double seconds = 5)
    {
        const QString path = work.filePath(name);
        RecordingScript::remove(path);
        RecordingScript::write(path, seconds);
        return path;
    }

    static qint64 residentKiB()
    {
        std::ifstream status("/proc/self/status");
        std::string word;
        while (status >> word) {
            if (word == "VmRSS:") {
                qint64 kib = 0;
                status >> kib;
                return kib;
            }
        }
        return -1;
    }

private slots:
    void initTestCase()
    {
        QVERIFY(work.isValid());
        // The native backend, its registry file under our own /etc.
        qputenv("VANTEL_ETC_ROOT", QFile::encodeName(work.filePath("etc")));
        installBackend(createNativeBackend());
    }

    void failures_data()
    {
        QTest::addColumn<QString>("dir");
        QTest::addColumn<QString>("program");
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("message");
        const QString root = work.path();
        QTest::newRow("missing folder") << root + "/gone/../missing/" << "cam.sh" << 2
                                        << "invalid path\ndetails:" + root + "/missing";
        QTest::newRow("missing file") << root + "/" << "nothere.sh" << 3
                                      << "file not found\ndetails:" + root + "/nothere.sh";
        QTest::newRow("not executable") << "" << root + "/plain.txt" << 4
                                        << "process error\ninfo: \"" + root
                                               + "/plain.txt\"\ndetails: failed to start";
        QTest::newRow("no such program") << "" << "\"/nonexistent/cam\"" << 4
                                         << "process error\ninfo: \"/nonexistent/cam\"\ndetails: failed to start";
    }

    void failures()
    {
        QFETCH(QString, dir);
        QFETCH(QString, program);
        QFETCH(int, code);
        QFETCH(QString, message);
        QFile plain(work.filePath("plain.txt"));
        QVERIFY(plain.open(QIODevice::WriteOnly));
        plain.close();
        xprocess runner;
        QString text = "stale";
        QCOMPARE(runner.xprc_run(nullptr, dir, program, "MODE=2", text, false), code);
        QCOMPARE(text, message);
        QCOMPARE(runner.xprc_runDetached(nullptr, dir, program, "MODE=2", text), code);
        QCOMPARE(text, message);
        QCOMPARE(runner.xprc_processId(), qint64(0));
    }

    void texts()
    {
        xprocess runner;
        const char* codes[] = {"no errors detected", "general error", "invalid path", "file not found",
                               "process error", "error not managed"};
        for (int code = -1; code <= 7; ++code) {
            QString text;
            runner.xprc_errorText(code, text);
            QCOMPARE(text, QString::fromLatin1(codes[code >= 0 && code <= 4 ? code : 5]));
        }
        const char* errors[] = {"failed to start", "crashed", "timed out", "read from the process",
                                "write to the process", "unknown"};
        for (int error = -1; error <= 6; ++error)
            QCOMPARE(runner.xprc_processErrorText(error), QString::fromLatin1(errors[error >= 0 && error <= 4 ? error : 5]));
    }

    // The program path has blanks; the argument string is split as a shell
    // would, but no shell runs: its quotes and $ stay text.
    void startsWithItsArguments_data()
    {
        QTest::addColumn<QString>("dir");
        QTest::addColumn<QString>("program");
        QTest::addColumn<QString>("arguments");
        QTest::addColumn<QStringList>("received");
        const QString path = work.filePath("my camera.sh");
        QTest::newRow("bare path") << "" << path << "MODE=2" << QStringList{"MODE=2"};
        QTest::newRow("quoted path") << "" << "\"" + path + "\"" << "MODE=2" << QStringList{"MODE=2"};
        QTest::newRow("in its folder") << work.path() << "my camera.sh" << "" << QStringList();
        QTest::newRow("bare name, current folder") << "" << "my camera.sh" << "MODE=2" << QStringList{"MODE=2"};
        QTest::newRow("raw string") << "" << path << "MODE=2 \"two words\" $HOME;x"
                                    << QStringList{"MODE=2", "two words", "$HOME;x"};
    }

    void startsWithItsArguments()
    {
        QFETCH(QString, dir);
        QFETCH(QString, program);
        QFETCH(QString, arguments);
        QFETCH(QStringList, received);
        const QString path = script("my camera.sh");
        xprocess runner;
        QString message = "stale";
        const QString previous = QDir::currentPath();
        QVERIFY(QDir::setCurrent(work.path()));
        const int code = runner.xprc_run(nullptr, dir, program, arguments, message, false);
        QDir::setCurrent(previous);
        QCOMPARE(code, 0);
        QCOMPARE(message, QString());
        RecordedStart start;
        QTRY_VERIFY(RecordingScript::lastStart(path, start));
        QCOMPARE(start.arguments, received);
        QCOMPARE(start.pid, runner.xprc_processId());
    }

    void waitsWithTimersDelivered()
    {
        const QString path = script("short.sh", 0.3);
        xprocess runner;
        int ticks = 0;
        QTimer timer;
        connect(&timer, &QTimer::timeout, this, [&] { ++ticks; });
        timer.start(10);
        QString message;
        QCOMPARE(runner.xprc_run(nullptr, "", path, "", message, true), 0);
        QVERIFY2(ticks >= 5, qPrintable(QString::number(ticks)));
        QVERIFY(!processExists(runner.xprc_processId())); // ended and reaped
        QCOMPARE(RecordingScript::starts(path), 1);
    }

    // A new start ends the runner's previous program with SIGTERM, so it can
    // close its files, and does not wait for it; the runner's end ends the
    // program of its own process object.
    void newStartEndsThePrevious()
    {
        const QString first = work.filePath("polite.sh");
        QVERIFY(EndableScript::write(first, false));
        const QString second = script("next.sh");
        auto* runner = new xprocess;
        QString message;
        QCOMPARE(runner->xprc_run(nullptr, "", first, "", message, false), 0); // no waiting
        const qint64 firstPid = runner->xprc_processId();
        QTRY_VERIFY(EndableScript::pid(first) > 0);
        QCOMPARE(runner->xprc_run(nullptr, "", second, "", message, false), 0);
        const qint64 secondPid = runner->xprc_processId();
        QVERIFY(secondPid != firstPid);
        QTRY_VERIFY(EndableScript::gotSigterm(first));
        QTRY_VERIFY(!processExists(firstPid)); // and reaped
        QVERIFY(processExists(secondPid));
        QCOMPARE(runner->findChildren<QProcess*>().size(), 1);
        delete runner;
        QTRY_VERIFY(!processExists(secondPid));
    }

    // 200 MB on standard output and error that nobody reads: the host's
    // resident memory grows by less than 1 MB.
    void unreadOutputIsDropped()
    {
        xprocess runner;
        QString message;
        // Warm up the runner's own paths, so that only the output could count.
        QCOMPARE(runner.xprc_run(nullptr, "", "/bin/true", "", message, true), 0);
        const qint64 before = residentKiB();
        QVERIFY(before > 0);
        QCOMPARE(runner.xprc_run(nullptr, "", "/bin/sh",
                                 "-c \"head -c 104857600 /dev/zero; head -c 104857600 /dev/zero >&2\"",
                                 message, true),
                 0);
        const qint64 growth = residentKiB() - before;
        QVERIFY2(growth < 1024, qPrintable(QStringLiteral("grew by %1 KiB").arg(growth)));
    }

    // A program reading a stick that no longer answers sleeps in the kernel
    // and ignores SIGTERM and SIGKILL alike until the read returns: its end
    // costs the event loop nothing, and the program goes once it can.
    void stuckProgramNeverHoldsTheEventLoop()
    {
        if (!StuckStick::available())
            QSKIP("no /dev/fuse on this machine");
        StuckStick stick(work.filePath("stick"));
        QVERIFY(stick.start());
        auto* runner = new xprocess;
        QString message;
        QCOMPARE(runner->xprc_run(nullptr, "", "/bin/cat", "\"" + stick.data() + "\"", message, false), 0);
        const qint64 pid = runner->xprc_processId();
        QTRY_VERIFY(stick.beingRead());
        LoopWatch watch;
        delete runner;
        stick.outlastsItsEnd(pid, watch);
    }

    void callersProcessObject()
    {
        const QString path = script("caller.sh");
        QProcess own;
        {
            xprocess runner;
            QString message;
            QCOMPARE(runner.xprc_run(&own, "", path, "MODE=2", message, false), 0);
            QVERIFY(runner.findChildren<QProcess*>().isEmpty());
            QCOMPARE(own.processId(), runner.xprc_processId());
        }
        QCOMPARE(own.state(), QProcess::Running); // the runner's end leaves it alone
        own.kill();
        QVERIFY(own.waitForFinished());
    }

    void detachedInItsFolder()
    {
        const QString path = script("sub dir/detached.sh", 0.2);
        xprocess runner;
        QString message;
        QCOMPARE(runner.xprc_runDetached(nullptr, work.filePath("sub dir/"), "detached.sh", "MODE=2", message), 0);
        RecordedStart start;
        QTRY_VERIFY(RecordingScript::lastStart(path, start));
        QCOMPARE(start.dir, work.filePath("sub dir"));
        QCOMPARE(start.arguments, QStringList{"MODE=2"});
        QCOMPARE(start.pid, runner.xprc_processId());
        QCOMPARE(::waitpid(pid_t(start.pid), nullptr, WNOHANG), -1); // not our child
    }

    void findFile()
    {
        const QString etc = work.filePath("etc/vantel");
        QVERIFY(QDir().mkpath(etc));
        QFile registry(etc + "/registry.ini");
        QVERIFY(registry.open(QIODevice::WriteOnly));
        registry.write(("[HKEY_LOCAL_MACHINE\\Loader]\nSystemPath=" + work.filePath("a") + "\nSystemPath="
                        + work.filePath("b") + "\n").toUtf8());
        registry.close();
        for (const char* file : {"a/both", "b/both", "b/only-b", "cwd/here"})
            RecordingScript::write(work.filePath(file), 0);

        const QString previous = QDir::currentPath();
        QVERIFY(QDir::setCurrent(work.filePath("cwd")));
        xprocess runner; // the current folder as it is now
        QDir::setCurrent(previous);
        QString path = "stale";
        QCOMPARE(runner.xprc_findFile("here", path), 0);
        QCOMPARE(path, work.filePath("cwd/here"));
        QCOMPARE(runner.xprc_findFile("only-b", path), 0);
        QCOMPARE(path, work.filePath("b/only-b"));
        QCOMPARE(runner.xprc_findFile("both", path), 0);
        QCOMPARE(path, work.filePath("a/both"));
        QCOMPARE(runner.xprc_findFile("nowhere", path), 3);
        QCOMPARE(path, QString());
    }
};

QTEST_GUILESS_MAIN(TestXProcess)
#include "tst_xprocess.moc"
