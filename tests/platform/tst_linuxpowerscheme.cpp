// Guards the Linux power scheme: its store file under an empty
// XDG_CONFIG_HOME, shared with other users and read again when another
// program changed it; missing, garbage or unwritable stores as failed reads
// and writes that leave no temporary file; the activation, which gives the display-off timeout of the
// power source in use to a private Xvfb and holds logind's sleep inhibitor
// (dbusmock on a private bus) while the sleep timeout is 0, and copes with
// both gone.
#include <QDBusArgument>
#include <QtTest>

#include <xcb/xcb.h>

#include <csignal>
#include <cstdlib>

#include "fakedevicetree.h"
#include "linux/linuxpowerscheme.h"
#include "linux/linuxpowerstatus.h"
#include "testpowerscheme.h"
#include "testprocess.h"
#include "testsystembus.h"
#include "testxserver.h"

using namespace vantel::platform;

namespace {

const Guid& scheme = GUID_TYPICAL_POWER_SAVINGS;
using testscheme::read;
using testscheme::write;

// The X server's screen saver timeout in seconds; -1 without a server.
int screenSaverTimeout()
{
    xcb_connection_t* connection = xcb_connect(nullptr, nullptr);
    xcb_get_screen_saver_reply_t* saver =
        xcb_get_screen_saver_reply(connection, xcb_get_screen_saver(connection), nullptr);
    const int timeout = saver ? saver->timeout : -1;
    std::free(saver);
    xcb_disconnect(connection);
    return timeout;
}

} // namespace

class TestLinuxPowerScheme : public QObject
{
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> config;
    FakeDeviceTree power;
    std::unique_ptr<LinuxPowerStatus> powerStatus;
    TestSystemBus bus;
    TestXServer display;

    QString storeFile() const { return config->filePath("vantel/powerscheme.conf"); }

    void setMains(bool online) { power.attribute("class/power_supply/AC/online", online ? "1" : "0"); }

    // "what who mode" of each inhibitor logind holds.
    QStringList inhibitors() const
    {
        const QDBusMessage reply = bus.call("org.freedesktop.login1", "/org/freedesktop/login1",
                                            "org.freedesktop.login1.Manager", "ListInhibitors");
        QStringList list;
        const QDBusArgument array = reply.arguments().value(0).value<QDBusArgument>();
        array.beginArray();
        for (QString what, who, why, mode; !array.atEnd(); list << what + ' ' + who + ' ' + mode) {
            uint uid = 0, pid = 0;
            array.beginStructure();
            array >> what >> who >> why >> mode >> uid >> pid;
            array.endStructure();
        }
        array.endArray();
        return list;
    }

private slots:
    void initTestCase()
    {
        QVERIFY2(bus.start(), qPrintable(bus.error()));
        QVERIFY2(bus.startTemplate("logind"), qPrintable(bus.error()));
        QVERIFY2(display.start(), qPrintable(display.error()));
        power.attribute("class/power_supply/AC/type", "Mains");
        powerStatus = std::make_unique<LinuxPowerStatus>(power.root().toStdString());
    }

    void init()
    {
        config = std::make_unique<QTemporaryDir>();
        qputenv("XDG_CONFIG_HOME", config->path().toUtf8());
        setMains(true);
    }

    void badStores_data()
    {
        QTest::addColumn<QByteArray>("content"); // "<dir>": a folder in its place, "<file>": the folder is a file
        QTest::addColumn<int>("acValue");
        QTest::addColumn<bool>("writable");
        const QByteArray key = "7516B95F-F776-4464-8C53-06167F40CC99 ADED5E82-B909-4619-9949-F5D71DAC0BCB";
        QTest::newRow("none yet") << QByteArray() << -1 << true;
        QTest::newRow("garbage") << QByteArray("\x7f" "ELF\x02\x01\x01\0\0 AC 60\n\xff\xfe", 18) << -1 << true;
        QTest::newRow("good line among junk")
            << QByteArray("junk\n" + key + " AC 42\n" + key + " XX 1\n" + key + " DC 4294967296\n" + key + " DC 1 2\n")
            << 42 << true;
        QTest::newRow("too big to be ours") << QByteArray(key + " AC 42\n").repeated(2000) << -1 << true;
        QTest::newRow("a folder in its place") << QByteArray("<dir>") << -1 << false;
        QTest::newRow("no folder can be made") << QByteArray("<file>") << -1 << false;
    }

