#include "testtcppeer.h"

#include <QTcpSocket>

#include <arpa/inet.h>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

sockaddr_in loopback(quint16 port)
{
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(port);
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    return address;
}

QString systemError(const char* what)
{
    return QStringLiteral("%1: %2").arg(QLatin1String(what), QString::fromLocal8Bit(std::strerror(errno)));
}

// A non-blocking connect to `port`: true when it completes within `ms`.
bool connectsWithin(int fd, quint16 port, int ms)
{
    const sockaddr_in address = loopback(port);
    if (::connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof(address)) == 0)
        return true;
    if (errno != EINPROGRESS)
        return false;
    pollfd item{fd, POLLOUT, 0};
    if (::poll(&item, 1, ms) != 1)
        return false;
    int error = 0;
    socklen_t size = sizeof(error);
    return ::getsockopt(fd, SOL_SOCKET, SO_ERROR, &error, &size) == 0 && error == 0;
}

} // namespace

TestTcpPeer::TestTcpPeer()
{
    QObject::connect(&server, &QTcpServer::newConnection, &server, [this] {
        while (QTcpSocket* socket = server.nextPendingConnection()) {
            ++acceptedCount;
            socket->close();
            socket->deleteLater();
        }
    });
}

TestTcpPeer::~TestTcpPeer()
{
    close();
}

bool TestTcpPeer::accept(quint16 port)
{
    close();
    if (!server.listen(QHostAddress::LocalHost, port)) {
        failure = QStringLiteral("listen on 127.0.0.1:%1: %2").arg(port).arg(server.errorString());
        return false;
    }
    listening = server.serverPort();
    return true;
}

bool TestTcpPeer::blackHole()
{
    close();
    holeFd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address = loopback(0);
    socklen_t size = sizeof(address);
    if (holeFd < 0 || ::bind(holeFd, reinterpret_cast<sockaddr*>(&address), sizeof(address)) != 0
        || ::listen(holeFd, 0) != 0 || ::getsockname(holeFd, reinterpret_cast<sockaddr*>(&address), &size) != 0) {
        failure = systemError("black hole socket");
        close();
        return false;
    }
    listening = ntohs(address.sin_port);
    // Fill the accept queue: the first connection that does not complete
    // shows it is full.
    for (int i = 0; i < 64; ++i) {
        const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
        if (fd < 0) {
            failure = systemError("filler socket");
            close();
            return false;
        }
        fillers.push_back(fd);
        if (!connectsWithin(fd, listening, 300))
            return true;
    }
    failure = QStringLiteral("the backlog of 127.0.0.1:%1 never filled").arg(listening);
    close();
    return false;
}

void TestTcpPeer::close()
{
    server.close();
    for (int fd : fillers)
        ::close(fd);
    fillers.clear();
    if (holeFd >= 0)
        ::close(holeFd);
    holeFd = -1;
    listening = 0;
}

quint16 TestTcpPeer::closedPort()
{
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address = loopback(0);
    socklen_t size = sizeof(address);
    quint16 port = 0;
    if (fd >= 0 && ::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof(address)) == 0
        && ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &size) == 0)
        port = ntohs(address.sin_port);
    if (fd >= 0)
        ::close(fd);
    return port;
}
