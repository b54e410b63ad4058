// Guards the library lifecycle: the version entry point, the banner written
// once per open log, closing in any state, a state set right after the
// thread's start that is not lost, a close while polling that returns at
// once and leaves no poll behind, and a close whose thread is held up: it
// returns after 1 s, says so in the log, and leaves the thread to end itself;
// the lines a host reads of each, one table.
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QPointer>
#include <QtTest>

#include <atomic>
#include <chrono>
#include <thread>

#include "library/vantelglobals.h"
#include "library/vantelthread.h"
#include "testlog.h"
#include "vantelapi.h"

namespace {

int countEndingWith(const QStringList& lines, const QString& text)
{
    int n = 0;
    for (const QString& line : lines)
        n += line.endsWith(text) ? 1 : 0;
    return n;
}

void flushDeferredDeletes()
{
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

} // namespace

class tst_Lifecycle : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void versionNeedsEveryOutput();
    void openAndCloseInAnyOrder();
    void closeWhilePolling();
    void closeWithAThreadHeldUp();
    void traceLines_data();
    void traceLines();
};

void tst_Lifecycle::init()
{
    QFile::remove(testLogFile());
}

void tst_Lifecycle::cleanup()
{
    VANTEL_CloseLib();
    flushDeferredDeletes();
}

void tst_Lifecycle::versionNeedsEveryOutput()
{
    for (int missing = 0; missing < 5; ++missing) {
        unsigned long v[5] = {77, 77, 77, 77, 77};
        unsigned long* p[5] = {&v[0], &v[1], &v[2], &v[3], &v[4]};
        p[missing] = nullptr;
        QCOMPARE(VANTEL_GetLibVer(p[0], p[1], p[2], p[3], p[4]), 2);
        for (unsigned long value : v)
            QCOMPARE(value, 77ul);
    }
    unsigned long v[5] = {};
    QCOMPARE(VANTEL_GetLibVer(&v[0], &v[1], &v[2], &v[3], &v[4]), 0);
    QCOMPARE(QVector<unsigned long>(v, v + 5), (QVector<unsigned long>{1, 2, 7, 3130, 0}));
}

// Closing works in any state; opening twice keeps one log and one banner.
void tst_Lifecycle::openAndCloseInAnyOrder()
{
    QCOMPARE(VANTEL_CloseLib(), 0);
    QCOMPARE(VANTEL_OpenLib(), 0);
    QCOMPARE(VANTEL_OpenLib(), 0);
    QCOMPARE(VANTEL_CloseLib(), 0);
    QCOMPARE(VANTEL_CloseLib(), 0);
    QVERIFY(!vantel_log);
}

void tst_Lifecycle::closeWhilePolling()
{
    QCOMPARE(VANTEL_OpenLib(), 0);
    QCOMPARE(VANTEL_InitLib(), 0);
    // The thread has written its initial state by now, so the state set at
    // once holds.
    QCOMPARE(countEndingWith(testLogLines(), QStringLiteral("vantelthread::run")), 1);
    QPointer<VantelThread> thread = vantel_thread;
    QAtomicInt polls = 0;
    connect(thread, &VantelThread::updateStatus, thread, [&polls] { polls.ref(); }, Qt::DirectConnection);
    VANTEL_setIndicatorsStatus(INDICATORS_RUN);
    QTRY_VERIFY_WITH_TIMEOUT(polls.loadAcquire() >= 1, 5000);

    QElapsedTimer timer;
    timer.start();
    QCOMPARE(VANTEL_CloseLib(), 0);
    QVERIFY2(timer.elapsed() < 1000, qPrintable(QString::number(timer.elapsed())));
    QVERIFY(thread->isFinished());

    const int seen = polls.loadAcquire();
    QTest::qWait(2500);
    QCOMPARE(polls.loadAcquire(), seen);
    flushDeferredDeletes();
    QVERIFY(thread.isNull());
}

