// Guards the Linux power scheme: values kept in the store file under an empty
// XDG_CONFIG_HOME, written whole and read again only when the file changed,
// missing, garbage or unwritable stores as failed reads and writes; and the
// activation, which applies the display-off timeout of the power source in
// use to a private Xvfb and holds logind's sleep inhibitor (python3-dbusmock
// on a private bus) while the sleep timeout is 0.
#include <QDBusArgument>
#include <QtTest>

#include <xcb/xcb.h>

#include <cstdlib>

#include "fakedevicetree.h"
#include "linux/linuxpowerscheme.h"
#include "linux/linuxpowerstatus.h"
#include "testsystembus.h"
#include "testxserver.h"

using namespace vantel::platform;

namespace {

const Guid& scheme = GUID_TYPICAL_POWER_SAVINGS;

std::uint32_t readBrightness(PowerScheme& store, PowerLine line, std::uint32_t& value)
{
    return store.readValueIndex(line, scheme, GUID_VIDEO_SUBGROUP, GUID_DEVICE_POWER_POLICY_VIDEO_BRIGHTNESS, value);
}

std::uint32_t writeBrightness(PowerScheme& store, PowerLine line, std::uint32_t value)
{
    return store.writeValueIndex(line, scheme, GUID_VIDEO_SUBGROUP, GUID_DEVICE_POWER_POLICY_VIDEO_BRIGHTNESS, value);
}

// The X server's screen saver timeout in seconds; -1 without a server.
int screenSaverTimeout()
{
    xcb_connection_t* connection = xcb_connect(nullptr, nullptr);
    int timeout = -1;
    if (!xcb_connection_has_error(connection)) {
        xcb_get_screen_saver_reply_t* saver =
            xcb_get_screen_saver_reply(connection, xcb_get_screen_saver(connection), nullptr);
        if (saver)
            timeout = saver->timeout;
        std::free(saver);
    }
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

    QStringList inhibitors() const
    {
        const QDBusMessage reply = bus.call("org.freedesktop.login1", "/org/freedesktop/login1",
                                            "org.freedesktop.login1.Manager", "ListInhibitors");
        QStringList list;
        const QDBusArgument array = reply.arguments().value(0).value<QDBusArgument>();
        array.beginArray();
        while (!array.atEnd()) {
            QString what, who, why, mode;
            uint uid = 0, pid = 0;
            array.beginStructure();
            array >> what >> who >> why >> mode >> uid >> pid;
            array.endStructure();
            list << what + ' ' + who + ' ' + mode;
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

    void storeKeepsValues()
    {
        QCOMPARE(QString::fromStdString(LinuxPowerSchemeStore::defaultPath()), storeFile());
        LinuxPowerScheme first(LinuxPowerSchemeStore::defaultPath(), *powerStatus);
        Guid active{};
        QCOMPARE(first.getActiveScheme(active), std::uint32_t(ERROR_SUCCESS));
        QVERIFY(active == scheme);
        std::uint32_t value = 0;
        QCOMPARE(readBrightness(first, PowerLine::AC, value), std::uint32_t(ERROR_FILE_NOT_FOUND));
        QVERIFY(!QFile::exists(storeFile())); // reading makes nothing

        QCOMPARE(writeBrightness(first, PowerLine::AC, 60), std::uint32_t(ERROR_SUCCESS));
        QCOMPARE(readBrightness(first, PowerLine::AC, value), std::uint32_t(ERROR_SUCCESS));
        QCOMPARE(value, 60u);
        QCOMPARE(readBrightness(first, PowerLine::DC, value), std::uint32_t(ERROR_FILE_NOT_FOUND));
        QCOMPARE(QDir(config->filePath("vantel")).entryList(QDir::Files), QStringList{"powerscheme.conf"});

        // Another scheme is not there to read or write.
        const Guid other{1, 2, 3, {4, 5, 6, 7, 8, 9, 10, 11}};
        QCOMPARE(first.readValueIndex(PowerLine::AC, other, GUID_VIDEO_SUBGROUP,
                                      GUID_DEVICE_POWER_POLICY_VIDEO_BRIGHTNESS, value),
                 std::uint32_t(ERROR_FILE_NOT_FOUND));
        QCOMPARE(first.setActiveScheme(other), std::uint32_t(ERROR_FILE_NOT_FOUND));

        // A second user of the file, and a person editing it, are seen.
        LinuxPowerScheme second(LinuxPowerSchemeStore::defaultPath(), *powerStatus);
        QCOMPARE(readBrightness(second, PowerLine::AC, value), std::uint32_t(ERROR_SUCCESS));
        QCOMPARE(value, 60u);
        QFile file(storeFile());
        QVERIFY(file.open(QIODevice::ReadOnly));
        QByteArray text = file.readAll();
        file.close();
        QVERIFY2(text.contains("7516b95f-f776-4464-8c53-06167f40cc99 aded5e82-b909-4619-9949-f5d71dac0bcb AC 60\n"),
                 text.constData());
        text.replace(" AC 60", " AC 100");
        QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(text) == text.size());
        file.close();
        QCOMPARE(readBrightness(first, PowerLine::AC, value), std::uint32_t(ERROR_SUCCESS));
        QCOMPARE(value, 100u);
    }

    void badStores_data()
    {
        QTest::addColumn<QByteArray>("content"); // "<dir>": a folder in its place, "<file>": the folder is a file
        QTest::addColumn<int>("acValue");        // -1: a failed read
        QTest::addColumn<bool>("writable");
        const QByteArray key = "7516B95F-F776-4464-8C53-06167F40CC99 ADED5E82-B909-4619-9949-F5D71DAC0BCB";
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
        QFETCH(QByteArray, content);
        QFETCH(int, acValue);
        QFETCH(bool, writable);
        if (content == "<file>") {
            QFile blocker(config->filePath("vantel"));
            QVERIFY(blocker.open(QIODevice::WriteOnly));
        } else if (content == "<dir>") {
            QVERIFY(QDir().mkpath(storeFile()));
        } else {
            QVERIFY(QDir().mkpath(config->filePath("vantel")));
            QFile file(storeFile());
            QVERIFY(file.open(QIODevice::WriteOnly) && file.write(content) == content.size());
        }
        LinuxPowerScheme store(LinuxPowerSchemeStore::defaultPath(), *powerStatus);
        std::uint32_t value = 0;
        const std::uint32_t read = readBrightness(store, PowerLine::AC, value);
        QCOMPARE(read == ERROR_SUCCESS ? int(value) : -1, acValue);
        QCOMPARE(readBrightness(store, PowerLine::DC, value), std::uint32_t(ERROR_FILE_NOT_FOUND));

        QCOMPARE(writeBrightness(store, PowerLine::DC, 5), std::uint32_t(writable ? ERROR_SUCCESS : ERROR_ACCESS_DENIED));
        LinuxPowerScheme reader(LinuxPowerSchemeStore::defaultPath(), *powerStatus);
        QCOMPARE(readBrightness(reader, PowerLine::DC, value) == ERROR_SUCCESS, writable);
        const std::uint32_t again = readBrightness(reader, PowerLine::AC, value);
        QCOMPARE(again == ERROR_SUCCESS ? int(value) : -1, acValue); // what was readable is kept
        QCOMPARE(QDir(config->path()).entryList(QDir::Files).size() + QDir(config->filePath("vantel")).entryList(QDir::Files).size(),
                 content == "<file>" ? 1 : content == "<dir>" ? 0 : 1); // no temporary file left
    }

    void activationAppliesTheSourcesTimeouts()
    {
        LinuxPowerScheme store(LinuxPowerSchemeStore::defaultPath(), *powerStatus);
        const auto write = [&](PowerLine line, const Guid& subgroup, const Guid& setting, std::uint32_t value) {
            QCOMPARE(store.writeValueIndex(line, scheme, subgroup, setting, value), std::uint32_t(ERROR_SUCCESS));
        };
        const auto activate = [&] { QCOMPARE(store.setActiveScheme(scheme), std::uint32_t(ERROR_SUCCESS)); };
        const int serverDefault = screenSaverTimeout();
        QVERIFY(serverDefault > 0);
        activate(); // nothing written: the server's own timeout stays
        QCOMPARE(screenSaverTimeout(), serverDefault);

        write(PowerLine::AC, GUID_VIDEO_SUBGROUP, GUID_VIDEO_POWERDOWN_TIMEOUT, 120);
        write(PowerLine::DC, GUID_VIDEO_SUBGROUP, GUID_VIDEO_POWERDOWN_TIMEOUT, 0);
        write(PowerLine::DC, GUID_SLEEP_SUBGROUP, GUID_STANDBY_TIMEOUT, 0);
        write(PowerLine::AC, GUID_SLEEP_SUBGROUP, GUID_STANDBY_TIMEOUT, 1800);
        QCOMPARE(screenSaverTimeout(), serverDefault); // written, not yet applied
        activate();
        QCOMPARE(screenSaverTimeout(), 120);
        QCOMPARE(inhibitors(), QStringList());

        setMains(false);
        activate();
        QCOMPARE(screenSaverTimeout(), 0);
        QCOMPARE(inhibitors(), QStringList{"idle:sleep Vantel block"});
        activate(); // one inhibitor, however often
        QCOMPARE(inhibitors(), QStringList{"idle:sleep Vantel block"});

        setMains(true);
        activate();
        QTRY_COMPARE(inhibitors(), QStringList());
    }

    void activationWithoutDisplayOrLogind()
    {
        LinuxPowerScheme store(LinuxPowerSchemeStore::defaultPath(), *powerStatus);
        store.writeValueIndex(PowerLine::AC, scheme, GUID_VIDEO_SUBGROUP, GUID_VIDEO_POWERDOWN_TIMEOUT, 300);
        store.writeValueIndex(PowerLine::AC, scheme, GUID_SLEEP_SUBGROUP, GUID_STANDBY_TIMEOUT, 0);
        QVERIFY(bus.stopTemplate("logind"));
        qunsetenv("DISPLAY");
        QCOMPARE(store.setActiveScheme(scheme), std::uint32_t(ERROR_SUCCESS));

        // Both back: the next activation reaches them.
        qputenv("DISPLAY", display.display().toLatin1());
        QVERIFY2(bus.startTemplate("logind"), qPrintable(bus.error()));
        QCOMPARE(store.setActiveScheme(scheme), std::uint32_t(ERROR_SUCCESS));
        QCOMPARE(screenSaverTimeout(), 300);
        QCOMPARE(inhibitors(), QStringList{"idle:sleep Vantel block"});
    }
};

QTEST_GUILESS_MAIN(TestLinuxPowerScheme)
#include "tst_linuxpowerscheme.moc"
