#ifndef XPROCESS_H
#define XPROCESS_H

/// @file
/// xprocess, the runner of external programs, and its result codes.

#include <QObject>
#include <QString>
#include <QStringList>

#include <memory>

#include "vantel_export.h"

class QProcess;

/// Result codes of every start and of the file lookup; xprc_errorText gives the text.
enum {
    XPRC_OK = 0,
    XPRC_GENERAL_ERROR = 1,
    XPRC_INVALID_PATH = 2,
    XPRC_FILE_NOT_FOUND = 3,
    XPRC_PROCESS_ERROR = 4
};

/// The identity of a started program as Windows records it; its third field
/// holds the process id.
struct _PROCESS_INFORMATION;

/// Starts an external program, from a given directory and with a raw argument
/// string, checks that it really started, and turns every failure into a
/// numbered result with a readable message. It can wait for an attached
/// program with the event loop still running, start one detached, and look
/// files up in its search paths: "\windows", the root, the current directory,
/// then the registry value "SystemPath" under "HKEY_LOCAL_MACHINE\Loader".
///
/// No shell is involved: a command in double quotes is that program, and the
/// raw argument string reaches it as its arguments (verbatim on Windows' own
/// command line, split as QProcess::splitCommand splits it elsewhere).
///
/// Thread: the thread that made it (the GUI thread, for the library's
/// own), since it owns QProcess objects.
///
/// Without the program: XPRC_FILE_NOT_FOUND (or XPRC_INVALID_PATH for a
/// folder that is not there) with the reason in the message; nothing is
/// started.
class VANTEL_EXPORT xprocess : public QObject
{
    Q_OBJECT
public:
    /// A runner that has started nothing, with the search paths read now.
    explicit xprocess(QObject* parent = nullptr);
    ~xprocess() override;

    /// Starts `program` (in `dir` when it is not empty) attached to `process`,
    /// or to a new process object of the runner's own when it is null, which
    /// ends the program the previous own one still runs. Blocks until the
    /// program has started or 30 s have passed; with `wait`, then runs a local
    /// event loop until it ends, so timers and clicks are delivered meanwhile.
    int xprc_run(QProcess* process, QString dir, QString program, QString arguments, QString& message,
                 bool wait);
    /// The same checks, then a detached start in `dir`; the process id is kept.
    int xprc_runDetached(QProcess* process, QString dir, QString program, QString arguments,
                         QString& message);
    /// The first file `name` found in the search paths, in their order.
    int xprc_findFile(QString name, QString& path);

    /// The text of an XPRC_* result code in `text`.
    void xprc_errorText(int code, QString& text);
    /// The text of a QProcess::ProcessError value.
    QString xprc_processErrorText(int error);

    /// The process id of the last program started; 0 before any.
    qint64 xprc_processId() const;

private:
    QProcess* chooseProcess(QProcess* callers);
    int resolveCommand(QString dir, const QString& program, QString& command, QString& cleanDir,
                       QString& message);
    QString startFailure(int error, const QString& command);
    void keepProcessId(qint64 pid);

    std::unique_ptr<_PROCESS_INFORMATION> processRecord;
    QStringList searchPaths;
    QProcess* process = nullptr;
    // Lives as long as the own process object is the current one: a wait for
    // that program ends when a new start replaces it.
    QObject* ownWait = nullptr;
};

#endif
