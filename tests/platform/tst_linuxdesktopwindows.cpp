// Guards the desktop windows service on a private Xvfb with real X clients:
// a window found by the class in WM_CLASS, a mapped one before an unmapped
// one, under a frame or only through _NET_CLIENT_LIST; closing that makes
// the program end, leaves other programs and windows that take no
// WM_DELETE_WINDOW alone; no server, a server gone and back, and a server
// that stops answering, each within the time limit.
#include <QElapsedTimer>
#include <QtTest>

#include <xcb/xcb.h>

#include <csignal>
#include <cstring>

#include "linux/linuxdesktopwindows.h"
#include "testprocess.h"
#include "testxserver.h"

using namespace vantel::platform;

namespace {

constexpr int kLimitMs = 300;

// The test's own X client: frames and a window that takes no close request.
class Client
{
public:
    Client() : c(xcb_connect(nullptr, nullptr)), root(xcb_setup_roots_iterator(xcb_get_setup(c)).data->root) {}
    ~Client() { xcb_disconnect(c); }

    xcb_window_t window(xcb_window_t parent, const char* wmClass = nullptr, std::size_t classLength = 0)
    {
        const xcb_window_t id = xcb_generate_id(c);
        xcb_create_window(c, XCB_COPY_FROM_PARENT, id, parent, 0, 0, 200, 100, 0, XCB_WINDOW_CLASS_INPUT_OUTPUT,
                          XCB_COPY_FROM_PARENT, 0, nullptr);
        if (wmClass)
            xcb_change_property(c, XCB_PROP_MODE_REPLACE, id, XCB_ATOM_WM_CLASS, XCB_ATOM_STRING, 8,
                                std::uint32_t(classLength), wmClass);
        xcb_map_window(c, id);
        sync();
        return id;
    }

    void reparent(xcb_window_t child, xcb_window_t parent)
    {
        xcb_reparent_window(c, child, parent, 0, 0);
        sync();
    }

    void setClientList(xcb_window_t client)
    {
        const char name[] = "_NET_CLIENT_LIST";
        auto* atom = xcb_intern_atom_reply(c, xcb_intern_atom(c, 0, sizeof name - 1, name), nullptr);
        xcb_change_property(c, XCB_PROP_MODE_REPLACE, root, atom->atom, XCB_ATOM_WINDOW, 32, 1, &client);
        std::free(atom);
        sync();
    }

    bool exists(xcb_window_t id)
    {
        xcb_generic_error_t* error = nullptr;
        std::free(xcb_get_geometry_reply(c, xcb_get_geometry(c, id), &error));
        std::free(error);
        return !error;
    }

private:
    void sync() { std::free(xcb_get_input_focus_reply(c, xcb_get_input_focus(c), nullptr)); }

    xcb_connection_t* c;

public:
    const xcb_window_t root;
};

} // namespace

class TestLinuxDesktopWindows : public QObject
{
    Q_OBJECT

    TestXServer server;

    bool startClient(TestProcess& client, const QString& program, const QStringList& arguments,
                     const char* windowClass)
    {
        if (!client.start(program, arguments))
            return false;
        LinuxDesktopWindows windows;
        QElapsedTimer clock;
        clock.start();
        while (!windows.findWindow(windowClass) && clock.elapsed() < 10000)
            QTest::qWait(20);
        return windows.findWindow(windowClass) != 0;
    }

    bool startXmessage(TestProcess& client)
    {
        return startClient(client, "xmessage", {"-name", "vkbd", "stand-in keyboard"}, "Xmessage");
    }

private slots:
    void init() { QVERIFY2(server.start(), qPrintable(server.error())); }
    void cleanup() { server.stop(); }

    void findsByClassMappedFirst()
    {
        TestProcess first, second;
        QVERIFY(startXmessage(first));
        LinuxDesktopWindows windows(kLimitMs);
        const WindowHandle firstWindow = windows.findWindow("Xmessage");
        QVERIFY(second.start("xmessage", {"-name", "vkbd", "another"}));
        QByteArray found;
        QTRY_VERIFY((server.run("xdotool", {"search", "--onlyvisible", "--class", "^Xmessage$"}, 10000, &found),
                     found.count('\n') == 2));
        QCOMPARE(windows.findWindow("Xmessage"), firstWindow); // stacked below, found first
        QCOMPARE(server.run("xdotool", {"windowunmap", "--sync", QString::number(firstWindow)}), 0);
        const WindowHandle shown = windows.findWindow("Xmessage");
        QVERIFY(shown && shown != firstWindow);
        second.stop();
        QTRY_COMPARE(windows.findWindow("Xmessage"), firstWindow); // hidden, but still there
        QCOMPARE(windows.findWindow("vkbd"), WindowHandle(0));     // the instance name is not the class
        QCOMPARE(windows.findWindow("xmessage"), WindowHandle(0)); // nor another case
        QCOMPARE(windows.findWindow(""), WindowHandle(0));
    }

