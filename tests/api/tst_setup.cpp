// Guards the set-up entry points end to end on the simulated tablet: the
// fourteen indicators and the enabled set, polls reaching only the connected
// indicators every two seconds, suspend and resume, the settings file created
// or left alone when it cannot be written, and a close with a poll queued.
#include <QApplication>
#include <QElapsedTimer>
#include <QPointer>
#include <QTemporaryDir>
#include <QtTest>

#include "library/vantelglobals.h"
#include "library/vantelthread.h"
#include "settings/xinisystem.h"
#include "vantelapi.h"
#include "vantelsimulation.h"
#include "xbartitle.h"
#include "xindicator.h"
#include "xinfo.h"

namespace {

// Records the polls each indicator receives. A poll is one emission of the
// polling thread's signal in the GUI thread, and it runs the query of every
// indicator connected to the signal at that moment, directly and in order:
// those are the ones polled.
class PollCounter : public QObject
{
public:
    QMap<QObject*, QVector<qint64>> polls;
    QElapsedTimer clock;
    QVector<XInfo*> watched;
    bool offGuiThread = false;

    void watch(const QVector<XInfo*>& indicators)
    {
        clock.start();
        polls.clear();
        watched = indicators;
        for (XInfo* indicator : indicators)
            polls[indicator];
        disconnect(poll);
        poll = connect(vantel_thread, &VantelThread::updateStatus, this, [this] { record(); });
    }
    QString polled(const QVector<XInfo*>& indicators) const
    {
        QStringList types;
        for (XInfo* indicator : indicators)
            if (!polls.value(indicator).isEmpty())
                types << QString::number(indicator->xinfo_getType());
        return types.join(QLatin1Char(','));
    }
    int total() const
    {
        int n = 0;
        for (const QVector<qint64>& times : polls)
            n += times.size();
        return n;
    }

private:
    void record()
    {
        offGuiThread |= QThread::currentThread() != qApp->thread();
        for (XInfo* indicator : std::as_const(watched)) {
            // A connection that can be made anew was not there; it is taken away at once.
            const QMetaObject::Connection probe = connect(vantel_thread, &VantelThread::updateStatus, indicator,
                                                          qOverload<bool>(&XInfo::xinfo_getStatus),
                                                          Qt::UniqueConnection);
            if (probe)
                disconnect(probe);
            else
                polls[indicator].append(clock.elapsed());
        }
    }

    QMetaObject::Connection poll;
};

} // namespace

class tst_Setup : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();
    void fourteenIndicators();
    void badArguments();
    void unwritableSettings();
    void placementAndPolling();
    void suspendAndResume();
    void closeWithPollQueued();

private:
    void configure(const QString& ini);

    QTemporaryDir work;
    VantelSimulation* sim = nullptr;
    QString stickRoot;
    structVANTEL_PROGRAMDATA data;
    QVector<XInfo*> indicators;
};

void tst_Setup::initTestCase()
{
    sim = new VantelSimulation(this);
    sim->setPowerStatus(0, 40);
    stickRoot = sim->plugVolume(QStringLiteral("STICK"));
    QVERIFY(!stickRoot.isEmpty());
    data.pathImages = QStringLiteral(VANTEL_ICON_BUILD_DIR);
}

void tst_Setup::init()
{
    QCOMPARE(VANTEL_OpenLib(), 0);
    QCOMPARE(VANTEL_InitLib(), 0);
}

void tst_Setup::cleanup()
{
    QCOMPARE(VANTEL_CloseLib(), 0);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    indicators.clear();
}

void tst_Setup::configure(const QString& ini)
{
    data.pathIni = ini;
    QCOMPARE(VANTEL_SetProgramData(&data), 0);
    QCOMPARE(VANTEL_getProgramInfo(indicators), 0);
}

void tst_Setup::fourteenIndicators()
{
    const QString ini = work.filePath(QStringLiteral("missing/system.ini"));
    QDir().mkpath(QFileInfo(ini).path());
    configure(ini);
    QVERIFY(QFileInfo(ini).size() > 0);
    QCOMPARE(vantel_capturePath, stickRoot);

    QCOMPARE(indicators.size(), 14);
    QStringList enabled;
    for (int type = 0; type < indicators.size(); ++type) {
        QCOMPARE(indicators[type]->xinfo_getType(), type);
        if (indicators[type]->xinfo_getEnable())
            enabled << QString::number(type);
    }
    QCOMPARE(enabled.join(QLatin1Char(',')), QStringLiteral("0,1,2,3,7,11"));
    QCOMPARE(vantel_indicators, indicators);

    // A second call replaces all fourteen.
    QVector<QPointer<XInfo>> first;
    for (XInfo* indicator : indicators)
        first << indicator;
    QCOMPARE(VANTEL_getProgramInfo(indicators), 0);
    QCOMPARE(indicators.size(), 14);
    for (const QPointer<XInfo>& old : first) {
        QVERIFY(old.isNull());
        QVERIFY(!indicators.contains(old.data()));
    }
}

