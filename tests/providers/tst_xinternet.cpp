// Guards the internet provider against TCP peers on 127.0.0.1, poll by poll:
// the first check at the seventh poll, then every 6 polls online and every 3
// offline; a change to offline held back until the next check confirms it, with
// the refused or timed-out attempt's error text as the value; a single failure
// never shown; a black-holed attempt that blocks no check and ends at the
// connect time limit; the capped same-status count; one sig_changeStatus per
// change; the lines of the polls that matter; the check host taken from the
// settings; and the internet indicator that shows the offline icon.
#include <QApplication>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

#include "indicator/iconcatalogue.h"
#include "providers/checkhost.h"
#include "testcatalogue.h"
#include "testlog.h"
#include "testsettings.h"
#include "testtcppeer.h"
#include "vantelapi.h"
#include "xindicator.h"
#include "xinfo.h"
#include "xinternet.h"

namespace {

const int kLimitMs = 1000; // the connect time limit, shortened for these tests
const QString kRefused = QStringLiteral("Connection refused");
const QString kTimedOut = QStringLiteral("Connection timed out");

QTcpSocket* probeSocket(QObject& owner)
{
    return owner.findChild<QTcpSocket*>();
}

// Waits for the probe's attempt, if any, to end.
bool attemptEnded(QObject& owner)
{
    QTcpSocket* socket = probeSocket(owner);
    return socket && QTest::qWaitFor([socket] { return socket->state() == QAbstractSocket::UnconnectedState; },
                                     5 * kLimitMs);
}

QList<int> statuses(const QSignalSpy& spy)
{
    QList<int> list;
    for (const QList<QVariant>& emission : spy)
        list << emission.at(0).toInt();
    return list;
}

} // namespace

