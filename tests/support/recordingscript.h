// A program for tests of what the library starts: a shell script that, at
// each start, adds its process id to "<script>.starts", records its process
// id, working directory and arguments in "<script>.record", then becomes
// `sleep` (same process id) for the time it was written with.
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

// True while a process of that id exists (and is not yet reaped).
inline bool processExists(qint64 pid)
{
    return pid > 0 && ::kill(pid_t(pid), 0) == 0;
}

#endif
