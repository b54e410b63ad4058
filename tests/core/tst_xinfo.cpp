// Guards the indicator: the enable / mode table by platform code read from a
// real settings file, the shared forced refresh, visibility by status code and
// by sleep, click routing and the button's name and id by type, the icon
// size, the meta-object a host reads and writes, and the lines one poll of
// the providers that read no device traces, one table.
#include <QApplication>
#include <QMetaProperty>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

#include "indicator/iconcatalogue.h"
#include "library/librarycontext.h"
#include "library/vantelglobals.h"
#include "testcatalogue.h"
#include "testlog.h"
#include "testsettings.h"
#include "vantelapi.h"
#include "vantelsimulation.h"
#include "xindicator.h"
#include "xinfo.h"

namespace {

// Every IND_STS_ key set to `sts`, each mode key to a value that tells which key was read.
QByteArray indicatorSection(int sts)
{
    QByteArray text = "[Indicator]\n";
    for (const char* key : {"BATTERY", "BLUETOOTH", "WIFI", "VCI", "ETHERNET", "GPS", "INTERNET", "BRIGHTNESS",
                            "KEYBOARD", "SCREENCAPTURE", "CAMERA", "BATTERYVEHICLE", "DOWNLOAD"})
        text += "IND_STS_" + QByteArray(key) + "=" + QByteArray::number(sts) + "\n";
    text += "IND_MODE_BATTERY=1\nIND_MODE_BLUETOOTH=2\nIND_MODE_WIFI=1\nIND_MODE_VCI=2\n"
            "IND_MODE_ETHERNET=1\nIND_MODE_DOWNLOAD=2\nIND_MODE_GPS=1\nIND_MODE_SCREENCAPTURE=2\n"
            "IND_MODE_CAMERA=1\nIND_MODE_BRIGHTNESS=2\nIND_MODE_KEYBOARD=1\n";
    return text;
}

QString enabledTypes(const QVector<XInfo*>& indicators)
{
    QStringList types;
    for (XInfo* indicator : indicators)
        if (indicator->xinfo_getEnable())
            types << QString::number(indicator->xinfo_getType());
    return types.join(QLatin1Char(','));
}

QString modes(const QVector<XInfo*>& indicators)
{
    QStringList values;
    for (XInfo* indicator : indicators)
        values << QString::number(indicator->xinfo_getMode());
    return values.join(QLatin1Char(','));
}

} // namespace

