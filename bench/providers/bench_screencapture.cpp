// The CPU of one screen capture (the desktop grabbed and saved as PNG on the
// removable disk) of a 1920x1080 screen on a private Xvfb, beside scrot
// saving the same screen, timed as a whole process. The screen shows a
// made-up desktop: gradients, text and a photograph-like field, so that the
// PNG encoder has real work. The CPU column is the GUI thread's; all_cpu_ms,
// every thread's, compares with scrot's child_cpu_ms. Wall time: the GUI
// thread waits for the X server's copy and the disk as much as it encodes.
// BM_Grab is the capture's grab alone. BM_QtPngWriter saves the grabbed
// picture with Qt's own writer at its default quality (-1), the file size a
// capture keeps within, and at 70, whose files come out the size of scrot's.
// BM_PngEncoder encodes it as a capture does, on one thread and on two.
//   bench_screencapture --benchmark_repetitions=5 --benchmark_report_aggregates_only=true
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QLinearGradient>
#include <QPainter>
#include <QProcess>
#include <QRandomGenerator>
#include <QScreen>
#include <QTemporaryDir>
#include <QWidget>

#include <cstdio>

#include <sys/resource.h>
#include <time.h>

#include "capture/pngencoder.h"
#include "library/vantelglobals.h"
#include "testxserver.h"
#include "xscreencapture.h"

namespace {

const QSize kScreen(1920, 1080);

class Desktop : public QWidget
{
public:
    Desktop()
    {
        setWindowFlags(Qt::FramelessWindowHint);
        setGeometry(QRect(QPoint(0, 0), kScreen));
        // Smooth noise, as in a photograph.
        photo = QImage(640, 360, QImage::Format_RGB32);
        QRandomGenerator noise(7);
        for (int y = 0; y < photo.height(); ++y)
            for (int x = 0; x < photo.width(); ++x) {
                const int grain = int(noise.bounded(24));
                photo.setPixel(x, y, qRgb(90 + x / 5 + grain, 60 + y / 3 + grain, 140 - y / 4 + grain));
            }
    }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter p(this);
        QLinearGradient sky(0, 0, 0, height());
        sky.setColorAt(0, QColor(30, 60, 110));
        sky.setColorAt(1, QColor(200, 210, 230));
        p.fillRect(rect(), sky);
        p.fillRect(80, 80, 1000, 860, Qt::white);
        p.setPen(Qt::black);
        for (int line = 0; line < 40; ++line)
            p.drawText(100, 110 + 20 * line,
                       QStringLiteral("%1  Diagnosi centralina motore: lettura errori, valori reali, attivazioni %2")
                           .arg(line, 2)
                           .arg(line * 37 % 101));
        p.drawImage(1200, 120, photo);
        p.drawImage(1200, 560, photo.mirrored(true, false));
    }

private:
    QImage photo;
};

QString stickDir;

double processCpuMs()
{
    timespec now {};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return double(now.tv_sec) * 1e3 + double(now.tv_nsec) / 1e6;
}

// all_cpu_ms: the capture's CPU on every core (the GUI thread's is the CPU
// column), what compares with scrot's child_cpu_ms.
void BM_XScreenCapture(benchmark::State& state)
{
    vantel_capturePath = stickDir;
    XScreenCapture capture(nullptr);
    const QString shots = stickDir + QStringLiteral("/Screenshot");
    qint64 bytes = 0;
    double allCpu = 0;
    for (auto _ : state) {
        const double before = processCpuMs();
        capture.slt_capture();
        allCpu += processCpuMs() - before;
        state.PauseTiming();
        const QFileInfoList files = QDir(shots).entryInfoList({QStringLiteral("*.png")}, QDir::Files);
        if (files.size() != 1) {
            state.SkipWithError("no picture saved");
            break;
        }
        bytes = files.first().size();
        QFile::remove(files.first().filePath());
        state.ResumeTiming();
    }
    state.counters["png_bytes"] = double(bytes);
    state.counters["all_cpu_ms"] = allCpu / double(state.iterations());
}

double childrenCpuMs()
{
    struct rusage usage {};
    getrusage(RUSAGE_CHILDREN, &usage);
    return (usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) * 1e3
           + (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e3;
}

void BM_Scrot(benchmark::State& state)
{
    const QString file = stickDir + QStringLiteral("/scrot.png");
    const double cpuBefore = childrenCpuMs();
    for (auto _ : state) {
        if (QProcess::execute(QStringLiteral("scrot"), {QStringLiteral("--overwrite"), file}) != 0) {
            state.SkipWithError("scrot did not run");
            break;
        }
    }
    state.counters["png_bytes"] = double(QFileInfo(file).size());
    state.counters["child_cpu_ms"] = (childrenCpuMs() - cpuBefore) / double(state.iterations());
}

QPixmap grabbedScreen()
{
    return QGuiApplication::primaryScreen()->grabWindow(0, 0, 0, kScreen.width(), kScreen.height());
}

// The capture's phases one by one: the grab, the encoding, the file written.
void BM_Grab(benchmark::State& state)
{
    for (auto _ : state)
        benchmark::DoNotOptimize(grabbedScreen().toImage().constBits());
}

void BM_QtPngWriter(benchmark::State& state)
{
    const QPixmap picture = grabbedScreen();
    const QString file = stickDir + QStringLiteral("/qt.png");
    for (auto _ : state)
        picture.save(file, "png", int(state.range(0)));
    state.counters["png_bytes"] = double(QFileInfo(file).size());
}

void BM_PngEncoder(benchmark::State& state)
{
    const QImage picture = grabbedScreen().toImage();
    const PngEncoder encoder(int(state.range(0)));
    qsizetype bytes = 0;
    for (auto _ : state)
        bytes = encoder.encode(picture).size();
    state.counters["png_bytes"] = double(bytes);
}

} // namespace

BENCHMARK(BM_XScreenCapture)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_Scrot)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_Grab)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_QtPngWriter)->Unit(benchmark::kMillisecond)->UseRealTime()->Arg(-1)->Arg(70);
BENCHMARK(BM_PngEncoder)->Unit(benchmark::kMillisecond)->UseRealTime()->Arg(1)->Arg(2);

int main(int argc, char** argv)
{
    TestXServer server;
    if (!server.start(kScreen)) {
        std::fprintf(stderr, "bench_screencapture: %s\n", qPrintable(server.error()));
        return 1;
    }
    qputenv("QT_QPA_PLATFORM", "xcb");
    QApplication app(argc, argv);
    QTemporaryDir stick;
    stickDir = stick.path();
    Desktop desktop;
    desktop.show();
    // Drawn before anything is measured.
    for (int i = 0; i < 50; ++i)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);

    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
