#include "librarysession.h"

#include <QCoreApplication>
#include <QEvent>

#include "xbatteryvehicle.h"
#include "xbrightness.h"
#include "xinfo.h"
#include "xinternet.h"
#include "xkeyboard.h"
#include "xscreencapture.h"

namespace {
// The library dims after 30 s without input; a pass every 2 s catches that,
// and the input that ends it, soon enough.
constexpr int kWatchdogMs = 2000;
} // namespace

LibrarySession::LibrarySession(QObject* parent)
    : QObject(parent)
{
    watchdog.setInterval(kWatchdogMs);
    connect(&watchdog, &QTimer::timeout, this, [this] {
        if (brightness)
            brightness->slt_InactivityWatchdog();
    });
}

LibrarySession::~LibrarySession()
{
    close();
}

bool LibrarySession::open(const QString& iconDir, const QString& iniPath, QString& error)
{
    VANTEL_OpenLib();
    opened = true;
    if (VANTEL_InitLib() != VANTEL_RET_OK) {
        error = tr("the library's polling thread did not start");
        close();
        return false;
    }
    data.pathImages = iconDir;
    data.pathImagesAlt = iconDir;
    data.pathIni = iniPath;
    if (VANTEL_SetProgramData(&data) != VANTEL_RET_OK) {
        error = tr("the library did not load the settings file %1").arg(iniPath);
        close();
        return false;
    }
    VANTEL_getProgramInfo(infos);
    for (int type = 0; type < infos.size(); ++type) {
        connect(infos[type], &XInfo::sig_Information, this,
                [this, type](int val, int par, int opt) { emit information(type, val, par, opt); });
    }

    if (XInfo* internet = infos.value(IND_TYPE_INTERNET)) {
        if (auto* provider = internet->findChild<XInternet*>())
            connect(provider, &XInternet::sig_changeStatus, this, &LibrarySession::internetStatus);
    }

    // The library leaves the vehicle battery off: only a host that talks to a
    // vehicle has readings for it. It must be on before attach() connects the
    // enabled indicators to the polling thread.
    if (XInfo* vehicle = infos.value(IND_TYPE_BATTERYVEHICLE)) {
        vehicle->xinfo_setEnable(true);
        vehicleBattery = vehicle->findChild<XBatteryVehicle*>();
    }
    // The library turns screen capture on for the tablet platforms of the
    // settings only; the demo shows it wherever a disk is plugged in.
    if (XInfo* capture = infos.value(IND_TYPE_SCREENCAPTURE)) {
        capture->xinfo_setEnable(true);
        screenCapture = capture->findChild<XScreenCapture*>();
    }
    // A tablet host turns the brightness on in its settings (DATA_PLATFORM 1
    // or 3); the demo shows it on any settings file.
    if (XInfo* display = infos.value(IND_TYPE_BRIGHTNESS)) {
        display->xinfo_setEnable(true);
        brightness = display->findChild<XBrightness*>();
    }
    // The library has no timer of its own for the watchdog: the host runs it.
    watchdog.start();
    // The settings' platform code leaves the keyboard off on most machines;
    // the demo shows it wherever the keyboard program exists (it hides itself
    // where it does not).
    if (XInfo* keyboardIndicator = infos.value(IND_TYPE_KEYBOARD)) {
        keyboardIndicator->xinfo_setEnable(true);
        keyboard = keyboardIndicator->findChild<XKeyboard*>();
    }
    return true;
}

void LibrarySession::attach(XBarTitle* titleBar)
{
    bar = titleBar;
    int next = 0;
    VANTEL_indicatorAdd(bar, 0, next);
    suspended = false;
}

void LibrarySession::suspend()
{
    VANTEL_setIndicatorsStatus(INDICATORS_SLEEP);
    suspended = true;
}

void LibrarySession::resume()
{
    // Waking alone does not reconnect the polling thread; adding the
    // indicators to the bar again does.
    VANTEL_setIndicatorsStatus(INDICATORS_RUN);
    if (bar) {
        int next = 0;
        VANTEL_indicatorAdd(bar, 0, next);
    }
    suspended = false;
}

void LibrarySession::close()
{
    if (!opened)
        return;
    // The library restores nothing when it goes.
    keepScreenOn(false);
    watchdog.stop();
    VANTEL_CloseLib();
    // The library releases its objects with deleteLater; after the event loop
    // has ended nothing else would delete them.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    infos.clear();
    vehicleBattery = nullptr;
    screenCapture = nullptr;
    brightness = nullptr;
    keyboard = nullptr;
    bar = nullptr;
    opened = false;
}

void LibrarySession::captureScreen()
{
    if (screenCapture)
        screenCapture->slt_capture();
}

void LibrarySession::setVehicleReading(double millivolts, bool valid)
{
    if (vehicleBattery)
        vehicleBattery->xbatvhe_setParameter(millivolts, valid);
}

void LibrarySession::keepScreenOn(bool on)
{
    if (!brightness || on == screenKeptOn)
        return;
    if (on)
        brightness->stopScreenOff();
    else
        brightness->restoreScreenOff();
    screenKeptOn = on;
}

void LibrarySession::closeKeyboard()
{
    if (keyboard)
        keyboard->KeyBoardClose();
}