void tst_Setup::badArguments()
{
    configure(work.filePath(QStringLiteral("system.ini")));
    XIniSystem* settings = vantel_settings;
    const QString icon = vantel_icons.at(1).path;
    QCOMPARE(VANTEL_SetProgramData(nullptr), 2);
    QCOMPARE(vantel_settings, settings);
    QCOMPARE(vantel_icons.at(1).path, icon);

    int next = -7;
    QCOMPARE(VANTEL_indicatorAdd(nullptr, 0, next), 2);
    QCOMPARE(next, -7);
}

// A settings file that cannot be created: the defaults stay in memory.
void tst_Setup::unwritableSettings()
{
    const QString blocker = work.filePath(QStringLiteral("blocker"));
    QFile file(blocker);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.close();
    configure(blocker + QStringLiteral("/system.ini"));
    QVERIFY(!QFileInfo::exists(blocker + QStringLiteral("/system.ini")));
    QCOMPARE(vantel_settings->xinisys_number(IND_BATTERY_WARN2_LEVEL), 10);
    QCOMPARE(indicators.size(), 14);
    QVERIFY(indicators[IND_TYPE_BATTERY]->xinfo_getEnable());
}

void tst_Setup::placementAndPolling()
{
    configure(work.filePath(QStringLiteral("system.ini")));
    indicators[IND_TYPE_BATTERYVEHICLE]->xinfo_setEnable(true);
    PollCounter counter;
    counter.watch(indicators);

    XBarTitle bar;
    bar.show();
    int next = 0;
    QCOMPARE(VANTEL_indicatorAdd(&bar, 10, next), 0);
    QCOMPARE(next, 24);
    QList<QWidget*> expected;
    for (XInfo* indicator : indicators)
        expected << indicator->xinfo_getWidget();
    QCOMPARE(bar.xbtle_getControls(), expected);

    QTRY_VERIFY_WITH_TIMEOUT(counter.polls.value(indicators[0]).size() >= 3, 10000);
    QCOMPARE(counter.polled(indicators), QStringLiteral("0,1,2,3,7,8,11"));
    QVERIFY(!counter.offGuiThread);
    const QVector<qint64> times = counter.polls.value(indicators[0]);
    for (int i = 1; i < times.size(); ++i)
        QVERIFY2(qAbs(times[i] - times[i - 1] - 2000) < 700, qPrintable(QString::number(times[i] - times[i - 1])));

    QVERIFY(indicators[IND_TYPE_BATTERY]->xinfo_getWidget()->isVisible());
    QCOMPARE(indicators[IND_TYPE_BATTERYVEHICLE]->xinfo_getDesc(), QStringLiteral("---"));
    QVERIFY(!indicators[IND_TYPE_VCI]->xinfo_getWidget()->isVisible());
}

void tst_Setup::suspendAndResume()
{
    configure(work.filePath(QStringLiteral("system.ini")));
    XBarTitle bar;
    bar.show();
    int next = 0;
    VANTEL_indicatorAdd(&bar, 0, next);
    XIndicator* battery = indicators[IND_TYPE_BATTERY]->xinfo_getWidget();
    PollCounter counter;
    counter.watch(indicators);
    QTRY_VERIFY_WITH_TIMEOUT(counter.total() > 0, 5000);
    QVERIFY(battery->isVisible());

    QCOMPARE(VANTEL_setIndicatorsStatus(INDICATORS_SLEEP), 0);
    QVERIFY(!battery->isVisible());
    QVERIFY(indicators[IND_TYPE_BATTERY]->xinfo_getSleep());
    counter.watch(indicators);
    QTest::qWait(2600);
    QCOMPARE(counter.total(), 0);

    // Awake, shown again, but not polled until the indicators are added again.
    QCOMPARE(VANTEL_setIndicatorsStatus(INDICATORS_RUN), 0);
    QVERIFY(battery->isVisible());
    QTest::qWait(2600);
    QCOMPARE(counter.total(), 0);

    VANTEL_indicatorAdd(&bar, 0, next);
    QTRY_VERIFY_WITH_TIMEOUT(counter.total() > 0, 5000);
}

// Polls queued behind a busy GUI thread do not run once the library is closed.
void tst_Setup::closeWithPollQueued()
{
    configure(work.filePath(QStringLiteral("system.ini")));
    XBarTitle bar;
    bar.show();
    int next = 0;
    VANTEL_indicatorAdd(&bar, 0, next);
    PollCounter counter;
    counter.watch(indicators);
    QTRY_VERIFY_WITH_TIMEOUT(counter.total() > 0, 5000);
    // Straight after a poll, so no poll runs before the GUI thread is busy.
    counter.watch(indicators);
    QThread::msleep(2600);  // the GUI thread is busy; the polling thread queues a poll
    QCOMPARE(counter.total(), 0);

    QCOMPARE(VANTEL_CloseLib(), 0);
    QCoreApplication::processEvents();
    QCOMPARE(counter.total(), 0);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCOMPARE(VANTEL_OpenLib(), 0);  // for cleanup()
    QCOMPARE(VANTEL_InitLib(), 0);
}

QTEST_MAIN(tst_Setup)
#include "tst_setup.moc"
