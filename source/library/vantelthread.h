// The polling thread: a metronome that has updateStatus(false) emitted once
// every two seconds while the indicators run. It does no status work itself:
// it queues one call a cycle to this object, which lives in the GUI thread
// with the indicators, and the emission there runs every indicator's query.
#ifndef VANTELTHREAD_H
#define VANTELTHREAD_H

#include <QString>
#include <QThread>

#include <atomic>
#include <condition_variable>
#include <mutex>

class VantelThread : public QThread
{
    Q_OBJECT
public:
    // How long a stop waits for the loop before it leaves the thread running.
    static const int kStopWaitMs = 1000;

    explicit VantelThread(QObject* parent = nullptr);
    ~VantelThread() override;

    void setState(int state);
    // Ends the loop and waits for it, at most kStopWaitMs; returns at once
    // from a thread that never started. A thread that has not ended by then
    // (held in a slot connected directly to its finished(), or in a log
    // write that does not return) is reported in the log and left to end by
    // itself, writing nothing more to the log; the answer is false. Polls
    // still queued then emit nothing.
    bool stop();
    // Returns once run() has written its initial state (and traced its
    // start), so that a state set afterwards is not overwritten by it; at
    // once when the thread is not running.
    void waitForInitialState();
    // Has runPoll() called in the thread this object lives in, from
    // whichever thread calls it; calls queued behind a busy thread run one
    // by one, each a round.
    void queuePoll();
    // One poll: updateStatus(false) from the calling thread, as the next round.
    void runPoll();
    // How many polls the open library has emitted: the queries that one
    // poll's signal brings to the indicators share this number; 0 while no
    // library is open.
    static unsigned round();

signals:
    void updateStatus(bool preinit);

protected:
    void run() override;

private slots:
    void runQueuedPoll();

private:
    bool stopRequested();
    void pause(int ms);
    void trace(const QString& text);

    std::atomic<bool> running{true};
    std::atomic<int> state{1};
    // Standard locks, not Qt's: ThreadSanitizer sees them whole with a Qt
    // that is not built for it. A stop request outlives the `running = true`
    // that run() writes on start, so a stop that comes before the thread has
    // begun is not lost.
    std::mutex stopMutex;
    std::condition_variable stopSignal;
    bool stopping = false;    // under stopMutex
    bool initialised = false; // under stopMutex; run() sets it and wakes stopSignal
    bool loopEnded = false;   // under stopMutex; run() sets it after its last trace
    // Held by the thread while it writes to the log, so that a stop that
    // leaves the thread can forbid it the log before the log goes.
    std::mutex traceMutex;
    bool logForbidden = false; // under traceMutex
};

#endif
