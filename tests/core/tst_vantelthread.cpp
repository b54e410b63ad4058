// Guards the polling thread's cadence per state and its stop: a stop is never
// lost (even before run() has begun) and ends the loop within milliseconds.
#include <QElapsedTimer>
#include <QSignalSpy>
#include <QtTest>

#include <memory>
#include <mutex>
#include <vector>

#include "library/vantelthread.h"
#include "xinfodata.h"

namespace {

// Records when each poll arrives, in the polling thread itself.
struct PollLog {
    QElapsedTimer clock;
    mutable std::mutex lock;
    QVector<qint64> times;
    QVector<bool> preinits;

    void attach(VantelThread& thread)
    {
        clock.start();
        QObject::connect(&thread, &VantelThread::updateStatus, &thread, [this](bool preinit) {
            std::lock_guard<std::mutex> guard(lock);
            times.append(clock.elapsed());
            preinits.append(preinit);
        }, Qt::DirectConnection);
    }
    int count() const
    {
        std::lock_guard<std::mutex> guard(lock);
        return times.size();
    }
};

} // namespace

class tst_VantelThread : public QObject
{
    Q_OBJECT

private slots:
    // State 1, states 0 and 3, and a 2 set before run() began: none of them polls.
    void statesWithoutPolls()
    {
        VantelThread sleeping, zero, three, early;
        VantelThread* const threads[] = {&sleeping, &zero, &three, &early};
        std::vector<std::unique_ptr<QSignalSpy>> spies;
        for (VantelThread* t : threads)
            spies.emplace_back(new QSignalSpy(t, &VantelThread::updateStatus));

        early.setState(INDICATORS_RUN);
        for (VantelThread* t : threads)
            t->start();
        zero.waitForInitialState();
        three.waitForInitialState();
        zero.setState(0);
        three.setState(3);

        QTest::qWait(3500);
        for (int i = 0; i < 4; ++i) {
            QCOMPARE(spies[i]->count(), 0);
            threads[i]->stop();
            QVERIFY(threads[i]->isFinished());
        }
    }

    // Polls every two seconds in state 2; a stop ends the loop at once and
    // nothing is emitted afterwards.
    void pollsEveryTwoSecondsUntilStopped()
    {
        VantelThread thread;
        PollLog polls;
        polls.attach(thread);
        thread.start();
        thread.waitForInitialState();
        const qint64 switched = polls.clock.elapsed();
        thread.setState(INDICATORS_RUN);
        QTRY_VERIFY_WITH_TIMEOUT(polls.count() >= 4, 10000);

        QElapsedTimer timer;
        timer.start();
        thread.stop();
        QVERIFY2(timer.elapsed() < 500, qPrintable(QString::number(timer.elapsed())));
        const int polled = polls.count();
        QTest::qWait(2500);
        QCOMPARE(polls.count(), polled);

        // The first poll comes with the next cycle (at most ~1.1 s in state 1).
        QVERIFY2(polls.times.first() - switched < 1800, qPrintable(QString::number(polls.times.first() - switched)));
        for (int i = 1; i < polls.count(); ++i) {
            const qint64 gap = polls.times.at(i) - polls.times.at(i - 1);
            QVERIFY2(gap >= 1900 && gap <= 2800, qPrintable(QStringLiteral("gap %1 ms").arg(gap)));
        }
        QVERIFY(!polls.preinits.contains(true));
    }

    // A stop that comes before run() sets `running` must still end the loop.
    void stopBeforeRunIsNotLost()
    {
        for (int i = 0; i < 50; ++i) {
            VantelThread thread;
            thread.start();
            QElapsedTimer timer;
            timer.start();
            thread.stop();
            QVERIFY(thread.isFinished());
            QVERIFY2(timer.elapsed() < 1000, qPrintable(QString::number(timer.elapsed())));
        }
        VantelThread neverStarted;
        neverStarted.stop();
        QVERIFY(!neverStarted.isRunning());
    }
};

QTEST_GUILESS_MAIN(tst_VantelThread)
#include "tst_vantelthread.moc"