class tst_XInternet : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        qputenv("VANTEL_INTERNET_TIMEOUT_MS", QByteArray::number(kLimitMs));
        QVERIFY(installTestCatalogue(QStringLiteral(VANTEL_ICON_BUILD_DIR)));
        QFile::remove(testLogFile());
        VANTEL_OpenLib();
    }

    void cleanupTestCase()
    {
        VANTEL_CloseLib();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    void checkHost_data()
    {
        QTest::addColumn<QString>("address");
        QTest::addColumn<QString>("host");
        QTest::addColumn<int>("port");
        const QString fallback = QStringLiteral("connectivitycheck.gstatic.com");
        QTest::newRow("with port") << "http://127.0.0.1:8080/" << "127.0.0.1" << 8080;
        QTest::newRow("without port") << "http://127.0.0.1/generate_204" << "127.0.0.1" << 80;
        QTest::newRow("bare host name") << "127.0.0.1" << fallback << 80;
        QTest::newRow("empty") << "" << fallback << 80;
        QTest::newRow("port out of range") << "http://127.0.0.1:99999/" << fallback << 80;
        QTest::newRow("blank in host") << "http://127.0 .0.1/" << fallback << 80;
    }

    void checkHost()
    {
        QFETCH(QString, address);
        QFETCH(QString, host);
        QFETCH(int, port);
        const CheckHost target = vantel_checkHost(address);
        QCOMPARE(target.name, host);
        QCOMPARE(int(target.port), port);
    }

    // Hidden at the first poll, held back until the first check, then hidden on
    // every poll until a check finds the same status again. Then a single
    // failure: the check that finds it reports it held back, the next one finds
    // the peer again and hides the indicator, so the offline icon never shows.
    void onlineThenASingleFailure()
    {
        TestTcpPeer peer;
        QVERIFY2(peer.accept(), qPrintable(peer.error()));
        const quint16 port = peer.port();
        auto provider = probe(port);
        QVERIFY(provider);
        QSignalSpy changes(provider.get(), &XInternet::sig_changeStatus);

        QCOMPARE(poll(*provider, 7), QStringLiteral("4,2,2,2,2,2,4"));
        QCOMPARE(value, QStringLiteral("0ms"));
        QCOMPARE(icon, vantel_iconPath(ICON_NULL));
        QCOMPARE(poll(*provider, 12), QStringLiteral("4,4,4,4,4,2,2,2,2,2,2,2"));
        // The attempts of the three checks really reached the peer.
        QTRY_COMPARE(peer.accepted(), 3);

        peer.close();
        QCOMPARE(poll(*provider, 6), QStringLiteral("2,2,2,2,2,2")); // the attempt at the 25th is refused
        QVERIFY2(peer.accept(port), qPrintable(peer.error()));
        QCOMPARE(poll(*provider, 6), QStringLiteral("2,2,2,2,2,2"));
        QCOMPARE(value, kRefused);
        QCOMPARE(poll(*provider, 3), QStringLiteral("2,2,4"));
        QCOMPARE(value, QStringLiteral("0ms"));
        QCOMPARE(statuses(changes), (QList<int>{XINT_ONLINE, XINT_OFFLINE, XINT_ONLINE}));
    }

    // A refused connection: the first check still finds the initial online, the
    // second reports offline held back, the third shows it with the error text.
    void offlineFromStart()
    {
        auto provider = probe(TestTcpPeer::closedPort());
        QVERIFY(provider);
        QSignalSpy changes(provider.get(), &XInternet::sig_changeStatus);
        QCOMPARE(poll(*provider, 16), QStringLiteral("4,2,2,2,2,2,4,4,4,4,4,4,2,2,2,0"));
        QCOMPARE(value, kRefused);
        QCOMPARE(icon, vantel_iconPath(ICON_INTERNETOFFLINE));
        QCOMPARE(poll(*provider, 3), QStringLiteral("0,0,2"));
        QCOMPARE(statuses(changes), (QList<int>{XINT_ONLINE, XINT_OFFLINE}));
    }

    // The lines of the nth poll on a refused port.
    void traceLines_data()
    {
        QTest::addColumn<int>("polled");
        QTest::addColumn<QStringList>("lines");
        const QString none = vantel_iconPath(ICON_NULL);
        const QString offline = vantel_iconPath(ICON_INTERNETOFFLINE);
        const QString tag = QStringLiteral("[XInternet::xint_getStatus] ");
        const QString header = tag + QStringLiteral("---------------");
        const QString reading = tag + QStringLiteral("XINTSTATUS_READING count %1, contr %2");
        const QString checks = tag + QStringLiteral("XINTSTATUS_READING count >= contr");
        const QString failed = QStringLiteral("[XInternet::checkstatus] mode: Offline error:") + kRefused;
        const QString signal = QStringLiteral("[XInternet::checkstatus] emetto il segnale");
        const QString refused = QStringLiteral("[XInternet::checkstatus] OFFLINE");
        const QString report = QStringLiteral("[XInternet::getStatus] report status:[%1] value:[%2] icon:[%3] ret:[%4]");
        QTest::newRow("first poll") << 1 << QStringList{header, tag + "XINTSTATUS_null", report.arg("0", "", none, "4")};
        QTest::newRow("first check") << 7
                                     << QStringList{header, reading.arg(6).arg(6), checks, signal,
                                                    report.arg("3", "0ms", none, "4"), refused};
        QTest::newRow("failure found") << 13
                                       << QStringList{header, reading.arg(6).arg(6), checks, failed, signal,
                                                      report.arg("4", kRefused, offline, "2"), refused};
        QTest::newRow("between checks") << 14
                                        << QStringList{header, reading.arg(1).arg(3),
                                                       tag + "XINTSTATUS_READING count < contr",
                                                       report.arg("4", kRefused, offline, "2")};
        QTest::newRow("failure confirmed") << 16
                                           << QStringList{header, reading.arg(3).arg(3), checks, failed,
                                                          report.arg("4", kRefused, offline, "0"), refused};
    }

    void traceLines()
    {
        QFETCH(int, polled);
        auto provider = probe(TestTcpPeer::closedPort());
        QVERIFY(provider);
        poll(*provider, polled - 1);
        QTEST(tracedDuring(4096, [&] { poll(*provider, 1); }), "lines");
    }

    // An attempt that gets no answer leaves the checks running and starts no
    // second attempt; the time limit ends it as a failure with its own text.
    void blackHoleEndsAtTheLimit()
    {
        TestTcpPeer peer;
        QVERIFY2(peer.blackHole(), qPrintable(peer.error()));
        auto provider = probe(peer.port());
        QVERIFY(provider);
        QTcpSocket* socket = probeSocket(*provider);
        QVERIFY(socket);

        QCOMPARE(poll(*provider, 7, false), QStringLiteral("4,2,2,2,2,2,4"));
        QCOMPARE(socket->state(), QAbstractSocket::ConnectingState);
        QSignalSpy states(socket, &QAbstractSocket::stateChanged);
        QCOMPARE(poll(*provider, 6, false), QStringLiteral("4,4,4,4,4,2"));
        QCOMPARE(states.count(), 0); // no new attempt at the 13th poll
        QCOMPARE(socket->state(), QAbstractSocket::ConnectingState);

        QVERIFY(attemptEnded(*provider));
        QCOMPARE(poll(*provider, 6), QStringLiteral("2,2,2,2,2,2"));
        QCOMPARE(value, kTimedOut);
        QCOMPARE(poll(*provider, 3), QStringLiteral("2,2,0"));
        QCOMPARE(value, kTimedOut);
        QCOMPARE(icon, vantel_iconPath(ICON_INTERNETOFFLINE));

        // Gone with an attempt under way: the follower is off before the socket
        // closes, so no end of the attempt reaches the provider being destroyed.
        poll(*provider, 3, false);
        QCOMPARE(socket->state(), QAbstractSocket::ConnectingState);
        const int offline = testLogTexts(4096).count(QStringLiteral("[XInternet::checkstatus] OFFLINE"));
        provider.reset();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCOMPARE(testLogTexts(4096).count(QStringLiteral("[XInternet::checkstatus] OFFLINE")), offline);
    }

    // Checks that find the same status count up to 100 and no further.
    void sameStatusCountCapped()
    {
        auto provider = probe(TestTcpPeer::closedPort());
        QVERIFY(provider);
        poll(*provider, 13); // the change to offline
        QCOMPARE(provider->sameStatusCount, 0);
        QSignalSpy changes(provider.get(), &XInternet::sig_changeStatus);
        poll(*provider, 3 * 99);
        QCOMPARE(provider->sameStatusCount, 99);
        QCOMPARE(poll(*provider, 3), QStringLiteral("2,2,2"));
        QCOMPARE(provider->sameStatusCount, 100);
        poll(*provider, 3 * 5);
        QCOMPARE(provider->sameStatusCount, 100);
        QCOMPARE(changes.count(), 0);
    }

    // Type 11 polls the provider: hidden while the failure is unconfirmed, then
    // shown with the offline icon.
    void indicatorShowsOffline()
    {
        QVERIFY(checkPort(TestTcpPeer::closedPort()));
        XInfo indicator;
        indicator.xinfo_init(IND_TYPE_INTERNET, -1); // the first query
        QVERIFY(indicator.xinfo_getEnable());
        XIndicator* button = indicator.xinfo_getWidget();
        for (int polled = 2; polled < 16; ++polled) {
            indicator.xinfo_getStatus(false);
            QVERIFY(attemptEnded(indicator));
            QVERIFY2(!button->isVisible(), qPrintable(QString::number(polled)));
        }
        indicator.xinfo_getStatus(false);
        QVERIFY(button->isVisible());
        QCOMPARE(indicator.xinfo_getImage().path, vantel_iconPath(ICON_INTERNETOFFLINE));
    }

private:
    // Points the settings' check address at `port` on 127.0.0.1.
    bool checkPort(quint16 port);
    std::unique_ptr<XInternet> probe(quint16 port);
    // Polls `count` times, letting each attempt end unless `settle` is false;
    // the results, comma-separated.
    QString poll(XInternet& provider, int count, bool settle = true);

    QTemporaryDir work;
    QString value;
    QString icon;
};

bool tst_XInternet::checkPort(quint16 port)
{
    return installTestSettings(work.filePath(QStringLiteral("system.ini")),
                               "[Settaggi]\nSETT_CHECKCONN_ADDRESS=http://127.0.0.1:" + QByteArray::number(port) + "/\n");
}

std::unique_ptr<XInternet> tst_XInternet::probe(quint16 port)
{
    return checkPort(port) ? std::make_unique<XInternet>(nullptr) : nullptr;
}

QString tst_XInternet::poll(XInternet& provider, int count, bool settle)
{
    QStringList results;
    for (int i = 0; i < count; ++i) {
        results << QString::number(provider.xint_getStatus(value, icon));
        if (settle && !attemptEnded(provider))
            return QStringLiteral("an attempt did not end");
        QCoreApplication::processEvents();
    }
    return results.join(QLatin1Char(','));
}

QTEST_MAIN(tst_XInternet)
#include "tst_xinternet.moc"
