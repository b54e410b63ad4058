#include "vantelthread.h"

#include <QDeadlineTimer>

#include "vanteltrace.h"
#include "xinfodata.h"

VantelThread::VantelThread(QObject* parent)
    : QThread(parent)
{
}

VantelThread::~VantelThread()
{
    if (isRunning())
        stop();
}

void VantelThread::setState(int value)
{
    state.store(value);
}

void VantelThread::stop()
{
    {
        QMutexLocker lock(&stopMutex);
        stopping = true;
        running.store(false);
        stopSignal.wakeAll();
    }
    if (QThread::currentThread() == this)
        return;
    QThread::wait();
    QMutexLocker lock(&stopMutex);
    stopping = false;
}

bool VantelThread::stopRequested()
{
    QMutexLocker lock(&stopMutex);
    return stopping;
}

// Sleeps for `ms`, or less when a stop arrives: CloseLib then returns in
// milliseconds instead of waiting out the cycle.
void VantelThread::pause(int ms)
{
    QDeadlineTimer deadline(ms);
    QMutexLocker lock(&stopMutex);
    while (!stopping && !deadline.hasExpired())
        stopSignal.wait(&stopMutex, deadline);
}

namespace {

// Counted across every thread a host opens, so that a round number is never
// the same poll twice.
std::atomic<unsigned> rounds{0};

} // namespace

void VantelThread::runPoll()
{
    rounds.fetch_add(1);
    emit updateStatus(false);
}

unsigned VantelThread::round()
{
    return rounds.load();
}

void VantelThread::waitForInitialState()
{
    QMutexLocker lock(&stopMutex);
    while (!initialised && isRunning())
        stopSignal.wait(&stopMutex, 50);
}

void VantelThread::run()
{
    running.store(true);
    state.store(INDICATORS_SLEEP);
    VANTEL_TRACE(TRC_MASK_NORMAL, QStringLiteral("vantelthread::run"));
    {
        QMutexLocker lock(&stopMutex);
        initialised = true;
        stopSignal.wakeAll();
    }

    do {
        const int current = state.load();
        if (current == INDICATORS_RUN && !stopRequested())
            runPoll();
        // One wait a cycle, not two back to back: the same cadence for one
        // wake-up of this thread.
        pause(current == INDICATORS_SLEEP ? 1100 : current == INDICATORS_RUN ? 2000 : 1000);
    } while (running.load() && !stopRequested());

    VANTEL_TRACE(TRC_MASK_NORMAL, QStringLiteral("vantelthread::stopped"));
}
