// What a click on the camera indicator costs the host's GUI thread: the one
// status query that launches the camera application (here /bin/true, a small
// program) and waits until it has started, against a resting query. The
// previous program is reaped outside the timing, as the event loop does
// between polls.
#include <QCoreApplication>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include "indicator/iconcatalogue.h"
#include "library/vantelglobals.h"
#include "settings/xinisystem.h"
#include "vantelapi.h"
#include "xcamera.h"
#include "xinfodata.h"

namespace {

const char* const kCamera = "/bin/true";

// A host's application object, which announces removable disks.
class Host : public QCoreApplication
{
    Q_OBJECT
public:
    using QCoreApplication::QCoreApplication;

signals:
    void AddUsbDisk(int idVolume);
    void RemoveUsbDisk(int idVolume);
};

void query(XCamera& camera)
{
    QString value, icon;
    camera.xcam_getStatus(value, icon);
}

void BM_CameraLaunch(benchmark::State& state)
{
    QObject indicator;
    XCamera camera(&indicator);
    query(camera); // ready
    for (auto _ : state) {
        state.PauseTiming();
        camera.slt_InternalCommunication(XINFO_MSG_CLICKED, -1, -1);
        query(camera); // requested
        state.ResumeTiming();
        query(camera); // launched
        state.PauseTiming();
        query(camera); // outcome shown once more, then ready again
        if (QProcess* program = indicator.findChild<QProcess*>())
            program->waitForFinished();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_CameraLaunch)->Unit(benchmark::kMicrosecond);

void BM_CameraReadyQuery(benchmark::State& state)
{
    XCamera camera(nullptr);
    for (auto _ : state)
        query(camera);
}
BENCHMARK(BM_CameraReadyQuery)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char** argv)
{
    Host app(argc, argv);
    QTemporaryDir dir;
    structVANTEL_PROGRAMDATA data;
    data.pathImages = QStringLiteral(VANTEL_ICON_BUILD_DIR);
    vantel_buildIcons(vantel_icons, data);
    QFile ini(dir.filePath(QStringLiteral("system.ini")));
    if (!ini.open(QIODevice::WriteOnly) || ini.write(QByteArray("[Data]\nDATA_CAMERA_APP=") + kCamera + "\n") < 0)
        return 1;
    ini.close();
    XIniSystem settings;
    if (settings.xinisys_init(ini.fileName()) != 0 || settings.xini_load(true) != 0)
        return 1;
    vantel_settings = &settings;
    vantel_capturePath = dir.path(); // the removable disk

    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    vantel_settings = nullptr;
    return 0;
}

#include "bench_cameralaunch.moc"
