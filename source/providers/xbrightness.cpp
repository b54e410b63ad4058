#include "xbrightness.h"

#include <iterator>
#include <new>

#include "indicator/iconcatalogue.h"
#include "library/vanteltrace.h"
#include "platform.h"
#include "providers/xbacklight.h"
#include "xinfodata.h"

namespace {

constexpr unsigned kIdleSecondsToDim = 30;
constexpr int kDimmedPercent = 10;

} // namespace

XBrightness::XBrightness(QObject* parent)
    : QObject(parent)
{
    const int stepTable[4][2] = {{25, ICON_BRIGHTNESS_LOW},
                                 {50, ICON_BRIGHTNESS_HALF},
                                 {75, ICON_BRIGHTNESS_HIGH},
                                 {100, ICON_BRIGHTNESS_FULL}};
    for (const auto& step : stepTable)
        steps.append(new XBrightnessStep{step[0], vantel_iconPath(step[1]), QString::number(step[0]) + QLatin1Char('%')});

    backlight = new (std::nothrow) XBacklight;
    if (!backlight) {
        vantel::platform::debugOutput().outputDebugString("XBrightness Err allocazione XBacklight");
        return;
    }
    stepIndex = 0;
    xbrg_readValue();
}

XBrightness::~XBrightness()
{
    delete backlight;
    qDeleteAll(steps);
}

void XBrightness::xbrg_readValue()
{
    if (!backlight)
        return;
    settingValue = backlight->xbkl_readBrightnessSetting(backlight->xbkl_getPowerSource());
    stepIndex = 0;
    for (int index = 0; index < steps.size(); ++index) {
        if (steps[index]->percent >= settingValue) {
            stepIndex = index;
            break;
        }
    }
}

int XBrightness::xscc_getStatus(QString& value, QString& icon)
{
    xbrg_readValue();
    const XBrightnessStep* step = steps[stepIndex];
    value = step->text;
    icon = step->iconPath;
    return XINFORET_OK;
}

void XBrightness::slt_InternalCommunication(int val, int, int)
{
    if (val != XINFO_MSG_CLICKED || !backlight)
        return;
    stepIndex = (stepIndex + 1) % steps.size();
    backlight->xbkl_writeBrightnessSetting(steps[stepIndex]->percent, backlight->xbkl_getPowerSource());
}

void XBrightness::slt_InactivityWatchdog()
{
    if (!backlight)
        return;
    const int source = backlight->xbkl_getPowerSource();
    XBrightnessSourceState& state = sourceState[source];
    unsigned idle = 0;
    if (state.screenOffSuspended || !backlight->xbkl_getIdleSeconds(idle))
        return;
    VANTEL_TRACE(TRC_MASK_WARNING, QStringLiteral("BBB Secondi di inattività:") + QString::number(idle));

    if (idle >= kIdleSecondsToDim && !state.dimmed) {
        state.dimmed = true;
        state.savedBrightness = backlight->xbkl_getBrightness();
        backlight->xbkl_writeBrightnessSetting(kDimmedPercent, source);
        return;
    }
    if (idle < kIdleSecondsToDim && state.dimmed) {
        backlight->xbkl_writeBrightnessSetting(state.savedBrightness, source);
        state.dimmed = false;
        state.savedBrightness = -1;
    }
}

void XBrightness::stopScreenOff()
{
    if (!backlight)
        return;
    for (int source : {POWER_SOURCE_BATTERY, POWER_SOURCE_MAINS}) {
        XBrightnessSourceState& state = sourceState[source];
        if (state.screenOffSuspended)
            continue;
        state.screenOffSuspended = true;
        state.savedScreenOff = int(backlight->xbkl_readScreenOffTimeout(source));
        backlight->xbkl_writeScreenOffTimeout(0, source);
    }
}

void XBrightness::restoreScreenOff()
{
    for (int source = 0; source < int(std::size(sourceState)); ++source) {
        XBrightnessSourceState& state = sourceState[source];
        if (!state.screenOffSuspended)
            continue;
        state.screenOffSuspended = false;
        backlight->xbkl_writeScreenOffTimeout(unsigned(state.savedScreenOff), source);
    }
}

void XBrightness::stopStandBy()
{
    if (!backlight)
        return;
    for (int source : {POWER_SOURCE_BATTERY, POWER_SOURCE_MAINS}) {
        XBrightnessSourceState& state = sourceState[source];
        if (state.standbySuspended)
            continue;
        state.standbySuspended = true;
        state.savedStandby = int(backlight->xbkl_readStandbyTimeout(source));
        backlight->xbkl_writeStandbyTimeout(0, source);
    }
}

void XBrightness::restoreStandBy()
{
    for (int source = 0; source < int(std::size(sourceState)); ++source) {
        XBrightnessSourceState& state = sourceState[source];
        if (!state.standbySuspended)
            continue;
        state.standbySuspended = false;
        backlight->xbkl_writeStandbyTimeout(unsigned(state.savedStandby), source);
    }
}
