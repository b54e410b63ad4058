// Guards the choice of backend at start (VANTEL_PLATFORM=sim selects the
// simulated tablet, anything else the native one; CTest runs this suite with
// both) and the Linux debugger output: one line on standard error.
#include <QtTest>

#include <unistd.h>

#include "linux/linuxdebugoutput.h"
#include "platform.h"

using namespace vantel::platform;

class TestBackendSelection : public QObject
{
    Q_OBJECT

private slots:
    void chosenFromEnvironment()
    {
        QCOMPARE(QByteArray(backend().name()), qgetenv("VANTEL_EXPECTED_BACKEND"));
        QCOMPARE(currentBackend().get(), &backend()); // chosen once
    }

    void linuxDebugOutputIsOneLineOnStandardError()
    {
        int pipeFds[2];
        QCOMPARE(::pipe(pipeFds), 0);
        const int savedErr = ::dup(STDERR_FILENO);
        ::dup2(pipeFds[1], STDERR_FILENO);
        LinuxDebugOutput output;
        output.outputDebugString("Cwifi: notifica ricevuta");
        output.outputDebugString("RefreshWiFiInterface failed\r\n");
        ::dup2(savedErr, STDERR_FILENO);
        ::close(savedErr);
        ::close(pipeFds[1]);
        char buffer[256] = {};
        const ssize_t n = ::read(pipeFds[0], buffer, sizeof(buffer) - 1);
        ::close(pipeFds[0]);
        QCOMPARE(QByteArray(buffer, int(n)), QByteArray("vantel: Cwifi: notifica ricevuta\nvantel: RefreshWiFiInterface failed\n"));
    }
};

QTEST_GUILESS_MAIN(TestBackendSelection)
#include "tst_backendselection.moc"
