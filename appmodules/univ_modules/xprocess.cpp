#include "univ_modules/xprocess.h"

#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QPointer>
#include <QProcess>
#include <QtDebug>

#include <utility>

#include "platform.h"
#include "univ_modules/programender.h"

#ifdef Q_OS_WIN
#include <windows.h>
#else
struct _PROCESS_INFORMATION {
    void* hProcess;
    void* hThread;
    unsigned long dwProcessId;
    unsigned long dwThreadId;
};
#endif

namespace {

const int kStartTimeoutMs = 30000;

const char* const kLoaderKey = "HKEY_LOCAL_MACHINE\\Loader";
const char* const kSystemPathValue = "SystemPath";

// The program a quoted command names: the command without its quotes.
// Windows looks a bare name up in the current folder before PATH, exec in
// PATH only; a bare name that is a file here is the file callers checked.
QString programOf(const QString& quoted)
{
    const QString program = quoted.size() >= 2 ? quoted.mid(1, quoted.size() - 2) : QString();
#ifndef Q_OS_WIN
    const QFileInfo here(program);
    if (!program.contains(QLatin1Char('/')) && here.isFile())
        return here.absoluteFilePath();
#endif
    return program;
}

// How the raw argument string reaches the program: verbatim on Windows'
// command line, elsewhere as the arguments a shell would split it into,
// without a shell.
QStringList programArguments(QProcess* process, const QString& arguments)
{
    if (arguments.isEmpty())
        return {};
#ifdef Q_OS_WIN
    process->setNativeArguments(arguments);
    return {};
#else
    Q_UNUSED(process);
    return QProcess::splitCommand(arguments);
#endif
}

} // namespace

xprocess::xprocess(QObject* parent)
    : QObject(parent)
{
    searchPaths.clear();
    searchPaths << QStringLiteral("\\windows") << QDir::rootPath() << QDir::currentPath();
    std::vector<std::string> systemPath;
    vantel::platform::registry().readStringList(kLoaderKey, kSystemPathValue, systemPath);
    for (const std::string& path : systemPath)
        searchPaths << QString::fromStdString(path);
    qDebug() << searchPaths;
}

xprocess::~xprocess()
{
    ProgramEnder::end(process);
}

QProcess* xprocess::chooseProcess(QProcess* callers)
{
    if (callers)
        return callers;
    // The previous program ends on its own time; a wait for it ends now.
    ProgramEnder::end(process);
    delete ownWait;
    process = new QProcess(this);
    ownWait = new QObject(this);
    // Nobody can read the runner's own process object: what its program
    // writes goes nowhere, instead of into our memory.
    process->setStandardOutputFile(QProcess::nullDevice());
    process->setStandardErrorFile(QProcess::nullDevice());
    return process;
}

int xprocess::resolveCommand(QString dir, const QString& program, QString& command, QString& cleanDir,
                             QString& message)
{
    QString text;
    command = program;
    if (!dir.isEmpty()) {
        cleanDir = QDir::cleanPath(dir);
        if (!QDir().exists(cleanDir)) {
            xprc_errorText(XPRC_INVALID_PATH, text);
            message = text + QStringLiteral("\ndetails:") + cleanDir;
            return XPRC_INVALID_PATH;
        }
        command = QDir(cleanDir).filePath(program);
        if (!QFile::exists(command)) {
            xprc_errorText(XPRC_FILE_NOT_FOUND, text);
            message = text + QStringLiteral("\ndetails:") + command;
            return XPRC_FILE_NOT_FOUND;
        }
    }
    if (!command.startsWith(QLatin1Char('"')))
        command.prepend(QLatin1Char('"'));
    if (!command.endsWith(QLatin1Char('"')))
        command.append(QLatin1Char('"'));
    return XPRC_OK;
}

QString xprocess::startFailure(int error, const QString& command)
{
    QString text;
    xprc_errorText(XPRC_PROCESS_ERROR, text);
    return text + QStringLiteral("\ninfo: ") + command + QStringLiteral("\ndetails: ") + xprc_processErrorText(error);
}

