// TCP peers on 127.0.0.1 for reachability tests, never any other address:
// a server that accepts, a port that refuses, and a black hole whose
// listening socket is never accepted and whose backlog is full, so that a
// connection attempt gets no answer at all.
#ifndef TESTTCPPEER_H
#define TESTTCPPEER_H

#include <QString>
#include <QTcpServer>

#include <vector>

class TestTcpPeer
{
public:
    TestTcpPeer();
    ~TestTcpPeer();
    TestTcpPeer(const TestTcpPeer&) = delete;
    TestTcpPeer& operator=(const TestTcpPeer&) = delete;

    // Accepts every connection and closes it (accepting needs the test's
    // event loop; the handshake itself completes without it). `port` 0 picks
    // a free one; the same port again reopens a peer that was closed.
    bool accept(quint16 port = 0);

    // Listens and never accepts, with the backlog filled by connections of
    // its own: a further SYN is dropped and connect() hangs until its caller
    // gives up.
    bool blackHole();

    // Stops listening; the port then refuses connections.
    void close();

    quint16 port() const { return listening; }
    // Connections accepted so far, over every reopening.
    int accepted() const { return acceptedCount; }
    const QString& error() const { return failure; }

    // A port on 127.0.0.1 where nothing listens, so a connection is refused.
    static quint16 closedPort();

private:
    QTcpServer server;
    int holeFd = -1;
    std::vector<int> fillers;
    quint16 listening = 0;
    int acceptedCount = 0;
    QString failure;
};

#endif
