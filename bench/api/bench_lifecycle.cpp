// What a host pays for the library on the simulated tablet: from
// VANTEL_OpenLib to the indicators attached to a bar, and the GUI-thread time
// of one full poll of every connected indicator, with the debug log open and
// closed.
#include <QApplication>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include "library/tracelwrapper.h"
#include "library/vantelglobals.h"
#include "library/vantelthread.h"
#include "vantelapi.h"
#include "vantelsimulation.h"
#include "xbartitle.h"
#include "xbatteryvehicle.h"
#include "xinfo.h"

namespace {

QTemporaryDir* work;
structVANTEL_PROGRAMDATA* data;

void attach(XBarTitle& bar)
{
    QVector<XInfo*> indicators;
    int next = 0;
    VANTEL_OpenLib();
    VANTEL_InitLib();
    VANTEL_SetProgramData(data);
    VANTEL_getProgramInfo(indicators);
    indicators[IND_TYPE_BATTERYVEHICLE]->xinfo_setEnable(true);
    indicators[IND_TYPE_BATTERYVEHICLE]->findChild<XBatteryVehicle*>()->xbatvhe_setParameter(12600, true);
    VANTEL_indicatorAdd(&bar, 0, next);
}

void close()
{
    VANTEL_CloseLib();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

void BM_OpenToAttached(benchmark::State& state)
{
    for (auto _ : state) {
        XBarTitle bar;
        attach(bar);
        state.PauseTiming();
        close();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_OpenToAttached)->Unit(benchmark::kMillisecond);

// One emission of the polling signal, delivered directly in this thread: the
// same slot calls a queued poll makes in the host's GUI thread.
void BM_FullPoll(benchmark::State& state)
{
    const bool logOpen = state.range(0) != 0;
    XBarTitle bar;
    bar.show();
    attach(bar);
    vantel_thread->setState(0);  // the thread idles; the benchmark drives the polls
    Tracel* log = vantel_log;
    if (!logOpen)
        vantel_log = nullptr;
    emit vantel_thread->updateStatus(false);  // the first poll loads fonts and icons
    for (auto _ : state)
        emit vantel_thread->updateStatus(false);
    vantel_log = log;
    close();
}
BENCHMARK(BM_FullPoll)->Arg(1)->Arg(0)->ArgName("log_open")->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QTemporaryDir dir;
    work = &dir;
    if (qEnvironmentVariableIsEmpty("TRACEL_LOG_DIR"))
        qputenv("TRACEL_LOG_DIR", dir.filePath(QStringLiteral("log")).toUtf8());
    VantelSimulation sim;
    sim.setPowerStatus(0, 63);
    structVANTEL_PROGRAMDATA programData;
    programData.pathImages = QStringLiteral(VANTEL_ICON_BUILD_DIR);
    programData.pathIni = dir.filePath(QStringLiteral("system.ini"));
    data = &programData;

    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
