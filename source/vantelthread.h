// The polling thread: a metronome that emits updateStatus(false) once every
// two seconds while the indicators run. It does no status work itself; the
// indicators live in the GUI thread, so each emission reaches them queued.
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
    // One poll: updateStatus(false) from the calling thread, as the next round.
    void runPoll();
    // How many polls have been emitted: the queries that one poll's signal
    // brings to the indicators share this number.
    static unsigned round();

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