    void findsUnderFramesAndInClientList()
    {
        TestProcess keyboard;
        QVERIFY(startXmessage(keyboard));
        LinuxDesktopWindows windows(kLimitMs);
        const WindowHandle window = windows.findWindow("Xmessage");
        Client wm;
        const xcb_window_t frame = wm.window(wm.root);
        wm.reparent(xcb_window_t(window), frame);
        QCOMPARE(windows.findWindow("Xmessage"), window);
        const xcb_window_t inner = wm.window(frame);
        wm.reparent(xcb_window_t(window), inner);
        QCOMPARE(windows.findWindow("Xmessage"), WindowHandle(0)); // too deep for the walk
        wm.setClientList(xcb_window_t(window));
        QCOMPARE(windows.findWindow("Xmessage"), window);
        QVERIFY(windows.closeWindow(window));
        QTRY_VERIFY(!keyboard.running());
    }

    void closesOnlyWindowsThatTakePart()
    {
        TestProcess keyboard, logo;
        QVERIFY(startXmessage(keyboard));
        QVERIFY(startClient(logo, "xlogo", {}, "XLogo"));
        Client own;
        const char plainClass[] = "plain\0Plain";
        const xcb_window_t plain = own.window(own.root, plainClass, sizeof plainClass);

        LinuxDesktopWindows windows(kLimitMs);
        const WindowHandle window = windows.findWindow("Xmessage");
        QVERIFY(windows.closeWindow(window));
        QTRY_VERIFY(!keyboard.running());
        QCOMPARE(windows.findWindow("Xmessage"), WindowHandle(0));
        QVERIFY(!windows.closeWindow(window)); // gone
        QVERIFY(logo.running());
        QVERIFY(windows.findWindow("XLogo"));

        QCOMPARE(windows.findWindow("Plain"), WindowHandle(plain));
        QVERIFY(!windows.closeWindow(plain)); // no WM_DELETE_WINDOW: left alone
        QVERIFY(own.exists(plain));
        QVERIFY(!windows.closeWindow(0));
        QVERIFY(!windows.closeWindow(WindowHandle(1) << 40)); // no X window has such an id
    }

    void noServer()
    {
        const QByteArray display = qgetenv("DISPLAY");
        qunsetenv("DISPLAY");
        LinuxDesktopWindows unset(kLimitMs);
        QCOMPARE(unset.findWindow("Xmessage"), WindowHandle(0));
        QVERIFY(!unset.closeWindow(0x200003));
        qputenv("DISPLAY", display);
    }

    void serverGoneAndBack()
    {
        LinuxDesktopWindows windows(kLimitMs);
        {
            TestProcess keyboard;
            QVERIFY(startXmessage(keyboard));
            QVERIFY(windows.findWindow("Xmessage"));
            server.stop();
            QCOMPARE(windows.findWindow("Xmessage"), WindowHandle(0));
            LinuxDesktopWindows gone(kLimitMs); // DISPLAY names a display that is gone
            QCOMPARE(gone.findWindow("Xmessage"), WindowHandle(0));
            QVERIFY(!gone.closeWindow(0x200003));
        }
        QVERIFY2(server.start(), qPrintable(server.error()));
        TestProcess keyboard;
        QVERIFY(startXmessage(keyboard));
        QVERIFY(windows.findWindow("Xmessage"));
    }

    void serverThatStopsAnswering()
    {
        TestProcess keyboard;
        QVERIFY(startXmessage(keyboard));
        LinuxDesktopWindows connected(kLimitMs);
        QVERIFY(connected.findWindow("Xmessage"));
        ::kill(server.pid(), SIGSTOP);
        QElapsedTimer clock;
        clock.start();
        QCOMPARE(connected.findWindow("Xmessage"), WindowHandle(0));
        LinuxDesktopWindows connecting(kLimitMs); // its first connection hangs
        QCOMPARE(connecting.findWindow("Xmessage"), WindowHandle(0));
        QVERIFY(!connecting.closeWindow(0x200003));
        const qint64 elapsed = clock.elapsed();
        ::kill(server.pid(), SIGCONT);
        // One time limit each, then "no server" at once.
        QVERIFY2(elapsed < 3 * kLimitMs, qPrintable(QString::number(elapsed)));
        QTRY_VERIFY(connected.findWindow("Xmessage"));
        QTRY_VERIFY(connecting.findWindow("Xmessage"));
    }
};

QTEST_GUILESS_MAIN(TestLinuxDesktopWindows)
#include "tst_linuxdesktopwindows.moc"
