#include "testprocess.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <vector>

TestProcess::~TestProcess()
{
    stop();
}

bool TestProcess::start(const QString& program, const QStringList& arguments, int readyFd)
{
    stop();
    failure.clear();
    readBuffer.clear();
    errBuffer.clear();

    const QString path = program.contains(QLatin1Char('/')) ? program
                                                            : QStandardPaths::findExecutable(program);
    if (path.isEmpty() || !QFileInfo(path).isExecutable()) {
        failure = QStringLiteral("%1: not found or not executable (is the README's set-up done?)").arg(program);
        return false;
    }

    // Everything the child needs is made before fork: after it, only
    // async-signal-safe calls until exec.
    std::vector<QByteArray> storage;
    storage.push_back(QFile::encodeName(path));
    for (const QString& argument : arguments)
        storage.push_back(argument.toLocal8Bit());
    std::vector<char*> argv;
    for (QByteArray& item : storage)
        argv.push_back(item.data());
    argv.push_back(nullptr);

    int ready[2] = {-1, -1};
    if (readyFd >= 0 && ::pipe2(ready, O_CLOEXEC) != 0) {
        failure = QStringLiteral("pipe: %1").arg(QString::fromLocal8Bit(std::strerror(errno)));
        return false;
    }
    // Standard error goes to an unlinked file, not a pipe, so a chatty child
    // can never block on a pipe nobody reads.
    char errName[] = "/tmp/vantel-test-stderr-XXXXXX";
    errPipe = ::mkostemp(errName, O_CLOEXEC);
    if (errPipe >= 0)
        ::unlink(errName);
    const int devNull = ::open("/dev/null", O_RDWR | O_CLOEXEC);
    const pid_t parent = ::getpid();

    child = ::fork();
    if (child == 0) {
        ::prctl(PR_SET_PDEATHSIG, SIGTERM);
        if (::getppid() != parent)
            ::_exit(127);
        ::setpgid(0, 0);
        ::dup2(devNull, 0);
        ::dup2(devNull, 1);
        ::dup2(errPipe >= 0 ? errPipe : devNull, 2);
        if (readyFd >= 0)
            ::dup2(ready[1], readyFd);
        ::execv(argv[0], argv.data());
        ::_exit(127);
    }
    if (devNull >= 0)
        ::close(devNull);
    if (readyFd >= 0)
        ::close(ready[1]);
    if (child < 0) {
        failure = QStringLiteral("fork: %1").arg(QString::fromLocal8Bit(std::strerror(errno)));
        if (readyFd >= 0)
            ::close(ready[0]);
        return false;
    }
    readyPipe = readyFd >= 0 ? ready[0] : -1;
    return true;
}

QByteArray TestProcess::readLine(int timeoutMs)
{
    QElapsedTimer clock;
    clock.start();
    while (readyPipe >= 0) {
        const int newline = readBuffer.indexOf('\n');
        if (newline >= 0) {
            QByteArray line = readBuffer.left(newline);
            readBuffer.remove(0, newline + 1);
            return line;
        }
        const int left = timeoutMs - int(clock.elapsed());
        if (left <= 0)
            break;
        pollfd item{readyPipe, POLLIN, 0};
        const int ready = ::poll(&item, 1, left);
        if (ready < 0 && errno == EINTR)
            continue;
        if (ready <= 0)
            break;
        char chunk[256];
        const ssize_t length = ::read(readyPipe, chunk, sizeof(chunk));
        if (length < 0 && errno == EINTR)
            continue;
        if (length <= 0) {
            failure = QStringLiteral("the program ended before it was ready: %1")
                          .arg(QString::fromLocal8Bit(errorOutput()));
            return {};
        }
        readBuffer.append(chunk, int(length));
    }
    failure = QStringLiteral("no answer within %1 ms: %2").arg(timeoutMs).arg(QString::fromLocal8Bit(errorOutput()));
    return {};
}

bool TestProcess::running()
{
    if (child <= 0)
        return false;
    int status = 0;
    const pid_t done = ::waitpid(child, &status, WNOHANG);
    if (done == child) {
        child = -1;
        return false;
    }
    return done == 0;
}

QByteArray TestProcess::errorOutput(qint64 tail)
{
    if (errPipe < 0)
        return {};
    const off_t size = ::lseek(errPipe, 0, SEEK_END);
    const off_t from = tail >= 0 && size > tail ? size - tail : 0;
    QByteArray text(int(size - from), '\0');
    const ssize_t got = ::pread(errPipe, text.data(), size_t(text.size()), from);
    text.resize(got > 0 ? int(got) : 0);
    return text.trimmed();
}

void TestProcess::stop(int graceMs)
{
    if (child > 0) {
        ::kill(child, SIGTERM);
        QElapsedTimer clock;
        clock.start();
        int status = 0;
        pid_t done = 0;
        while ((done = ::waitpid(child, &status, WNOHANG)) == 0 && clock.elapsed() < graceMs)
            ::usleep(10000);
        if (done == 0) {
            ::kill(child, SIGKILL);
            ::waitpid(child, &status, 0);
        }
        child = -1;
    }
    if (readyPipe >= 0) {
        ::close(readyPipe);
        readyPipe = -1;
    }
    if (errPipe >= 0) {
        ::close(errPipe);
        errPipe = -1;
    }
}

int runTestClient(const QString& program, const QStringList& arguments, const QProcessEnvironment& env,
                  int timeoutMs, QByteArray* output)
{
    QProcess client;
    client.setProcessEnvironment(env);
    client.start(program, arguments);
    if (!client.waitForFinished(timeoutMs) || client.exitStatus() != QProcess::NormalExit) {
        client.kill();
        client.waitForFinished();
        return -1;
    }
    if (output)
        *output = client.readAllStandardOutput();
    return client.exitCode();
}

int openSockets()
{
    int count = 0;
    const QDir fds(QStringLiteral("/proc/self/fd"));
    for (const QString& fd : fds.entryList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot)) {
        char target[64] = {};
        const QByteArray path = QFile::encodeName(fds.filePath(fd));
        count += ::readlink(path.constData(), target, sizeof target - 1) > 0 && std::strncmp(target, "socket:", 7) == 0;
    }
    return count;
}
