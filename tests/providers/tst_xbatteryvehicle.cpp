// Guards the vehicle battery provider: the reading in volts and, in debug
// mode (read from the settings on every query), in millivolts; a missing
// reading; and its trace lines.
#include <QApplication>
#include <QTemporaryDir>
#include <QtTest>

#include "iconcatalogue.h"
#include "testcatalogue.h"
#include "testlog.h"
#include "testsettings.h"
#include "vantelapi.h"
#include "xbatteryvehicle.h"

class tst_XBatteryVehicle : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void volts_data();
    void volts();
    void missingReading();
    void debugModeInMillivolts();

private:
    QString query(XBatteryVehicle& provider, int expected = XINFORET_OK);
    void useSettings(const QByteArray& text);

    QTemporaryDir work;
    QString icon;
};

void tst_XBatteryVehicle::initTestCase()
{
    QVERIFY(installTestCatalogue(work.path()));
    icon = work.path() + QStringLiteral("/battvehicon.png");
    QFile::remove(testLogFile());
    VANTEL_OpenLib();  // first: opening forgets the settings it finds
    useSettings(QByteArray());
}

void tst_XBatteryVehicle::cleanupTestCase()
{
    VANTEL_CloseLib();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

void tst_XBatteryVehicle::useSettings(const QByteArray& text)
{
    QVERIFY(installTestSettings(work.filePath(QStringLiteral("system.ini")), text));
}

QString tst_XBatteryVehicle::query(XBatteryVehicle& provider, int expected)
{
    QString value = QStringLiteral("old");
    QString path;
    const int ret = provider.xbatvhe_getStatus(value, path);
    if (ret != expected || path != icon)
        return QStringLiteral("unexpected ret %1 icon %2").arg(ret).arg(path);
    return value;
}

void tst_XBatteryVehicle::volts_data()
{
    QTest::addColumn<double>("millivolts");
    QTest::addColumn<QString>("text");
    QTest::newRow("12600") << 12600.0 << "12.6V";
    QTest::newRow("zero") << 0.0 << "0.0V";
    QTest::newRow("negative is not divided") << -5.0 << "-5.0V";
    QTest::newRow("rounding") << 13849.0 << "13.8V";
}

void tst_XBatteryVehicle::volts()
{
    QFETCH(double, millivolts);
    QFETCH(QString, text);
    XBatteryVehicle provider;
    QCOMPARE(provider.xbatvhe_setParameter(millivolts, true), 0);
    QCOMPARE(query(provider), text);
    // An unchanged reading is a full report too.
    QCOMPARE(query(provider), text);
}

void tst_XBatteryVehicle::missingReading()
{
    XBatteryVehicle provider;
    const int before = testLogTexts(1024).size();
    QTest::ignoreMessage(QtWarningMsg, "XBatteryVehicle::xbatvhe_getStatus failed ret:XINFORET_OK");
    QCOMPARE(query(provider), QStringLiteral("---"));

    provider.xbatvhe_setParameter(12600, true);
    QCOMPARE(query(provider), QStringLiteral("12.6V"));
    provider.xbatvhe_setParameter(14000, false);
    QTest::ignoreMessage(QtWarningMsg, "XBatteryVehicle::xbatvhe_getStatus failed ret:XINFORET_OK");
    QCOMPARE(query(provider), QStringLiteral("---"));

    // The report keeps the last converted value.
    const QStringList reports = testLogTexts(1024).mid(before);
    QCOMPARE(reports, (QStringList{
                          QStringLiteral("getStatus report status:[0] value:[---] icon:[%1] ret:[0]").arg(icon),
                          QStringLiteral("getStatus report status:[12.6] value:[12.6V] icon:[%1] ret:[0]").arg(icon),
                          QStringLiteral("getStatus report status:[12.6] value:[---] icon:[%1] ret:[0]").arg(icon)}));
}

void tst_XBatteryVehicle::debugModeInMillivolts()
{
    XBatteryVehicle provider;
    provider.xbatvhe_setParameter(12600, true);
    const int before = testLogTexts(4096).size();
    useSettings("[Debug]\nIND_DEBUG_BATTERYVEHICLE=1\n");
    QCOMPARE(query(provider), QStringLiteral("1.26e+04mV"));
    QCOMPARE(query(provider), QStringLiteral("1.26e+04mV"));
    useSettings(QByteArray());
    QCOMPARE(query(provider), QStringLiteral("12.6V"));

    const QStringList lines = testLogTexts(4096).mid(before);
    const QString header = QStringLiteral("[XBatteryVehicle::xbatvhe_getStatus] ---------------");
    QCOMPARE(lines, (QStringList{header, "XBatteryVehicle::xbatvhe_getStatus [mV] status:12600 old:0", header,
                                 "XBatteryVehicle::xbatvhe_getStatus [mV] status:12600 old:12600", header,
                                 "XBatteryVehicle::xbatvhe_getStatus [V] status:12.6"}));
}

QTEST_MAIN(tst_XBatteryVehicle)
#include "tst_xbatteryvehicle.moc"
