// vantel-demo: a host of the library, doing what a real host does: a window
// with a Panor title bar, the library opened, given its program data,
// populated, attached to the bar and closed on exit; an application object
// that announces removable disks; and a panel of what the library tells it.
#include <QCommandLineParser>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>
#include <cstdio>
#include <memory>

#include "demoapplication.h"
#include "demowindow.h"
#include "librarysession.h"
#include "machinecheck.h"
#include "screenshot.h"
#include "simulatedsettings.h"
#include "standinkeyboard.h"
#include "vantelapi.h"
#include "vantelsimulation.h"
#include "xbartitle.h"
#include "xinfo.h"

namespace {

// Longer than a polling cycle, so that every step of the scenario is polled.
constexpr int kScenarioStepMs = 3000;
constexpr int kDefaultPolls = 3;

// Without a display the program still runs, drawing off screen (for
// --screenshot, or on a machine reached over ssh); with only a Wayland
// compositor, it draws there.
void pickQtPlatform()
{
    if (!qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") || !qEnvironmentVariableIsEmpty("DISPLAY"))
        return;
    // Qt 5 tries X11 first, even where only a Wayland compositor runs.
    if (!qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY")) {
        qputenv("QT_QPA_PLATFORM", "wayland");
    } else {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        std::fprintf(stderr, "vantel-demo: no display; drawing off screen (see --screenshot)\n");
    }
}

int fail(int code, const QString& message)
{
    std::fprintf(stderr, "vantel-demo: %s\n", qPrintable(message));
    return code;
}

bool isIconSet(const QString& dir)
{
    return QFileInfo::exists(dir + QStringLiteral("/battery_full.svg"));
}

// The installed set beside the program, else the set of the build tree.
QString defaultIconDir()
{
    const QString installed =
        QDir::cleanPath(QCoreApplication::applicationDirPath() + QStringLiteral("/" VANTEL_DEMO_ICONS_FROM_BIN));
    if (isIconSet(installed))
        return installed;
    const QString built = QStringLiteral(VANTEL_ICON_BUILD_DIR);
    if (isIconSet(built))
        return built;
    std::fprintf(stderr, "vantel-demo: no icon set in %s or %s; the indicators have no pictures\n",
                 qPrintable(installed), qPrintable(built));
    return installed;
}

QString defaultSettingsFile()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation)
           + QStringLiteral("/vantel/system.ini");
}

// The simulated tablet's camera application is the demo's own, beside it;
// the settings name it, as a host names its companion programs. Empty when
// it is missing.
QString simulatedCamera()
{
    const QString camera = QCoreApplication::applicationDirPath() + QStringLiteral("/vantel-demo-camera");
    if (QFileInfo(camera).isExecutable())
        return camera;
    std::fprintf(stderr, "vantel-demo: no camera program %s; the camera indicator stays hidden\n",
                 qPrintable(camera));
    return QString();
}

QString libraryVersion()
{
    unsigned long v[5] = {};
    VANTEL_GetLibVer(&v[0], &v[1], &v[2], &v[3], &v[4]);
    return QStringLiteral("%1.%2.%3.%4").arg(v[0]).arg(v[1]).arg(v[2]).arg(v[3]);
}

// The library reads a copy of the settings, so that the check writes nothing.
int checkMachine(const QString& iconDir, const QString& iniPath)
{
    QString error;
    SimulatedSettings copy;
    LibrarySession library;
    if (!copy.prepare(iniPath, {}, error) || !library.open(iconDir, copy.path(), error))
        return fail(2, error);
    const int result = MachineCheck(library.indicators(), copy.path()).run(stdout);
    library.close();
    return result;
}

} // namespace

