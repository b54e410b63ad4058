#include "vantelthread.h"

#include <QDeadlineTimer>

#include "pollscope.h"
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

// One queued call to this object, which lives in the GUI thread: there the
// emission reaches every connected indicator directly, so a poll wakes the
// GUI thread once instead of once per indicator. A poll still queued when the
// loop has ended is dropped: nothing is emitted after a stop.
void VantelThread::queuePoll()
{
    QMetaObject::invokeMethod(this, [this] {
        if (isRunning() && !stopRequested())
            runPoll();
    }, Qt::QueuedConnection);
}

void VantelThread::runPoll()
{
    const PollScope scope;
    emit updateStatus(false);
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
            queuePoll();
        // One wait a cycle, not two back to back: the same cadence for one
        // wake-up of this thread.
        pause(current == INDICATORS_SLEEP ? 1100 : current == INDICATORS_RUN ? 2000 : 1000);
    } while (running.load() && !stopRequested());

    VANTEL_TRACE(TRC_MASK_NORMAL, QStringLiteral("vantelthread::stopped"));
}
