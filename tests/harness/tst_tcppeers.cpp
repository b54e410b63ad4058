// Guards the loopback TCP peers reachability suites use: a peer that accepts
// and, once closed, refuses; a closed port; and a black hole that leaves a
// connection attempt unanswered until the caller gives up.
#include <QTcpSocket>
#include <QtTest>

#include "testtcppeer.h"

class TestTcpPeers : public QObject
{
    Q_OBJECT

private slots:
    void acceptsThenRefuses()
    {
        TestTcpPeer peer;
        QVERIFY2(peer.accept(), qPrintable(peer.error()));
        const quint16 port = peer.port();
        QCOMPARE(peer.url(), QStringLiteral("http://127.0.0.1:%1/").arg(port));
        QTcpSocket socket;
        socket.connectToHost(QHostAddress::LocalHost, port);
        QVERIFY(socket.waitForConnected(5000));
        socket.abort();

        peer.close();
        socket.connectToHost(QHostAddress::LocalHost, port);
        QVERIFY(!socket.waitForConnected(5000));
        QCOMPARE(socket.error(), QAbstractSocket::ConnectionRefusedError);

        QVERIFY2(peer.accept(port), qPrintable(peer.error())); // back on the same port
        socket.connectToHost(QHostAddress::LocalHost, port);
        QVERIFY(socket.waitForConnected(5000));
    }

    void closedPortRefuses()
    {
        const quint16 port = TestTcpPeer::closedPort();
        QVERIFY(port != 0);
        QTcpSocket socket;
        socket.connectToHost(QHostAddress::LocalHost, port);
        QVERIFY(!socket.waitForConnected(5000));
        QCOMPARE(socket.error(), QAbstractSocket::ConnectionRefusedError);
    }

    void blackHoleNeverAnswers()
    {
        TestTcpPeer peer;
        QVERIFY2(peer.blackHole(), qPrintable(peer.error()));
        QTcpSocket socket;
        QSignalSpy connected(&socket, &QTcpSocket::connected);
        QSignalSpy failed(&socket, &QTcpSocket::errorOccurred);
        socket.connectToHost(QHostAddress::LocalHost, peer.port());
        QTest::qWait(1500);
        QCOMPARE(connected.count(), 0);
        QCOMPARE(failed.count(), 0);
        QCOMPARE(socket.state(), QAbstractSocket::ConnectingState);
    }
};

QTEST_GUILESS_MAIN(TestTcpPeers)
#include "tst_tcppeers.moc"