int main(int argc, char** argv)
{
    pickQtPlatform();
    DemoApplication app(argc, argv);
    DemoApplication::setApplicationName(QStringLiteral("vantel-demo"));
    DemoApplication::setApplicationVersion(libraryVersion());

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Shows the library's indicators on a title bar."));
    parser.addHelpOption();
    parser.addVersionOption();
    const QCommandLineOption simulate(
        QStringLiteral("simulate"),
        QStringLiteral("Use a simulated tablet that runs through a scenario, with the demo's own camera program."));
    const QCommandLineOption screenshot(QStringLiteral("screenshot"),
                                        QStringLiteral("Save a PNG of the window to <file> and exit."),
                                        QStringLiteral("file"));
    const QCommandLineOption polls(QStringLiteral("polls"),
                                   QStringLiteral("Polls to wait for before the screenshot (default %1).")
                                       .arg(kDefaultPolls),
                                   QStringLiteral("n"));
    const QCommandLineOption ini(QStringLiteral("ini"),
                                 QStringLiteral("Settings file (default %1).").arg(defaultSettingsFile()),
                                 QStringLiteral("file"));
    const QCommandLineOption icons(QStringLiteral("icons"), QStringLiteral("Folder of the indicator icons."),
                                   QStringLiteral("dir"));
    const QCommandLineOption check(
        QStringLiteral("check"),
        QStringLiteral("Tell, for each indicator, whether this machine has what it needs; exit 0 when every "
                       "indicator that is on can work, 1 otherwise."));
    parser.addOptions({simulate, screenshot, polls, ini, icons, check});
    parser.process(app);

    int pollCount = kDefaultPolls;
    if (parser.isSet(polls)) {
        bool ok = false;
        pollCount = parser.value(polls).toInt(&ok);
        if (!ok || pollCount < 0)
            return fail(2, QStringLiteral("--polls wants a whole number, 0 or more"));
        if (!parser.isSet(screenshot))
            return fail(2, QStringLiteral("--polls counts only with --screenshot"));
    }
    QString iconDir = defaultIconDir();
    if (parser.isSet(icons)) {
        iconDir = QDir(parser.value(icons)).absolutePath();
        if (!QFileInfo(iconDir).isDir())
            return fail(2, QStringLiteral("no folder %1").arg(iconDir));
    }
    const QString iniPath = QFileInfo(parser.isSet(ini) ? parser.value(ini) : defaultSettingsFile()).absoluteFilePath();
    if (parser.isSet(check)) {
        if (parser.isSet(simulate) || parser.isSet(screenshot))
            return fail(2, QStringLiteral("--check looks at this machine, without --simulate or --screenshot"));
        return checkMachine(iconDir, iniPath);
    }
    QDir().mkpath(QFileInfo(iniPath).absolutePath());

    // The simulated tablet must be in place before anything reads the platform:
    // the volume watcher and the indicators.
    QString error;
    std::unique_ptr<VantelSimulation> simulation;
    SimulatedSettings simulatedSettings;
    QString libraryIni = iniPath;
    if (parser.isSet(simulate)) {
        simulation = std::make_unique<VantelSimulation>();
        // The simulated tablet's keyboard is the demo's own, so that it opens
        // and closes on any machine with a display.
        simulation->setKeyboardProgram(QCoreApplication::applicationDirPath() + QLatin1Char('/')
                                           + QLatin1String(kStandInKeyboardProgram),
                                       QLatin1String(kStandInKeyboardClass));
        // The internet check goes to the simulated internet, never out of the
        // machine; the camera is the demo's own program.
        QMap<QString, QString> values{
            {QStringLiteral("Settaggi/SETT_CHECKCONN_ADDRESS"), simulation->internetAddress()}};
        const QString camera = simulatedCamera();
        if (!camera.isEmpty())
            values.insert(QStringLiteral("Data/DATA_CAMERA_APP"), camera);
        if (!simulatedSettings.prepare(iniPath, values, error))
            return fail(1, error);
        libraryIni = simulatedSettings.path();
    }
    app.watchVolumes();

    LibrarySession library;
    if (!library.open(iconDir, libraryIni, error))
        return fail(1, error);
    // The library falls back to its defaults in memory when it cannot write the file.
    if (!QFileInfo::exists(libraryIni))
        std::fprintf(stderr, "vantel-demo: %s could not be created; running on the default settings\n",
                     qPrintable(libraryIni));
    // The simulated tablet has a camera; its indicator must be on before the
    // window attaches the indicators to the bar.
    if (XInfo* camera = simulation ? library.indicators().value(IND_TYPE_CAMERA) : nullptr)
        camera->xinfo_setEnable(true);
    DemoWindow window(app, library, simulation.get());
    window.show();
    if (simulation)
        simulation->startScenario(kScenarioStepMs);

    std::unique_ptr<Screenshot> picture;
    if (parser.isSet(screenshot)) {
        picture = std::make_unique<Screenshot>(&window, window.titleBar(), library.indicators(), pollCount,
                                               parser.value(screenshot));
        if (!picture->start(error))
            return fail(1, error);
    }

    const int result = DemoApplication::exec();
    // Before the window, and the bar the indicators sit on, go.
    library.close();
    if (picture && result == 0 && !picture->isSaved())
        return fail(1, QStringLiteral("the window was closed before the picture was taken"));
    return result;
}
