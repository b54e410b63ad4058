// The polling thread: a metronome that has updateStatus(false) emitted once
// every two seconds while the indicators run. It does no status work itself:
// it queues one call to the thread object, which lives in the GUI thread with
// the indicators, and the emission there runs every indicator's query.
#ifndef VANTELTHREAD_H
#define VANTELTHREAD_H

#include <QMutex>
#include <QThread>
#include <QWaitCondition>

#include <atomic>

class VantelThread : public QThread
{
    Q_OBJECT
public:
    explicit VantelThread(QObject* parent = nullptr);
    ~VantelThread() override;

    void setState(int state);
    // Ends the loop and waits for it; returns at once from a thread that never started.
    void stop();
    // Returns once run() has written its initial state (and traced its
    // start), so that a state set afterwards is not overwritten by it; at
    // once when the thread is not running.
    void waitForInitialState();
    // Has updateStatus(false) emitted in the thread this object lives in,
    // from whichever thread calls it.
    void queuePoll();
    // One poll here and now: updateStatus(false), with what the indicators
    // share read once for all of them.
    void runPoll();

signals:
    void updateStatus(bool preinit);

protected:
    void run() override;

private:
    bool stopRequested();
    void pause(int ms);

    std::atomic<bool> running{true};
    std::atomic<int> state{1};
    // A stop request outlives the `running = true` that run() writes on start,
    // so a stop that comes before the thread has begun is not lost.
    QMutex stopMutex;
    QWaitCondition stopSignal;
    bool stopping = false;
    bool initialised = false; // under stopMutex; run() sets it and wakes stopSignal
};

#endif