void xprocess::keepProcessId(qint64 pid)
{
    if (!processRecord)
        processRecord = std::make_unique<_PROCESS_INFORMATION>();
    processRecord->dwProcessId = static_cast<unsigned long>(pid);
}

int xprocess::xprc_run(QProcess* callers, QString dir, QString program, QString arguments, QString& message,
                       bool wait)
{
    QString text;
    QEventLoop loop;
    QPointer<QProcess> target = chooseProcess(callers);
    if (wait) {
        connect(target, qOverload<int, QProcess::ExitStatus>(&QProcess::finished), &loop, &QEventLoop::quit);
        // A start made meanwhile may replace the own process object.
        if (!callers)
            connect(ownWait, &QObject::destroyed, &loop, &QEventLoop::quit);
    }

    QString command;
    QString cleanDir;
    int code = resolveCommand(dir, program, command, cleanDir, text);
    if (code == XPRC_OK) {
        const QStringList argv = programArguments(target, arguments);
        target->start(programOf(command), argv, QIODevice::ReadWrite);
        if (!target->waitForStarted(kStartTimeoutMs)) {
            code = XPRC_PROCESS_ERROR;
            text = startFailure(target->error(), command);
        } else {
            keepProcessId(target->processId());
            if (wait && target->state() != QProcess::NotRunning)
                loop.exec();
        }
    }
    message = text;
    return code;
}

int xprocess::xprc_runDetached(QProcess* callers, QString dir, QString program, QString arguments,
                               QString& message)
{
    QString text;
    QProcess* target = chooseProcess(callers);
    QString command;
    QString cleanDir;
    int code = resolveCommand(dir, program, command, cleanDir, text);
    if (code == XPRC_OK) {
        if (!cleanDir.isEmpty())
            target->setWorkingDirectory(cleanDir);
        target->setProgram(programOf(command));
        target->setArguments(programArguments(target, arguments));
        qint64 pid = 0;
        if (target->startDetached(&pid)) {
            keepProcessId(pid);
        } else {
            // Qt 5 leaves error() as it was; the failure is always a failed start.
            code = XPRC_PROCESS_ERROR;
            text = startFailure(QProcess::FailedToStart, command);
        }
    }
    message = text;
    return code;
}

int xprocess::xprc_findFile(QString name, QString& path)
{
    path.clear();
    for (const QString& searchPath : std::as_const(searchPaths)) {
        const QString clean = QDir::cleanPath(searchPath);
        if (!QDir().exists(clean))
            continue;
        const QString file = QDir(clean).filePath(name);
        if (QFile::exists(file)) {
            path = file;
            break;
        }
    }
    return path.isEmpty() ? XPRC_FILE_NOT_FOUND : XPRC_OK;
}

void xprocess::xprc_errorText(int code, QString& text)
{
    switch (code) {
    case XPRC_OK:
        text = QStringLiteral("no errors detected");
        break;
    case XPRC_GENERAL_ERROR:
        text = QStringLiteral("general error");
        break;
    case XPRC_INVALID_PATH:
        text = QStringLiteral("invalid path");
        break;
    case XPRC_FILE_NOT_FOUND:
        text = QStringLiteral("file not found");
        break;
    case XPRC_PROCESS_ERROR:
        text = QStringLiteral("process error");
        break;
    default:
        text = QStringLiteral("error not managed");
        break;
    }
}

QString xprocess::xprc_processErrorText(int error)
{
    switch (error) {
    case QProcess::FailedToStart:
        return QStringLiteral("failed to start");
    case QProcess::Crashed:
        return QStringLiteral("crashed");
    case QProcess::Timedout:
        return QStringLiteral("timed out");
    case QProcess::ReadError:
        return QStringLiteral("read from the process");
    case QProcess::WriteError:
        return QStringLiteral("write to the process");
    default:
        return QStringLiteral("unknown");
    }
}

qint64 xprocess::xprc_processId() const
{
    return processRecord ? qint64(processRecord->dwProcessId) : 0;
}
