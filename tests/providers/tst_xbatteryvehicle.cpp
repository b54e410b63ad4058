// Guards the vehicle battery provider: the reading in volts and, in debug
// mode (read from the settings on every query), in millivolts; a missing
// reading; and the trace lines a service engineer reads, one table.
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
    void traceLines_data();
    void traceLines();

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
    QTest::ignoreMessage(QtWarningMsg, "XBatteryVehicle::xbatvhe_getStatus failed ret:XINFORET_OK");
    QCOMPARE(query(provider), QStringLiteral("---"));
    provider.xbatvhe_setParameter(12600, true);
    QCOMPARE(query(provider), QStringLiteral("12.6V"));
    provider.xbatvhe_setParameter(14000, false);
    QTest::ignoreMessage(QtWarningMsg, "XBatteryVehicle::xbatvhe_getStatus failed ret:XINFORET_OK");
    QCOMPARE(query(provider), QStringLiteral("---"));
    // The reading before the gap, and then a new one, each with its own text.
    provider.xbatvhe_setParameter(12600, true);
    QCOMPARE(query(provider), QStringLiteral("12.6V"));
    provider.xbatvhe_setParameter(14000, true);
    QCOMPARE(query(provider), QStringLiteral("14.0V"));
}

void tst_XBatteryVehicle::debugModeInMillivolts()
{
    XBatteryVehicle provider;
    provider.xbatvhe_setParameter(12600, true);
    useSettings("[Debug]\nIND_DEBUG_BATTERYVEHICLE=1\n");
    QCOMPARE(query(provider), QStringLiteral("1.26e+04mV"));
    QCOMPARE(query(provider), QStringLiteral("1.26e+04mV"));
    useSettings(QByteArray());
    QCOMPARE(query(provider), QStringLiteral("12.6V"));
}

void tst_XBatteryVehicle::traceLines_data()
{
    // Steps: "q" a query, "q!" one without a reading, "sN" / "uN" a reading
    // of N mV valid / not valid, "mV" / "V" debug mode on / off.
    QTest::addColumn<QString>("steps");
    QTest::addColumn<int>("mask");
    QTest::addColumn<QStringList>("lines");
    const QString header = QStringLiteral("[XBatteryVehicle::xbatvhe_getStatus] ---------------");
    const QString report = "getStatus report status:[%1] value:[%2] icon:[" + icon + "] ret:[0]";
    QTest::newRow("reports keep the last value")
        << "q! s12600 q u14000 q!" << 1024
        << QStringList{report.arg("0", "---"), report.arg("12.6", "12.6V"), report.arg("12.6", "---")};
    QTest::newRow("millivolts in debug mode")
        << "s12600 mV q q V q" << 4096
        << QStringList{header, "XBatteryVehicle::xbatvhe_getStatus [mV] status:12600 old:0", header,
                       "XBatteryVehicle::xbatvhe_getStatus [mV] status:12600 old:12600", header,
                       "XBatteryVehicle::xbatvhe_getStatus [V] status:12.6"};
}

void tst_XBatteryVehicle::traceLines()
{
    QFETCH(QString, steps);
    QFETCH(int, mask);
    QFETCH(QStringList, lines);
    XBatteryVehicle provider;
    const QStringList traced = tracedDuring(mask, [&] {
        for (const QString& step : steps.split(' ')) {
            if (step.startsWith('s') || step.startsWith('u')) {
                provider.xbatvhe_setParameter(step.mid(1).toDouble(), step.startsWith('s'));
            } else if (step.startsWith('q')) {
                if (step == "q!")
                    QTest::ignoreMessage(QtWarningMsg, "XBatteryVehicle::xbatvhe_getStatus failed ret:XINFORET_OK");
                query(provider);
            } else {
                useSettings(step == "mV" ? "[Debug]\nIND_DEBUG_BATTERYVEHICLE=1\n" : QByteArray());
            }
        }
    });
    QCOMPARE(traced, lines);
}

QTEST_MAIN(tst_XBatteryVehicle)
#include "tst_xbatteryvehicle.moc"
