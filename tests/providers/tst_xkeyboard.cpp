// Guards the keyboard provider behind its indicator on a private Xvfb, with a
// stand-in keyboard (a script that records its process id and runs xmessage):
// hidden while the program is missing and shown once it exists, with the lines
// of those polls; two clicks before a poll open one keyboard; Windows 7's
// look-first after the poll, the later versions' start on every click; the
// close that makes the keyboard end; a keyboard that outlives its provider; no
// X server at all; and a Wayland compositor that lists no windows (cage), where
// the keyboard the library started is ended with SIGTERM.
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include <csignal>
#include <memory>

#include "indicator/iconcatalogue.h"
#include "platform.h"
#include "recordingscript.h"
#include "sim/simtablet.h"
#include "testcatalogue.h"
#include "testcompositor.h"
#include "testlog.h"
#include "testxserver.h"
#include "univ_modules/programender.h"
#include "vantelapi.h"
#include "vantelsimulation.h"
#include "xindicator.h"
#include "xinfo.h"
#include "xkeyboard.h"

using namespace vantel::platform;

class TestXKeyboard : public QObject
{
    Q_OBJECT

    TestXServer server;
    QTemporaryDir work;
    QString program;
    QString pidFile;
    std::unique_ptr<XInfo> first; // the indicator of the first test

    // A stand-in at `path` that adds its process id to the list, then becomes `command`.
    void writeProgram(const QString& path, const QByteArray& command = "xmessage -name vkbd 'stand-in keyboard'")
    {
        QFile script(path);
        QVERIFY(script.open(QIODevice::WriteOnly));
        script.write("#!/bin/sh\necho $$ >> '" + pidFile.toUtf8() + "'\nexec " + command + "\n");
        script.close();
        QVERIFY(script.setPermissions(script.permissions() | QFile::ExeOwner));
    }

    // The stand-ins started so far, oldest first.
    QList<qint64> started() const
    {
        QFile file(pidFile);
        QList<qint64> pids;
        if (file.open(QIODevice::ReadOnly)) {
            for (const QByteArray& line : file.readAll().split('\n'))
                if (!line.isEmpty())
                    pids << line.toLongLong();
        }
        return pids;
    }

    int keyboardWindows() const
    {
        QByteArray found;
        server.run("xdotool", {"search", "--onlyvisible", "--class", "^Xmessage$"}, 10000, &found);
        return int(found.count('\n'));
    }

    // Detached, a stand-in is nobody's child here: once ended it may stay a zombie.
    static bool ended(qint64 pid) { return processState(pid) == 0 || processState(pid) == 'Z'; }

    static void poll(XInfo& indicator) { indicator.xinfo_getStatus(false); }
    static void click(XInfo& indicator) { indicator.xinfo_getWidget()->click(); }

    static void makeKeyboardIndicator(XInfo& indicator)
    {
        indicator.xinfo_setType(IND_TYPE_KEYBOARD);
        indicator.xinfo_setMode(XINFO_MODE_ICON);
        indicator.xinfo_setEnable(true);
    }

private slots:
    void initTestCase()
    {
        QVERIFY(installTestCatalogue(qEnvironmentVariable("VANTEL_SOURCE_DIR") + "/icons"));
        QVERIFY2(server.start(), qPrintable(server.error()));
        program = work.filePath("keyboard");
        pidFile = work.filePath("started");
        qputenv("VANTEL_KEYBOARD_PROGRAM", program.toUtf8());
        qputenv("VANTEL_KEYBOARD_CLASS", "Xmessage");
        QFile::remove(testLogFile());
        VANTEL_OpenLib();
    }

    void init() { installBackend(createNativeBackend()); }

    void cleanup()
    {
        for (qint64 pid : started())
            if (!ended(pid))
                ::kill(pid_t(pid), SIGTERM);
        QTRY_COMPARE(keyboardWindows(), 0);
        QFile::remove(pidFile);
    }

    void cleanupTestCase()
    {
        first.reset();
        VANTEL_CloseLib();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        server.stop();
    }

    // First, with one indicator through the rows as a host keeps it: the
    // program is looked for at every poll only until it has been found once,
    // so the indicator stays once the program goes.
    void traceLines_data()
    {
        QTest::addColumn<bool>("present"); // the program, at the poll
        QTest::addColumn<bool>("shown");
        QTest::addColumn<QStringList>("lines");
        const char* const query = "XKeyboard::xkb_getStatus";
        const QStringList found = testQueryLines(query, 1, vantel_iconPath(ICON_KEYBOARD_WHITE), XINFORET_OK);
        QTest::newRow("missing") << false << false << testQueryLines(query, 0, vantel_iconPath(ICON_NULL), HARDWARE_OFF);
        QTest::newRow("found") << true << true << found;
        QTest::newRow("gone once found") << false << true << found;
    }

