#include "library/vantelthread.h"

#include <QDeadlineTimer>

#include <chrono>

#include "library/librarycontext.h"
#include "library/vanteltrace.h"
#include "xinfodata.h"

VantelThread::VantelThread(QObject* parent)
    : QThread(parent)
{
}

VantelThread::~VantelThread()
{
    // QThread aborts the process when destroyed while its thread runs, so a
    // thread deleted by hand is waited for to its end.
    if (isRunning() && !stop())
        QThread::wait();
}

void VantelThread::setState(int value)
{
    state.store(value);
}

bool VantelThread::stop()
{
    const QDeadlineTimer deadline(kStopWaitMs);
    {
        std::lock_guard<std::mutex> lock(stopMutex);
        stopping = true;
        running.store(false);
    }
    stopSignal.notify_all();
    if (QThread::currentThread() == this)
        return true;
    // Not running also covers a thread already in Qt's end of it (its
    // finished() signal), which the wait below still has to see through.
    bool ended = !isRunning();
    if (!ended) {
        std::unique_lock<std::mutex> lock(stopMutex);
        ended = stopSignal.wait_for(lock, std::chrono::milliseconds(deadline.remainingTime()),
                                    [this] { return loopEnded; });
    }
    // After run() the thread only has Qt's own end to go through.
    if (ended && QThread::wait(deadline)) {
        std::lock_guard<std::mutex> lock(stopMutex);
        stopping = false;
        loopEnded = false;
        return true;
    }
    {
        // Waits only while the thread is inside a trace line of its own.
        std::lock_guard<std::mutex> lock(traceMutex);
        logForbidden = true;
    }
    VANTEL_TRACE(TRC_MASK_WARNING, QStringLiteral("vantel_thread->wait(%1) false: thread left running").arg(kStopWaitMs));
    return false;
}

bool VantelThread::stopRequested()
{
    std::lock_guard<std::mutex> lock(stopMutex);
    return stopping;
}

// Sleeps for `ms`, or less when a stop arrives: CloseLib then returns in
// milliseconds instead of waiting out the cycle.
void VantelThread::pause(int ms)
{
    std::unique_lock<std::mutex> lock(stopMutex);
    stopSignal.wait_for(lock, std::chrono::milliseconds(ms), [this] { return stopping; });
}

void VantelThread::trace(const QString& text)
{
    std::lock_guard<std::mutex> lock(traceMutex);
    if (!logForbidden)
        VANTEL_TRACE(TRC_MASK_NORMAL, text);
}

// One queued call to this object, which lives in the GUI thread with the
// indicators: the emission there reaches each of them directly, so a poll
// wakes the GUI thread once instead of once per indicator. The call goes by
// name and carries nothing of ours: a functor would be written here and read
// there with only Qt's own lock between, which ThreadSanitizer cannot see.
void VantelThread::queuePoll()
{
    QMetaObject::invokeMethod(this, "runQueuedPoll", Qt::QueuedConnection);
}

// A call still queued when the loop has ended emits nothing.
void VantelThread::runQueuedPoll()
{
    if (isRunning() && !stopRequested())
        runPoll();
}

void VantelThread::runPoll()
{
    if (LibraryContext* context = LibraryContext::current())
        context->nextRound();
    emit updateStatus(false);
}

unsigned VantelThread::round()
{
    const LibraryContext* context = LibraryContext::current();
    return context ? context->round() : 0;
}

void VantelThread::waitForInitialState()
{
    std::unique_lock<std::mutex> lock(stopMutex);
    while (!initialised && isRunning())
        stopSignal.wait_for(lock, std::chrono::milliseconds(50));
}

void VantelThread::run()
{
    running.store(true);
    state.store(INDICATORS_SLEEP);
    trace(QStringLiteral("vantelthread::run"));
    {
        std::lock_guard<std::mutex> lock(stopMutex);
        initialised = true;
        loopEnded = false;
    }
    stopSignal.notify_all();

    do {
        const int current = state.load();
        if (current == INDICATORS_RUN && !stopRequested())
            queuePoll();
        // One wait a cycle, not two back to back: the same cadence for one
        // wake-up of this thread.
        pause(current == INDICATORS_SLEEP ? 1100 : current == INDICATORS_RUN ? 2000 : 1000);
    } while (running.load() && !stopRequested());

    trace(QStringLiteral("vantelthread::stopped"));
    // Woken under the lock: a stop that sees loopEnded may destroy stopSignal
    // at once, and the lock is all ThreadSanitizer can see between the two.
    std::lock_guard<std::mutex> lock(stopMutex);
    loopEnded = true;
    stopSignal.notify_all();
}
