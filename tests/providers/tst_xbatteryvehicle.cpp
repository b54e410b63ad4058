// Guards the vehicle battery provider: the reading in volts and, in debug
// mode (read from the settings on every query), in millivolts; a missing
// reading; and the trace lines a service engineer reads, one table with the
// values the queries return.
#include <QApplication>
#include <QTemporaryDir>
#include <QtTest>

#include "indicator/iconcatalogue.h"
#include "testcatalogue.h"
#include "testlog.h"
#include "testsettings.h"
#include "vantelapi.h"
#include "xbatteryvehicle.h"

class tst_XBatteryVehicle : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QVERIFY(installTestCatalogue(work.path()));
        icon = work.path() + QStringLiteral("/battvehicon.png");
        QFile::remove(testLogFile());
        VANTEL_OpenLib();  // first: opening forgets the settings it finds
        useSettings(QByteArray());
    }

    void cleanupTestCase()
    {
        VANTEL_CloseLib();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    void volts_data()
    {
        QTest::addColumn<double>("millivolts");
        QTest::addColumn<QString>("text");
        QTest::newRow("12600") << 12600.0 << "12.6V";
        QTest::newRow("zero") << 0.0 << "0.0V";
        QTest::newRow("negative is not divided") << -5.0 << "-5.0V";
        QTest::newRow("rounding") << 13849.0 << "13.8V";
    }

    void volts()
    {
        QFETCH(double, millivolts);
        QFETCH(QString, text);
        XBatteryVehicle provider;
        QCOMPARE(provider.xbatvhe_setParameter(millivolts, true), 0);
        QCOMPARE(query(provider), text);
        // An unchanged reading is a full report too.
        QCOMPARE(query(provider), text);
    }

    void traceLines_data()
    {
        // Steps: "q" a query, "q!" one without a reading, "sN" / "uN" a reading
        // of N mV valid / not valid, "mV" / "V" debug mode on / off.
        QTest::addColumn<QString>("steps");
        QTest::addColumn<QString>("values"); // the queries', in turn
        QTest::addColumn<int>("mask");
        QTest::addColumn<QStringList>("lines");
        const QString header = QStringLiteral("[XBatteryVehicle::xbatvhe_getStatus] ---------------");
        const QString report = "getStatus report status:[%1] value:[%2] icon:[" + icon + "] ret:[0]";
        QTest::newRow("reports keep the last value")
            << "q! s12600 q u14000 q!" << "--- 12.6V ---" << 1024
            << QStringList{report.arg("0", "---"), report.arg("12.6", "12.6V"), report.arg("12.6", "---")};
        // The text kept for an unchanged reading is not the one after a gap.
        QTest::newRow("a reading again after a gap")
            << "s12600 q u14000 q! s12600 q s14000 q" << "12.6V --- 12.6V 14.0V" << 1024
            << QStringList{report.arg("12.6", "12.6V"), report.arg("12.6", "---"), report.arg("12.6", "12.6V"),
                           report.arg("14", "14.0V")};
        QTest::newRow("millivolts in debug mode")
            << "s12600 mV q q V q" << "1.26e+04mV 1.26e+04mV 12.6V" << 4096
            << QStringList{header, "XBatteryVehicle::xbatvhe_getStatus [mV] status:12600 old:0", header,
                           "XBatteryVehicle::xbatvhe_getStatus [mV] status:12600 old:12600", header,
                           "XBatteryVehicle::xbatvhe_getStatus [V] status:12.6"};
    }

    void traceLines()
    {
        QFETCH(QString, steps);
        QFETCH(int, mask);
        QFETCH(QStringList, lines);
        XBatteryVehicle provider;
        QStringList values;
        const QStringList traced = tracedDuring(mask, [&] {
            for (const QString& step : steps.split(' ')) {
                if (step.startsWith('s') || step.startsWith('u')) {
                    provider.xbatvhe_setParameter(step.mid(1).toDouble(), step.startsWith('s'));
                } else if (step.startsWith('q')) {
                    if (step == "q!")
                        QTest::ignoreMessage(QtWarningMsg, "XBatteryVehicle::xbatvhe_getStatus failed ret:XINFORET_OK");
                    values << query(provider);
                } else {
                    useSettings(step == "mV" ? "[Debug]\nIND_DEBUG_BATTERYVEHICLE=1\n" : QByteArray());
                }
            }
        });
        QCOMPARE(traced, lines);
        QTEST(values.join(' '), "values");
    }

private:
    QString query(XBatteryVehicle& provider, int expected = XINFORET_OK);
    void useSettings(const QByteArray& text);

    QTemporaryDir work;
    QString icon;
};

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

QTEST_MAIN(tst_XBatteryVehicle)
#include "tst_xbatteryvehicle.moc"
