// Guards the providers that read no device: their fixed reports and result
// codes, repeated on every query, and their trace lines letter for letter.
#include <QCoreApplication>
#include <QTemporaryDir>
#include <QtTest>

#include "iconcatalogue.h"
#include "testcatalogue.h"
#include "testlog.h"
#include "tracelwrapper.h"
#include "vantelapi.h"
#include "vantelglobals.h"
#include "xbluetooth.h"
#include "xdownload.h"
#include "xethernet.h"
#include "xvciinfo.h"

class tst_FixedProviders : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void reports_data();
    void reports();

private:
    QTemporaryDir icons;
    QString nullIcon;
};

void tst_FixedProviders::initTestCase()
{
    QVERIFY(installTestCatalogue(icons.path()));
    nullIcon = icons.path() + QStringLiteral("/null.png");
    QCOMPARE(vantel_iconPath(ICON_NULL), nullIcon);
    QFile::remove(testLogFile());
    VANTEL_OpenLib();
}

void tst_FixedProviders::cleanupTestCase()
{
    VANTEL_CloseLib();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

void tst_FixedProviders::reports_data()
{
    QTest::addColumn<int>("provider");
    QTest::addColumn<QString>("value");
    QTest::addColumn<int>("ret");
    QTest::addColumn<QString>("header");
    QTest::addColumn<QString>("report");

    QTest::newRow("bluetooth") << 0 << QString() << int(XINFORET_IDLE)
                               << "[XBluetooth::xblu_getStatus] ---------------"
                               << "getStatus report status:[-1] value:[] icon:[%1] ret:[3]";
    QTest::newRow("vci") << 1 << "VCI" << int(HARDWARE_OFF)
                         << "[XVciInfo::xvciinf_getStatus] ---------------"
                         << "getStatus report status:[0] value:[] icon:[%1] ret:[4]";
    QTest::newRow("download") << 2 << "DWN" << int(HARDWARE_OFF)
                              << "[XDownload::xdwn_getStatus] ---------------"
                              << "getStatus report status:[0] value:[] icon:[%1] ret:[4]";
    QTest::newRow("ethernet") << 3 << "ETH" << int(HARDWARE_OFF)
                              << "[XEthernet::xeth_getStatus] ---------------"
                              << "getStatus report ip:[] value:[] icon:[%1] ret:[4]";
}

void tst_FixedProviders::reports()
{
    QFETCH(int, provider);
    QFETCH(QString, value);
    QFETCH(int, ret);
    QFETCH(QString, header);
    QFETCH(QString, report);

    XBluetooth bluetooth;
    XVciInfo vci;
    XDownload download;
    XEthernet ethernet;
    const int before = testLogTexts(4096).size();

    // Whatever the out-parameters held before, every query gives the same report.
    for (const QString& old : {QStringLiteral("old"), QString()}) {
        QString text = old;
        QString icon = old;
        int got = -1;
        switch (provider) {
        case 0: got = bluetooth.xblu_getStatus(text, icon); break;
        case 1: got = vci.xvciinf_getStatus(text, icon); break;
        case 2: got = download.xdwn_getStatus(text, icon); break;
        default: got = ethernet.xeth_getStatus(text, icon); break;
        }
        QCOMPARE(got, ret);
        QCOMPARE(text, value);
        QCOMPARE(icon, nullIcon);
    }

    const QStringList lines = testLogTexts(4096).mid(before);
    const QStringList expected = {header, report.arg(nullIcon), header, report.arg(nullIcon)};
    QCOMPARE(lines, expected);
}

QTEST_GUILESS_MAIN(tst_FixedProviders)
#include "tst_fixedproviders.moc"