    void badStores()
    {
        const QByteArray key = "7516b95f-f776-4464-8c53-06167f40cc99 aded5e82-b909-4619-9949-f5d71dac0bcb";
        QFETCH(QByteArray, content);
        QFETCH(int, acValue);
        QFETCH(bool, writable);
        QVERIFY(QDir().mkpath(content == "<file>" ? config->path() : config->filePath("vantel")));
        QFile file(content == "<file>" ? config->filePath("vantel") : storeFile());
        if (content == "<dir>")
            QVERIFY(QDir().mkpath(storeFile()));
        else if (!content.isEmpty())
            QVERIFY(file.open(QIODevice::WriteOnly) && file.write(content) == content.size());
        file.close();
        LinuxPowerScheme store(LinuxPowerSchemeStore::defaultPath(), *powerStatus);
        QCOMPARE(read(store, PowerLine::AC), acValue);
        QCOMPARE(read(store, PowerLine::DC), -1);
        QCOMPARE(write(store, PowerLine::DC, 5), std::uint32_t(writable ? ERROR_SUCCESS : ERROR_ACCESS_DENIED));

        LinuxPowerScheme reader(LinuxPowerSchemeStore::defaultPath(), *powerStatus);
        QCOMPARE(read(reader, PowerLine::DC), writable ? 5 : -1);
        QCOMPARE(read(reader, PowerLine::AC), acValue); // what was readable is kept
        const QStringList left = QDir(config->filePath("vantel")).entryList(QDir::Files);
        QCOMPARE(left, writable ? QStringList{"powerscheme.conf"} : QStringList()); // no temporary file

        // Another program changes the file: read again.
        QVERIFY(!writable || (file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(key + " AC 77\n") > 0));
        file.close();
        QCOMPARE(read(store, PowerLine::AC), writable ? 77 : -1);
    }

    void activationAppliesTheSourcesTimeouts()
    {
        LinuxPowerScheme store(LinuxPowerSchemeStore::defaultPath(), *powerStatus);
        const auto activate = [&] { QCOMPARE(store.setActiveScheme(scheme), std::uint32_t(ERROR_SUCCESS)); };
        const int serverDefault = screenSaverTimeout();
        QVERIFY(serverDefault > 0);
        activate(); // nothing written: the server's own timeout stays
        QCOMPARE(screenSaverTimeout(), serverDefault);

        write(store, PowerLine::AC, 120, GUID_VIDEO_POWERDOWN_TIMEOUT);
        write(store, PowerLine::DC, 0, GUID_VIDEO_POWERDOWN_TIMEOUT);
        write(store, PowerLine::DC, 0, GUID_STANDBY_TIMEOUT);
        write(store, PowerLine::AC, 1800, GUID_STANDBY_TIMEOUT);
        QCOMPARE(screenSaverTimeout(), serverDefault); // written, not yet applied
        activate();
        QCOMPARE(screenSaverTimeout(), 120);
        QCOMPARE(inhibitors(), QStringList());

        setMains(false);
        activate();
        activate(); // one inhibitor, however often
        QCOMPARE(screenSaverTimeout(), 0);
        QCOMPARE(inhibitors(), QStringList{"idle:sleep Vantel block"});
        setMains(true);
        activate();
        QTRY_COMPARE(inhibitors(), QStringList());

        // Without X server and logind nothing is applied; once both are back, all is.
        write(store, PowerLine::AC, 300, GUID_VIDEO_POWERDOWN_TIMEOUT);
        write(store, PowerLine::AC, 0, GUID_STANDBY_TIMEOUT);
        QVERIFY(bus.stopTemplate("logind"));
        display.stop();
        activate();
        QVERIFY2(display.start(), qPrintable(display.error()));
        QCOMPARE(screenSaverTimeout(), serverDefault);
        QVERIFY2(bus.startTemplate("logind"), qPrintable(bus.error()));
        activate();
        QCOMPARE(screenSaverTimeout(), 300);
        QCOMPARE(inhibitors(), QStringList{"idle:sleep Vantel block"});
    }

    // One connection, kept; a server that stops answering costs one time
    // limit (2 s), then "no server" at once until it answers again.
    void displayServerThatStopsAnswering()
    {
        LinuxPowerScheme store(LinuxPowerSchemeStore::defaultPath(), *powerStatus);
        write(store, PowerLine::AC, 60, GUID_VIDEO_POWERDOWN_TIMEOUT);
        const int before = openSockets();
        for (int i = 0; i < 3; ++i)
            QCOMPARE(store.setActiveScheme(scheme), std::uint32_t(ERROR_SUCCESS));
        QCOMPARE(screenSaverTimeout(), 60);
        QCOMPARE(openSockets(), before + 1);

        write(store, PowerLine::AC, 90, GUID_VIDEO_POWERDOWN_TIMEOUT);
        ::kill(pid_t(display.pid()), SIGSTOP);
        QElapsedTimer clock;
        clock.start();
        store.setActiveScheme(scheme);
        const qint64 first = clock.restart();
        store.setActiveScheme(scheme);
        const qint64 again = clock.elapsed();
        ::kill(pid_t(display.pid()), SIGCONT);
        const QString times = QString("%1 %2").arg(first).arg(again);
        QVERIFY2(first >= 1900 && first < 2500 && again < 100, qPrintable(times));
        QTRY_VERIFY((store.setActiveScheme(scheme), screenSaverTimeout() == 90));
    }
};

QTEST_GUILESS_MAIN(TestLinuxPowerScheme)
#include "tst_linuxpowerscheme.moc"
