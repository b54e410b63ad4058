// Guards the Linux last input against a private Xvfb's real idle counter:
// the idle time grows without input and `xdotool mousemove` resets it; no X
// server (DISPLAY unset, or the server gone) means the last input cannot be
// told, and the service finds the next server by itself. The tick count
// follows the monotonic clock.
#include <QElapsedTimer>
#include <QtTest>

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
