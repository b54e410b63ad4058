// Programs for tests of what the library starts and ends. The recording
// script, at each start, adds its process id to "<script>.starts", records
// its process id, working directory and arguments in "<script>.record", then
// becomes `sleep` (same process id) for the time it was written with. The
// endable script records its process id in "<script>.pid" and, on SIGTERM,
// writes "<script>.term" and ends, or, stubborn, ignores it.
#ifndef RECORDINGSCRIPT_H
#define RECORDINGSCRIPT_H

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringList>

#include <signal.h>

struct RecordedStart {
    qint64 pid = 0;
    QString dir;
    QStringList arguments;
};

class RecordingScript
{
public:
    // Writes an executable script at `path` (its folder made) that runs for `seconds`.
    static bool write(const QString& path, double seconds)
    {
        QDir().mkpath(QFileInfo(path).path());
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
            return false;
        file.write("#!/bin/sh\n"
                   "echo \"$$\" >> \"$0.starts\"\n"
                   "{ echo \"$$\"; pwd; for a in \"$@\"; do printf 'arg:%s\\n' \"$a\"; done; } > \"$0.tmp\"\n"
                   "mv \"$0.tmp\" \"$0.record\"\n"
                   "exec sleep " + QByteArray::number(seconds) + "\n");
        file.close();
        return file.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }

    // The latest start; false while the script has recorded none.
    static bool lastStart(const QString& path, RecordedStart& start)
    {
        QFile file(path + QStringLiteral(".record"));
        if (!file.open(QIODevice::ReadOnly))
            return false;
        const QStringList lines = QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
        if (lines.size() < 2)
            return false;
        start.pid = lines[0].toLongLong();
        start.dir = lines[1];
        start.arguments.clear();
        for (const QString& line : lines.mid(2))
            start.arguments << line.mid(4);
        return true;
    }

    static int starts(const QString& path)
    {
        QFile file(path + QStringLiteral(".starts"));
        return file.open(QIODevice::ReadOnly) ? file.readAll().count('\n') : 0;
    }

    static void remove(const QString& path)
    {
        for (const char* suffix : {".record", ".starts"})
            QFile::remove(path + QLatin1String(suffix));
    }
};

// The grace a program the library ends gets between SIGTERM and SIGKILL.
constexpr int kEndGraceMs = 3000;

class EndableScript
{
public:
    // Writes an executable script at `path` that runs `body` once it has recorded its process id.
    static bool write(const QString& path, bool stubborn, const QByteArray& body = "while :; do sleep 0.05; done")
    {
        for (const char* suffix : {".pid", ".term"})
            QFile::remove(path + QLatin1String(suffix));
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
            return false;
        file.write(QByteArray("#!/bin/sh\n")
                   + (stubborn ? "trap '' TERM\n" : "trap 'echo term > \"$0.term\"; exit 0' TERM\n")
                   + "echo $$ > \"$0.tmp\"; mv \"$0.tmp\" \"$0.pid\"\n" + body + "\n");
        file.close();
        return file.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }

    // Its process id; 0 until it has started.
    static qint64 pid(const QString& path)
    {
        QFile file(path + QStringLiteral(".pid"));
        return file.open(QIODevice::ReadOnly) ? file.readAll().trimmed().toLongLong() : 0;
    }

    static bool gotSigterm(const QString& path) { return QFile::exists(path + QStringLiteral(".term")); }
};

// True while a process of that id exists (and is not yet reaped).
inline bool processExists(qint64 pid)
{
    return pid > 0 && ::kill(pid_t(pid), 0) == 0;
}

// The state letter of /proc/PID/stat ('D': uninterruptible sleep, 'Z':
// ended, not yet reaped); 0 when there is no such process.
inline char processState(qint64 pid)
{
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!stat.open(QIODevice::ReadOnly))
        return 0;
    const QByteArray text = stat.readAll();
    return text.mid(text.lastIndexOf(')') + 2, 1).at(0);
}

#endif
