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

// A timeout that a suspension holds at 0 on both power sources: where its
// state is kept and how the backlight reads and writes it.
struct HeldTimeout {
    bool XBrightnessSourceState::*suspended;
    int XBrightnessSourceState::*saved;
    unsigned (XBacklight::*read)(int);
    bool (XBacklight::*write)(unsigned, int);
};

constexpr HeldTimeout kScreenOff{&XBrightnessSourceState::screenOffSuspended, &XBrightnessSourceState::savedScreenOff,
                                 &XBacklight::xbkl_readScreenOffTimeout, &XBacklight::xbkl_writeScreenOffTimeout};
constexpr HeldTimeout kStandby{&XBrightnessSourceState::standbySuspended, &XBrightnessSourceState::savedStandby,
                               &XBacklight::xbkl_readStandbyTimeout, &XBacklight::xbkl_writeStandbyTimeout};

using SourceStates = XBrightnessSourceState[5];

void suspend(XBacklight* backlight, SourceStates& states, const HeldTimeout& timeout)
{
    if (!backlight)
        return;
    for (int source : {POWER_SOURCE_BATTERY, POWER_SOURCE_MAINS}) {
        XBrightnessSourceState& state = states[source];
        if (state.*timeout.suspended)
            continue;
        state.*timeout.suspended = true;
        state.*timeout.saved = int((backlight->*timeout.read)(source));
        (backlight->*timeout.write)(0, source);
    }
}

void restore(XBacklight* backlight, SourceStates& states, const HeldTimeout& timeout)
{
    for (int source = 0; source < int(std::size(states)); ++source) {
        XBrightnessSourceState& state = states[source];
        if (!(state.*timeout.suspended))
            continue;
        state.*timeout.suspended = false;
        (backlight->*timeout.write)(unsigned(state.*timeout.saved), source);
    }
}

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
    suspend(backlight, sourceState, kScreenOff);
}

void XBrightness::restoreScreenOff()
{
    restore(backlight, sourceState, kScreenOff);
}

void XBrightness::stopStandBy()
{
    suspend(backlight, sourceState, kStandby);
}

void XBrightness::restoreStandBy()
{
    restore(backlight, sourceState, kStandby);
}
