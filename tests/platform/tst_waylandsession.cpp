// Guards the Wayland services against real compositors (Debian's cage and
// sway, headless): the desktop captured through screencopy shows what a
// client window drew; the seconds without input grow while nothing happens
// and fall back after input; a window is found by its app id and closed
// through foreign toplevels; and a compositor that goes away or stops
// answering costs a bounded time, the services answering "none", then
// coming back with a new compositor.
#include <QElapsedTimer>
#include <QtTest>

#include <csignal>

#include "linux/waylanddesktopwindows.h"
#include "linux/waylandlastinput.h"
#include "linux/waylandscreengrab.h"
#include "testcompositor.h"

using namespace vantel::platform;

class TestWaylandSession : public QObject
{
    Q_OBJECT

    static qint64 idleMs(WaylandLastInput& input)
    {
        std::uint32_t last = 0;
        if (!input.getLastInputInfo(last))
            return -1;
        return qint64(std::uint32_t(input.getTickCount() - last));
    }

    // The four quadrants the test window paints, seen in a capture.
    static QString quadrants(const ScreenPicture& p)
    {
        if (p.width <= 0 || p.height <= 0)
            return QStringLiteral("empty");
        auto at = [&p](int x, int y) { return QString::number(p.pixels[std::size_t(y * p.width + x)], 16); };
        return QStringLiteral("%1x%2 %3 %4 %5 %6")
            .arg(p.width)
            .arg(p.height)
            .arg(at(p.width / 4, p.height / 4), at(3 * p.width / 4, p.height / 4), at(p.width / 4, 3 * p.height / 4),
                 at(3 * p.width / 4, 3 * p.height / 4));
    }

    static QString grabbed(WaylandScreenGrab& grab)
    {
        ScreenPicture picture;
        if (!grab.grabDesktop(picture))
            return QStringLiteral("failed");
        return quadrants(picture);
    }

private slots:
    void captureShowsTheClientWindow_data()
    {
        QTest::addColumn<int>("kind");
        QTest::newRow("cage") << int(TestCompositor::Cage);
        QTest::newRow("sway") << int(TestCompositor::Sway);
    }

    void captureShowsTheClientWindow()
    {
        QFETCH(int, kind);
        TestCompositor compositor;
        QVERIFY2(compositor.start(TestCompositor::Kind(kind)), qPrintable(compositor.error()));
        TestWaylandWindow window;
        QVERIFY2(window.show(QStringLiteral("painter")), qPrintable(window.error()));
        WaylandScreenGrab grab;
        QTRY_COMPARE(grabbed(grab), QStringLiteral("640x480 ffff0000 ff00ff00 ff0000ff ffffffff"));
    }

    void idleGrowsAndInputResetsIt()
    {
        TestCompositor compositor;
        QVERIFY2(compositor.start(TestCompositor::Sway), qPrintable(compositor.error()));
        WaylandLastInput input;
        QTRY_VERIFY(idleMs(input) >= 0);
        QTRY_VERIFY_WITH_TIMEOUT(idleMs(input) >= 2000, 5000);
        QVERIFY(compositor.swaymsg({"seat", "-", "cursor", "move", "5", "5"}));
        QTRY_VERIFY_WITH_TIMEOUT(idleMs(input) < 1000, 2000);
    }

    void windowFoundByAppIdAndClosed()
    {
        TestCompositor compositor;
        QVERIFY2(compositor.start(TestCompositor::Sway), qPrintable(compositor.error()));
        TestWaylandWindow keyboard;
        QVERIFY2(keyboard.show(QStringLiteral("vkbd")), qPrintable(keyboard.error()));
        WaylandDesktopWindows windows(nullptr);
        QCOMPARE(windows.findWindow("other"), WindowHandle(0));
        const WindowHandle found = windows.findWindow("vkbd");
        QVERIFY(found != 0);
        QVERIFY(windows.closeWindow(found));
        QTRY_VERIFY(!keyboard.running());
        QTRY_COMPARE(windows.findWindow("vkbd"), WindowHandle(0));
        QVERIFY(!windows.closeWindow(found));
    }

    void compositorGoneAndBack()
    {
        TestCompositor compositor;
        QVERIFY2(compositor.start(TestCompositor::Sway), qPrintable(compositor.error()));
        TestWaylandWindow keyboard;
        QVERIFY2(keyboard.show(QStringLiteral("vkbd")), qPrintable(keyboard.error()));
        WaylandLastInput input;
        WaylandDesktopWindows windows(nullptr);
        WaylandScreenGrab grab;
        QTRY_VERIFY(idleMs(input) >= 0);
        QVERIFY(windows.findWindow("vkbd") != 0);

        // Frozen: each answer within the time limit.
        ::kill(pid_t(compositor.pid()), SIGSTOP);
        QElapsedTimer clock;
        clock.start();
        QCOMPARE(windows.findWindow("vkbd"), WindowHandle(0));
        QCOMPARE(grabbed(grab), QStringLiteral("failed"));
        QVERIFY2(clock.elapsed() < 4500, qPrintable(QString::number(clock.elapsed())));
        clock.restart();
        QCOMPARE(windows.findWindow("vkbd"), WindowHandle(0));
        QVERIFY2(clock.elapsed() < 500, qPrintable(QString::number(clock.elapsed())));
        QTRY_COMPARE_WITH_TIMEOUT(idleMs(input), qint64(-1), 5000);
        ::kill(pid_t(compositor.pid()), SIGCONT);
        QTRY_VERIFY(windows.findWindow("vkbd") != 0);

        // Gone, then another one.
        keyboard.stop();
        compositor.stop();
        QCOMPARE(windows.findWindow("vkbd"), WindowHandle(0));
        QCOMPARE(grabbed(grab), QStringLiteral("failed"));
        QTRY_COMPARE(idleMs(input), qint64(-1));
        QVERIFY2(compositor.start(TestCompositor::Cage), qPrintable(compositor.error()));
        QTRY_VERIFY(idleMs(input) >= 0);
        TestWaylandWindow window;
        QVERIFY2(window.show(QStringLiteral("painter")), qPrintable(window.error()));
        QTRY_COMPARE(grabbed(grab), QStringLiteral("640x480 ffff0000 ff00ff00 ff0000ff ffffffff"));
    }
};

QTEST_GUILESS_MAIN(TestWaylandSession)
#include "tst_waylandsession.moc"
