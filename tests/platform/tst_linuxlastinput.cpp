// Guards the Linux last input against a private Xvfb's real idle counter:
// the idle time grows without input and `xdotool mousemove` resets it; no X
// server (DISPLAY unset, or the server gone) means the last input cannot be
// told, and the service finds the next server by itself. A server that
// stops answering costs one time limit (2 s), then "no server" at once
// until it answers again. The tick count follows the monotonic clock.
#include <QElapsedTimer>
#include <QtTest>

#include <csignal>

#include "linux/linuxlastinput.h"
#include "testxserver.h"

using namespace vantel::platform;

class TestLinuxLastInput : public QObject
{
    Q_OBJECT

    // Milliseconds since the last input; -1 when it cannot be told.
    static qint64 idleMs(LinuxLastInput& input)
    {
        std::uint32_t last = 0;
        if (!input.getLastInputInfo(last))
            return -1;
        return qint64(std::uint32_t(input.getTickCount() - last));
    }

private slots:
    void idleTimeOfTheXServer()
    {
        TestXServer display;
        QVERIFY2(display.start(), qPrintable(display.error()));
        LinuxLastInput input;
        QCOMPARE(display.run("xdotool", {"mousemove", "10", "10"}), 0);
        QTRY_VERIFY_WITH_TIMEOUT(idleMs(input) >= 1500, 5000);
        QCOMPARE(display.run("xdotool", {"mousemove", "20", "20"}), 0);
        const qint64 afterInput = idleMs(input);
        QVERIFY2(afterInput >= 0 && afterInput < 1000, qPrintable(QString::number(afterInput)));

        // The server goes: nothing to tell. Another comes: found again.
        display.stop();
        QCOMPARE(idleMs(input), -1);
        TestXServer next;
        QVERIFY2(next.start(), qPrintable(next.error()));
        QTRY_VERIFY(idleMs(input) >= 0);

        qunsetenv("DISPLAY");
        LinuxLastInput headless;
        QCOMPARE(idleMs(headless), -1);
    }

    void serverThatStopsAnswering()
    {
        TestXServer display;
        QVERIFY2(display.start(), qPrintable(display.error()));
        LinuxLastInput connected;
        QVERIFY(idleMs(connected) >= 0);
        ::kill(pid_t(display.pid()), SIGSTOP);
        QElapsedTimer clock;
        clock.start();
        QCOMPARE(idleMs(connected), -1);
        const qint64 first = clock.restart();
        QCOMPARE(idleMs(connected), -1);
        const qint64 again = clock.restart();
        LinuxLastInput connecting; // its connection's set-up goes unanswered
        QCOMPARE(idleMs(connecting), -1);
        const qint64 opening = clock.restart();
        QCOMPARE(idleMs(connecting), -1);
        const qint64 openingAgain = clock.elapsed();
        ::kill(pid_t(display.pid()), SIGCONT);
        const QString times = QString("%1 %2 %3 %4").arg(first).arg(again).arg(opening).arg(openingAgain);
        QVERIFY2(first >= 1900 && first < 2500 && opening >= 1900 && opening < 2500, qPrintable(times));
        QVERIFY2(again < 100 && openingAgain < 100, qPrintable(times));
        QTRY_VERIFY(idleMs(connected) >= 0);
        QTRY_VERIFY(idleMs(connecting) >= 0);
    }

    void tickCountIsTheMonotonicClock()
    {
        LinuxLastInput input;
        QElapsedTimer clock;
        clock.start();
        const std::uint32_t first = input.getTickCount();
        QTest::qWait(200);
        const std::uint32_t elapsed = input.getTickCount() - first;
        QVERIFY2(elapsed >= 199 && elapsed <= std::uint32_t(clock.elapsed()) + 1, qPrintable(QString::number(elapsed)));
    }
};

QTEST_GUILESS_MAIN(TestLinuxLastInput)
#include "tst_linuxlastinput.moc"
