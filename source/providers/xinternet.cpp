#include "xinternet.h"

#include <QCoreApplication>
#include <QTcpSocket>
#include <QTimer>

#include "indicator/iconcatalogue.h"
#include "providers/checkhost.h"
#include "providers/statusreport.h"
#include "settings/xinisystem.h"
#include "xinfodata.h"

namespace {

const int kDefaultConnectLimitMs = 10000;
const int kSameStatusCap = 100;
// Checks every 3 polls while offline, every 6 otherwise.
const int kOfflineInterval = 3;
const int kOnlineInterval = 6;

int connectLimitMs()
{
    bool ok = false;
    const int ms = qEnvironmentVariableIntValue("VANTEL_INTERNET_TIMEOUT_MS", &ok);
    return ok && ms > 0 ? ms : kDefaultConnectLimitMs;
}

} // namespace

XInternet::XInternet(QObject* parent)
    : QObject(parent)
    , iconPath(vantel_iconPath(ICON_NULL))
    , socket(new QTcpSocket(this))
    , connectLimit(new QTimer(this))
{
    if (vantel_settings)
        checkAddress = vantel_settings->xini_entryValue(SETT_CHECKCONN_ADDRESS);
    const CheckHost host = vantel_checkHost(checkAddress);
    checkHost = host.name;
    checkPort = host.port;

    connectLimit->setSingleShot(true);
    connectLimit->setInterval(connectLimitMs());
    connect(connectLimit, &QTimer::timeout, this, &XInternet::giveUpAttempt);
    connect(socket, &QAbstractSocket::stateChanged, this, &XInternet::slt_StateChanged, Qt::UniqueConnection);
}

XInternet::~XInternet()
{
    status = XINT_STOPPING;
    if (socket) {
        disconnect(socket, &QAbstractSocket::stateChanged, this, &XInternet::slt_StateChanged);
        socket->disconnectFromHost();
        socket->close();
        socket->deleteLater();
        socket = nullptr;
    }
}

void XInternet::slt_StateChanged(QAbstractSocket::SocketState socketState)
{
    switch (socketState) {
    case QAbstractSocket::UnconnectedState:
        if (!connected) {
            VANTEL_TRACE(TRC_MASK_NORMAL, QStringLiteral("[XInternet::checkstatus] OFFLINE"));
            online = false;
            failureText = socket->errorString();
        }
        connected = false;
        break;
    case QAbstractSocket::ConnectedState:
        VANTEL_TRACE(TRC_MASK_NORMAL, QStringLiteral("[XInternet::checkstatus] ONLINE"));
        online = true;
        connected = true;
        socket->disconnectFromHost();
        break;
    default:
        break;
    }
}

void XInternet::giveUpAttempt()
{
    const QAbstractSocket::SocketState state = socket->state();
    if (state != QAbstractSocket::HostLookupState && state != QAbstractSocket::ConnectingState)
        return;
    socket->abort(); // passes through UnconnectedState without a connection: offline
    // The text the system gives when it stops waiting for a connection itself.
    failureText = QCoreApplication::translate("QNativeSocketEngine", "Connection timed out");
}

bool XInternet::xint_interface()
{
    // The attempt itself finds out whether an interface reaches the host.
    return true;
}

void XInternet::xint_readStatus()
{
    if (status == XINT_STOPPING)
        return;
    checkText.clear();
    if (socket && socket->state() == QAbstractSocket::UnconnectedState && xint_interface()) {
        socket->connectToHost(checkHost, checkPort, QIODevice::ReadWrite);
        connectLimit->start();
    }

    // The attempt just started ends later: this check judges the one before.
    int outcome = XINT_ONLINE;
    if (!online) {
        checkText = failureText.isEmpty() ? QStringLiteral("#0") : failureText;
        outcome = XINT_OFFLINE;
    } else {
        checkText = QStringLiteral("%1ms").arg(0);
    }

    if (status == XINT_STOPPING)
        return;
    previousStatus = status;
    status = outcome;
    if (outcome == XINT_OFFLINE && !checkText.isEmpty())
        VANTEL_TRACE(TRC_MASK_NORMAL,
                     QStringLiteral("[XInternet::checkstatus] mode: Offline error:%1").arg(checkText));
    if (status != previousStatus) {
        VANTEL_TRACE(TRC_MASK_NORMAL, QStringLiteral("[XInternet::checkstatus] emetto il segnale"));
        emit sig_changeStatus(status);
        sameStatusCount = 0;
    } else if (sameStatusCount < kSameStatusCap) {
        ++sameStatusCount;
    }
}

void XInternet::xint_statusConverter(int value, QString& icon, int& ret)
{
    if (value == XINT_ONLINE) {
        icon = vantel_iconPath(ICON_NULL);
        ret = HARDWARE_OFF;
    } else {
        icon = vantel_iconPath(ICON_INTERNETOFFLINE);
        ret = XINFORET_OK;
    }
}

int XInternet::xint_getStatus(QString& value, QString& icon)
{
    VANTEL_TRACE_HEADER("XInternet::xint_getStatus");
    int ret = XINFORET_OK;
    if (phase == XINTSTATUS_null) {
        VANTEL_TRACE(TRC_MASK_NORMAL, QStringLiteral("[XInternet::xint_getStatus] XINTSTATUS_null"));
        pollCount = 0;
        xint_statusConverter(XINT_ONLINE, iconPath, ret);
        phase = XINTSTATUS_READING;
    } else {
        ++pollCount;
        const int contr = status == XINT_OFFLINE ? kOfflineInterval : kOnlineInterval;
        VANTEL_TRACE(TRC_MASK_NORMAL,
                     QStringLiteral("[XInternet::xint_getStatus] XINTSTATUS_READING count %1, contr %2")
                         .arg(pollCount)
                         .arg(contr));
        if (pollCount >= contr) {
            VANTEL_TRACE(TRC_MASK_NORMAL,
                         QStringLiteral("[XInternet::xint_getStatus] XINTSTATUS_READING count >= contr"));
            pollCount = 0;
            xint_readStatus();
            valueText = checkText;
        } else {
            VANTEL_TRACE(TRC_MASK_NORMAL,
                         QStringLiteral("[XInternet::xint_getStatus] XINTSTATUS_READING count < contr"));
        }
        xint_statusConverter(status, iconPath, ret);

        // A change to online shows at once; a change to offline waits for
        // the next check to confirm it; an unchanged status is not redrawn.
        const bool fresh = (sameStatusCount == 0 && status == XINT_ONLINE)
                           || (sameStatusCount == 1 && status == XINT_OFFLINE);
        if (!fresh)
            ret = STATUS_UNCHANGED;
    }
    value = valueText;
    icon = iconPath;
    VANTEL_TRACE(TRC_MASK_NORMAL,
                 QStringLiteral("[XInternet::getStatus] report status:[%1] value:[%2] icon:[%3] ret:[%4]")
                     .arg(QString::number(status), valueText, iconPath, QString::number(ret)));
    return ret;
}

void XInternet::slt_InternalCommunication(int, int, int)
{
    // A click on the internet indicator changes nothing.
}
