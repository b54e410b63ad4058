#ifndef XINTERNET_H
#define XINTERNET_H

/// @file
/// XInternet, the internet indicator's provider, and its status codes.

#include <QAbstractSocket>
#include <QObject>
#include <QString>

#include "vantel_export.h"

class QTcpSocket;
class QTimer;

/// Phases of the status query.
enum {
    XINTSTATUS_null = 0,   ///< no attempt under way
    XINTSTATUS_READING = 5 ///< an attempt is under way
};

/// Reachability status; sig_changeStatus carries XINT_ONLINE or XINT_OFFLINE.
enum {
    XINT_NOCHECK = 0,  ///< no check made yet
    XINT_STOPPING = 2, ///< the provider is going away
    XINT_ONLINE = 3,   ///< the check host was reached
    XINT_OFFLINE = 4   ///< two checks in a row failed
};

/// The internet indicator's provider. From time to time it opens a TCP
/// connection to the check host and closes it once established; the
/// indicator stays hidden while the internet is reachable and shows the
/// offline icon, with the socket's error text, once two checks in a row have
/// failed. Every change of reachability is announced by sig_changeStatus.
///
/// The check host is the one of the settings' SETT_CHECKCONN_ADDRESS, a URL
/// such as "http://127.0.0.1:8080/" (port 80 when it names none); a value that
/// is not a URL with a host falls back to a public web host on port 80.
/// An attempt that has not connected within 10 s counts as failed; the
/// environment variable VANTEL_INTERNET_TIMEOUT_MS, read when the provider is
/// made, sets another limit in milliseconds.
///
/// Thread: the GUI thread only, where the library makes it as a child of its indicator. The connection attempt runs on the GUI thread's
/// event loop and never blocks it.
///
/// Without a network: the attempts fail, and after two of them the indicator
/// shows the offline icon.
class VANTEL_EXPORT XInternet : public QObject
{
    Q_OBJECT
public:
    /// Reads the check address from the settings and the time limit from the
    /// environment, once.
    explicit XInternet(QObject* parent);
    ~XInternet() override;

    /// One status query; starts an attempt every six polls while online and
    /// every three while offline. HARDWARE_OFF when it finds the internet
    /// reachable (the indicator hides), XINFORET_OK with the offline icon and
    /// the error text once offline, STATUS_UNCHANGED while nothing changed.
    int xint_getStatus(QString& value, QString& icon);

signals:
    /// Reachability changed: XINT_ONLINE (3) or XINT_OFFLINE (4). Emitted in
    /// the GUI thread.
    void sig_changeStatus(int status);

public slots:
    /// A click on the indicator; it changes nothing.
    void slt_InternalCommunication(int val, int par, int opt);
    /// The check socket's state: an attempt ends when it connects or fails.
    void slt_StateChanged(QAbstractSocket::SocketState socketState);

private:
    void xint_readStatus();
    void xint_statusConverter(int status, QString& icon, int& ret);
    bool xint_interface();
    void giveUpAttempt();

    qint32 status = XINT_NOCHECK;
    qint32 previousStatus = XINT_NOCHECK;
    QString valueText;
    QString iconPath;
    QString checkAddress;
    QString checkText;
    qint32 pollCount = 0;
    qint32 sameStatusCount = 0;
    qint32 phase = XINTSTATUS_null;
    bool online = true;
    bool connected = false;
    QTcpSocket* socket = nullptr;

    QString checkHost;
    quint16 checkPort = 80;
    /// Ends an attempt that neither connects nor fails, as a black-holed host does.
    QTimer* connectLimit = nullptr;
    /// The error text of the latest failed attempt: the next attempt clears the socket's.
    QString failureText;

    friend class tst_XInternet;
};

#endif
