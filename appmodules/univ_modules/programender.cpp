#include "univ_modules/programender.h"

#include <QCoreApplication>
#include <QProcess>
#include <QTimer>

namespace {

// After SIGKILL a program ends in milliseconds unless the kernel holds it.
const int kKillWaitMs = 200;

ProgramEnder* theEnder = nullptr;

} // namespace

ProgramEnder* ProgramEnder::instance()
{
    if (!theEnder) {
        theEnder = new ProgramEnder;
        qAddPostRoutine(&ProgramEnder::endAtExit);
    }
    return theEnder;
}

void ProgramEnder::end(QProcess* process)
{
    if (!process)
        return;
    if (process->state() == QProcess::NotRunning) {
        process->setParent(nullptr);
        process->deleteLater();
        return;
    }
    instance()->take(process);
}

void ProgramEnder::take(QProcess* process)
{
    process->setParent(this);
    // What the previous owner connected (a waiting loop, a slot of its own)
    // is no longer its business.
    process->disconnect();
    ending.insert(process, QDeadlineTimer(kGraceMs));
    connect(process, &QObject::destroyed, this, [this, process] { ending.remove(process); });
    connect(process, qOverload<int, QProcess::ExitStatus>(&QProcess::finished), process, &QObject::deleteLater);
    process->terminate();
    // The timer goes with the process object when the program ends in time.
    // Precise: a coarse timer may fire up to 5 % early, inside the grace.
    QTimer::singleShot(kGraceMs, Qt::PreciseTimer, process, [process] { process->kill(); });
}

// Runs as the application object goes, when no event loop will deliver the
// timers and notices any more.
void ProgramEnder::endAtExit()
{
    ProgramEnder* ender = theEnder;
    theEnder = nullptr;
    if (!ender)
        return;
    const QList<QProcess*> processes = ender->ending.keys();
    for (QProcess* process : processes) {
        const qint64 grace = ender->ending.value(process).remainingTime();
        if (process->state() != QProcess::NotRunning && grace > 0)
            process->waitForFinished(int(grace));
        if (process->state() != QProcess::NotRunning) {
            process->kill();
            if (!process->waitForFinished(kKillWaitMs)) {
                // Deleting it would wait 30 s more for the kernel; the
                // system reaps the program once this process is gone.
                ender->ending.remove(process);
                process->disconnect();
                process->setParent(nullptr);
                continue;
            }
        }
    }
    qDeleteAll(ender->ending.keys());
    delete ender;
}
