// A program a test starts for itself (a bus daemon, a fake service, an X
// server) and ends by its process id. The child gets SIGTERM when the test
// process dies, so a crashed or aborted test leaves nothing running.
#ifndef TESTPROCESS_H
#define TESTPROCESS_H

#include <QByteArray>
#include <QString>
#include <QStringList>

class QProcessEnvironment;

#include <sys/types.h>

class TestProcess
{
public:
    TestProcess() = default;
    ~TestProcess();
    TestProcess(const TestProcess&) = delete;
    TestProcess& operator=(const TestProcess&) = delete;

    // Starts `program` (a path, or a name looked up in PATH) with `arguments`
    // and the test's environment. With `readyFd` >= 0, the child's file
    // descriptor `readyFd` is a pipe that readLine() reads (--print-address=N,
    // -displayfd N). False, with error() saying why, when it cannot start.
    bool start(const QString& program, const QStringList& arguments, int readyFd = -1);

    // One line the child wrote to its ready pipe, without the newline; empty
    // with error() set when none came within `timeoutMs` or the child ended.
    QByteArray readLine(int timeoutMs);

    // SIGTERM, then SIGKILL after `graceMs`; reaps the child. Safe to repeat.
    void stop(int graceMs = 3000);

    // True while the child has not ended.
    bool running();

    pid_t pid() const { return child; }
    const QString& error() const { return failure; }
    // The last `tail` bytes the child wrote to standard error (for a failure
    // message), or all of it with a tail of -1.
    QByteArray errorOutput(qint64 tail = 4096);

private:
    pid_t child = -1;
    int readyPipe = -1;
    int errPipe = -1;
    QByteArray readBuffer;
    QByteArray errBuffer;
    QString failure;
};

// Runs a client of a test's server to its end with `env`: its exit code, or
// -1 when it crashed or outlived `timeoutMs` (then it is killed). Standard
// output goes to `output` when given.
int runTestClient(const QString& program, const QStringList& arguments, const QProcessEnvironment& env,
                  int timeoutMs, QByteArray* output);

// How many sockets the test process holds open (a connection a service kept or opened).
int openSockets();

#endif