class tst_XInfo : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QVERIFY(installTestCatalogue(QStringLiteral(VANTEL_ICON_BUILD_DIR)));
        sim = new VantelSimulation(this);
        sim->setPowerStatus(0, 40);
        VANTEL_OpenLib();
    }

    void cleanupTestCase()
    {
        VANTEL_CloseLib();
    }

    void init()
    {
        LibraryContext::restoreLoadState();
        QVERIFY(installTestSettings(work.filePath(QStringLiteral("system.ini")), QByteArray()));
    }

    void cleanup()
    {
        qDeleteAll(indicators);
        indicators.clear();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    void enableAndModeTable_data()
    {
        QTest::addColumn<QByteArray>("settings");
        QTest::addColumn<QString>("enabled");
        QTest::addColumn<QString>("modes");

        // Mode per type, 0 to 13, for the distinctive mode keys above.
        const QString distinct = QStringLiteral("1,2,1,1,2,-1,2,1,2,2,1,0,2,1");
        for (int sts : {0, 1}) {
            const QByteArray indicator = indicatorSection(sts);
            const QString on = QString::number(sts);
            QTest::newRow(qPrintable("platform 0, keys " + on))
                << "[Data]\nDATA_PLATFORM=0\n" + indicator
                << (sts ? "0,1,2,3,7,11" : "0,1,2,3,7") << distinct;
            QTest::newRow(qPrintable("platform 1, keys " + on))
                << "[Data]\nDATA_PLATFORM=1\n" + indicator
                << (sts ? "0,1,2,9,11,12" : "9") << distinct;
            QTest::newRow(qPrintable("platform 2, keys " + on))
                << "[Data]\nDATA_PLATFORM=2\n" + indicator
                << (sts ? "0,1,2,3,7,9,10,11,13" : "0,1,2,3,7,9,10") << distinct;
            QTest::newRow(qPrintable("platform 3, keys " + on))
                << "[Data]\nDATA_PLATFORM=3\n" + indicator
                << (sts ? "0,1,2,3,4,7,9,10,11,12,13" : "9,10") << distinct;
            QTest::newRow(qPrintable("platform not a number, keys " + on))
                << "[Data]\nDATA_PLATFORM=tablet\n" + indicator
                << (sts ? "0,1,2,3,7,11" : "0,1,2,3,7") << distinct;
        }
        QTest::newRow("defaults") << QByteArray() << "0,1,2,3,7,11" << "0,0,0,0,0,-1,0,0,2,0,0,0,0,0";
        QTest::newRow("battery debug") << QByteArray("[Debug]\nIND_DEBUG_BATTERY=1\n") << "0,1,2,3,7,11"
                                       << "2,0,0,0,0,-1,0,0,2,0,0,0,0,0";
    }

    void enableAndModeTable()
    {
        QFETCH(QByteArray, settings);
        QFETCH(QString, enabled);
        QFETCH(QString, modes);

        QVERIFY(installTestSettings(work.filePath(QStringLiteral("system.ini")), settings));
        createAll();
        QCOMPARE(enabledTypes(indicators), enabled);
        QCOMPARE(::modes(indicators), modes);
    }

    // One initial query sets the flag for every indicator; the next poll of any
    // indicator redraws and shows it whatever its code, and clears the flag.
    void forcedRefreshIsShared()
    {
        XInfo battery;
        XInfo bluetooth;
        bluetooth.xinfo_init(IND_TYPE_BLUETOOTH, XINFO_MODE_TEXT);
        bluetooth.xinfo_setEnable(true);
        QVERIFY(!forceRefresh);
        bluetooth.xinfo_setDesc(QStringLiteral("stale"));

        battery.xinfo_init(IND_TYPE_BATTERY, -1);
        QVERIFY(forceRefresh);

        bluetooth.xinfo_getStatus(false);
        QVERIFY(!forceRefresh);
        QCOMPARE(bluetooth.xinfo_getDesc(), QString());  // refreshed from its idle report
        QVERIFY(bluetooth.xinfo_getWidget()->isVisible());

        // Idle without a forced refresh changes nothing.
        bluetooth.xinfo_getWidget()->setVisible(false);
        bluetooth.xinfo_setDesc(QStringLiteral("kept"));
        bluetooth.xinfo_getStatus(false);
        QCOMPARE(bluetooth.xinfo_getDesc(), QStringLiteral("kept"));
        QVERIFY(!bluetooth.xinfo_getWidget()->isVisible());
    }

    void visibilityByStatusAndSleep()
    {
        XInfo battery;
        battery.xinfo_init(IND_TYPE_BATTERY, -1);
        XInfo vci;
        vci.xinfo_init(IND_TYPE_VCI, XINFO_MODE_ICON);
        vci.xinfo_setEnable(true);
        XIndicator* button = battery.xinfo_getWidget();

        battery.xinfo_getStatus(false);
        QVERIFY(button->isVisible());
        // A 30 px cell less a fifth (logical pixels; Panor renders at the screen's ratio).
        QCOMPARE(battery.xinfo_getImage().size, QSize(24, 24));
        QCOMPARE(battery.xinfo_getImage().path, vantel_iconPath(ICON_BATTERY_HALF));

        battery.xinfo_setSleep(true);
        QVERIFY(battery.xinfo_getSleep());
        QVERIFY(!button->isVisible());
        battery.xinfo_setSleep(false);
        QVERIFY(!battery.xinfo_getSleep());
        QVERIFY(button->isVisible());

        // A failed read hides it; asleep or awake, a hidden indicator stays hidden.
        sim->setPowerStatusReadable(false);
        battery.xinfo_getStatus(false);
        sim->setPowerStatusReadable(true);
        QVERIFY(!button->isVisible());
        battery.xinfo_setSleep(true);
        QVERIFY(!battery.xinfo_getSleep());
        battery.xinfo_setSleep(false);
        QVERIFY(!button->isVisible());

        // Hardware off hides; a disabled indicator counts as failed.
        vci.xinfo_getWidget()->setVisible(true);
        vci.xinfo_getStatus(false);
        QVERIFY(!vci.xinfo_getWidget()->isVisible());
        battery.xinfo_getStatus(false);
        QVERIFY(button->isVisible());
        battery.xinfo_setEnable(false);
        battery.xinfo_getStatus(false);
        QVERIFY(!button->isVisible());
    }

    void clickRouting()
    {
        // The names and ids a host finds the buttons by.
        const char* const names[] = {"xinfo_battery", "xinfo_bluetooth", "xinfo_wifi", "xinfo_ethernet", "xinfo_vci",
                                     "null", "xinfo_download", "null", "xinfo_batteryvehicle", "xinfo_screencapture",
                                     "xinfo_camera", "xinfo_internet", "xinfo_brightness", "xinfo_keyboard"};
        const int ids[] = {5000, 5001, 5002, 5003, 5004, 2999, 5006, 2999, 5009, 5010, 5011, 5012, 5013, 5014};
        for (int type = -1; type < IND_TYPE_COUNT; ++type) {
            XInfo indicator;
            if (type >= 0) {
                indicator.xinfo_setType(type);
                QCOMPARE(indicator.xinfo_getWidget()->objectName(), QString(names[type]));
                QCOMPARE(indicator.xinfo_getWidget()->property("panor_id").toInt(), ids[type]);
            }
            QSignalSpy toProvider(&indicator, &XInfo::sig_InternalCommunication);
            QSignalSpy toHost(&indicator, &XInfo::sig_Information);
            indicator.xinfo_getWidget()->click();

            const bool internal = type == IND_TYPE_BATTERY || type >= IND_TYPE_BATTERYVEHICLE;
            QCOMPARE(toProvider.count(), internal ? 1 : 0);
            QCOMPARE(toHost.count(), internal ? 0 : 1);
            const QList<QVariant> args = internal ? toProvider.first() : toHost.first();
            QCOMPARE(args, (QList<QVariant>{804, internal ? -1 : type, -1}));
        }
    }

    void batteryWarningReachesHost()
    {
        XInfo battery;
        battery.xinfo_init(IND_TYPE_BATTERY, -1);
        QSignalSpy host(&battery, &XInfo::sig_Information);
        sim->setPowerStatus(0, 10);
        battery.xinfo_getStatus(false);
        sim->setPowerStatus(0, 40);
        QCOMPARE(host.count(), 1);
        QCOMPARE(host.first(), (QList<QVariant>{801, 6593, 10}));
    }

    void metaObjectForHosts()
    {
        XInfo indicator;
        const QMetaObject* meta = indicator.metaObject();
        QStringList methods;
        for (int i = meta->methodOffset(); i < meta->methodCount(); ++i)
            methods << QString::fromLatin1(meta->method(i).methodSignature());
        QCOMPARE(methods, (QStringList{"sig_Information(int,int,int)", "sig_InternalCommunication(int,int,int)",
                                       "slt_clicked()", "slt_Information(int,int,int)", "xinfo_getStatus(bool)",
                                       "xinfo_getStatus()"}));
        QStringList properties;
        for (int i = meta->propertyOffset(); i < meta->propertyCount(); ++i)
            properties << QString::fromLatin1(meta->property(i).name()) + QLatin1Char(':')
                              + QString::fromLatin1(meta->property(i).typeName());
        // Qt 6 names the image type by the structure, Qt 5 by the name in the declaration.
        properties.last().replace(QLatin1String("sLAYOUT_IMAGE"), QLatin1String("sImage"));
        QCOMPARE(properties, (QStringList{"xinfo_enable:bool", "xinfo_mode:int", "xinfo_type:int", "xinfo_sleep:bool",
                                          "xinfo_value:QString", "xinfo_icon:QIcon", "xinfo_image:sImage"}));
    #if QT_VERSION >= QT_VERSION_CHECK(6, 0, 0)
        const int byName = QMetaType::fromName("sImage").id();
    #else
        const int byName = QMetaType::type("sImage");
    #endif
        QCOMPARE(byName, meta->property(meta->indexOfProperty("xinfo_image")).userType());
        QVERIFY(!meta->property(meta->indexOfProperty("xinfo_icon")).isWritable());

        QCOMPARE(indicator.property("xinfo_type").toInt(), -1);
        QCOMPARE(indicator.property("xinfo_mode").toInt(), -1);
        QVERIFY(indicator.setProperty("xinfo_enable", true));
        QVERIFY(indicator.xinfo_getEnable());
        QVERIFY(indicator.setProperty("xinfo_mode", 1));
        QCOMPARE(indicator.xinfo_getWidget()->toolButtonStyle(), Qt::ToolButtonTextOnly);
        QVERIFY(indicator.setProperty("xinfo_value", QStringLiteral("12.6V")));
        QCOMPARE(indicator.xinfo_getDesc(), QStringLiteral("12.6V"));
        QCOMPARE(indicator.xinfo_getWidget()->xind_getText(), QStringLiteral("12.6V"));

        sLAYOUT_IMAGE image;
        image.path = vantel_iconPath(ICON_BATTVEHICON);
        image.size = QSize(24, 24);
        QVERIFY(indicator.setProperty("xinfo_image", QVariant::fromValue(image)));
        const sLAYOUT_IMAGE back = indicator.property("xinfo_image").value<sLAYOUT_IMAGE>();
        QCOMPARE(back.path, image.path);
        QCOMPARE(back.size, image.size);
        QVERIFY(!indicator.property("xinfo_icon").value<QIcon>().isNull());
        QCOMPARE(indicator.xinfo_getWidget()->xind_getIconPath(), image.path);
    }

    void traceLines_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<QStringList>("lines");
        const QString icon = vantel_iconPath(ICON_NULL);
        QTest::newRow("bluetooth") << int(IND_TYPE_BLUETOOTH) << testQueryLines("XBluetooth::xblu_getStatus", -1, icon, 3);
        QTest::newRow("ethernet") << int(IND_TYPE_ETHERNET)
                                  << QStringList{"[XEthernet::xeth_getStatus] ---------------",
                                                 "getStatus report ip:[] value:[] icon:[" + icon + "] ret:[4]"};
        QTest::newRow("vci") << int(IND_TYPE_VCI) << testQueryLines("XVciInfo::xvciinf_getStatus", 0, icon, 4);
        QTest::newRow("download") << int(IND_TYPE_DOWNLOAD) << testQueryLines("XDownload::xdwn_getStatus", 0, icon, 4);
    }

    void traceLines()
    {
        QFETCH(int, type);
        XInfo indicator;
        indicator.xinfo_init(type, XINFO_MODE_ICON);
        indicator.xinfo_setEnable(true);
        QTEST(tracedDuring(4096, [&] { indicator.xinfo_getStatus(false); }), "lines");
    }

private:
    QVector<XInfo*> createAll();

    QTemporaryDir work;
    VantelSimulation* sim = nullptr;
    QVector<XInfo*> indicators;
};

QVector<XInfo*> tst_XInfo::createAll()
{
    for (int type = 0; type < IND_TYPE_COUNT; ++type) {
        indicators << new XInfo;
        indicators.last()->xinfo_init(type, -1);
    }
    return indicators;
}

QTEST_MAIN(tst_XInfo)
#include "tst_xinfo.moc"