// A slot connected directly to the thread's finished() runs in the polling
// thread and holds it there, as a host's own slot could: the close waits 1 s
// for it, not longer, and never ends the thread by force.
void tst_Lifecycle::closeWithAThreadHeldUp()
{
    QCOMPARE(VANTEL_OpenLib(), 0);
    QCOMPARE(VANTEL_InitLib(), 0);
    QPointer<VantelThread> thread = vantel_thread;
    std::atomic<bool> entered{false};
    std::atomic<bool> release{false};
    std::atomic<bool> slotEnded{false};
    connect(thread, &QThread::finished, thread, [&] {
        entered.store(true);
        // Bounded, so that a close that waits for it comes back as a failure.
        for (int i = 0; i < 400 && !release.load(); ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        slotEnded.store(true);
    }, Qt::DirectConnection);
    VANTEL_setIndicatorsStatus(INDICATORS_RUN);

    QElapsedTimer timer;
    timer.start();
    QCOMPARE(VANTEL_CloseLib(), 0);
    const qint64 took = timer.elapsed();
    QVERIFY2(took >= 900 && took < 1800, qPrintable(QString::number(took)));
    QVERIFY(entered.load() && !slotEnded.load());
    QVERIFY(!vantel_thread && !vantel_log);
    QCOMPARE(testLogTexts(512), QStringList{QStringLiteral("vantel_thread->wait(1000) false: thread left running")});

    // Left, not killed: the slot runs to its end and the thread ends by
    // itself; its object then goes.
    release.store(true);
    QTRY_VERIFY(slotEnded.load());
    QTRY_VERIFY(thread.isNull());

    // Nothing it held stays held: the next open and close work as usual.
    QCOMPARE(VANTEL_OpenLib(), 0);
    QCOMPARE(VANTEL_InitLib(), 0);
    QCOMPARE(VANTEL_CloseLib(), 0);
    QCOMPARE(countEndingWith(testLogLines(), QStringLiteral("vantelthread::stopped")), 2);
}

void tst_Lifecycle::traceLines_data()
{
    QTest::addColumn<QString>("steps"); // entry points in turn; "run": state 2 until a poll
    QTest::addColumn<QString>("line");  // how the line ends
    QTest::addColumn<int>("count");
    const QString polling = QStringLiteral("open init run close");
    QTest::newRow("one banner per open log") << "close open open close close" << "vantel v.1.2.7.3130 " << 1;
    QTest::newRow("thread started") << polling << "vantel_thread->isRunning() start" << 1;
    QTest::newRow("thread running") << polling << "vantelthread::run" << 1;
    QTest::newRow("thread stopped") << polling << "vantelthread::stopped" << 1;
}

void tst_Lifecycle::traceLines()
{
    QFETCH(QString, steps);
    QFETCH(QString, line);
    QFETCH(int, count);
    for (const QString& step : steps.split(QLatin1Char(' '))) {
        if (step == "open") {
            QCOMPARE(VANTEL_OpenLib(), 0);
        } else if (step == "init") {
            QCOMPARE(VANTEL_InitLib(), 0);
        } else if (step == "close") {
            QCOMPARE(VANTEL_CloseLib(), 0);
        } else {
            QAtomicInt polls = 0;
            connect(vantel_thread, &VantelThread::updateStatus, vantel_thread, [&polls] { polls.ref(); },
                    Qt::DirectConnection);
            VANTEL_setIndicatorsStatus(INDICATORS_RUN);
            QTRY_VERIFY_WITH_TIMEOUT(polls.loadAcquire() >= 1, 5000);
        }
    }
    flushDeferredDeletes();
    const QStringList lines = testLogLines();
    QCOMPARE(countEndingWith(lines, line), count);
    QVERIFY(lines.first().contains(QLatin1String("[1024]"))); // the banner opens the log
}

QTEST_GUILESS_MAIN(tst_Lifecycle)
#include "tst_lifecycle.moc"