    void traceLines()
    {
        QFETCH(bool, present);
        if (present)
            writeProgram(program);
        else
            QFile::remove(program);
        if (!first) {
            first = std::make_unique<XInfo>();
            makeKeyboardIndicator(*first);
        }
        QTEST(tracedDuring(4096, [&] { poll(*first); }), "lines");
        QTEST(first->xinfo_getWidget()->isVisible(), "shown");
        writeProgram(program);
    }

    void oneKeyboardPerClickUntilThePoll()
    {
        XInfo indicator;
        makeKeyboardIndicator(indicator);
        poll(indicator);
        click(indicator);
        click(indicator);
        QTRY_COMPARE(keyboardWindows(), 1);
        QCOMPARE(started().size(), 1);

        poll(indicator);
        click(indicator); // Windows 7's ways: the keyboard is open already
        XKeyboard* keyboard = indicator.findChild<XKeyboard*>();
        keyboard->KeyBoardClose();
        QTRY_VERIFY(ended(started().first()));
        QCOMPARE(keyboardWindows(), 0); // another program's window stays: tst_linuxdesktopwindows

        click(indicator); // still the same launch until the next poll
        poll(indicator);
        click(indicator);
        QTRY_COMPARE(keyboardWindows(), 1);
        QCOMPARE(started().size(), 2);
        keyboard->slt_kbClosed(0, QProcess::NormalExit);
        QTRY_VERIFY(ended(started().last()));
        keyboard->KeyBoardClose(); // no keyboard window: nothing to do
    }

    void laterVersionsStartOnEveryClick()
    {
        auto tablet = std::make_shared<SimTablet>();
        tablet->simVersion().set({10, 0}, WV_WINDOWS10);
        tablet->simKeyboard().set({program.toStdString(), "Xmessage", std::string()});
        installBackend(tablet);
        auto* indicator = new XInfo;
        makeKeyboardIndicator(*indicator);
        poll(*indicator);
        click(*indicator);
        QTRY_COMPARE(keyboardWindows(), 1);
        poll(*indicator);
        click(*indicator);
        QTRY_COMPARE(keyboardWindows(), 2);

        // The keyboards are not the provider's children: they stay.
        delete indicator;
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        for (qint64 pid : started())
            QVERIFY(!ended(pid));
        QCOMPARE(keyboardWindows(), 2);
    }

    // No X server: with no display at all the stand-in starts and ends by
    // itself; on a Wayland compositor that lists no windows (cage) the
    // keyboard the library started is ended with SIGTERM.
    void withoutAnXServer_data()
    {
        QTest::addColumn<bool>("wayland");
        QTest::newRow("no display") << false;
        QTest::newRow("compositor without a window list") << true;
    }

    void withoutAnXServer()
    {
        QFETCH(bool, wayland);
        TestCompositor compositor;
        const QString native = work.filePath("wayland-keyboard");
        if (wayland) {
            QVERIFY2(compositor.start(TestCompositor::Cage), qPrintable(compositor.error()));
            writeProgram(native, "'" + TestWaylandWindow::program().toUtf8() + "' vkbd");
            qputenv("VANTEL_KEYBOARD_PROGRAM", native.toUtf8());
        }
        const QByteArray display = qgetenv("DISPLAY");
        qunsetenv("DISPLAY");
        const auto restore = qScopeGuard([&] {
            qputenv("VANTEL_KEYBOARD_PROGRAM", program.toUtf8());
            qputenv("DISPLAY", display);
            qunsetenv("WAYLAND_DISPLAY");
        });
        installBackend(createNativeBackend());
        QVERIFY(!wayland || !desktopWindows().seesEveryWindow()); // cage: no toplevel list

        XKeyboard keyboard;
        QString value, icon;
        QCOMPARE(keyboard.xkb_getStatus(value, icon), int(XINFORET_OK));
        keyboard.slt_InternalCommunication(XINFO_MSG_CLICKED, -1, -1);
        QTRY_COMPARE(started().size(), 1);
        QTest::qWait(300);
        QTRY_COMPARE(ended(started().first()), !wayland); // the X stand-in finds no display
        QElapsedTimer clock;
        clock.start();
        keyboard.KeyBoardClose();
        QTRY_VERIFY(ended(started().first()));
        // SIGTERM: gone well before the grace that ends in SIGKILL.
        QVERIFY2(clock.elapsed() < ProgramEnder::kGraceMs / 2, qPrintable(QString::number(clock.elapsed())));
    }
};

QTEST_MAIN(TestXKeyboard)
#include "tst_xkeyboard.moc"
