#ifndef XBRIGHTNESS_H
#define XBRIGHTNESS_H

/// @file
/// XBrightness, the brightness indicator's provider and the inactivity watchdog.

#include <QList>
#include <QObject>
#include <QString>

#include "vantel_export.h"

class XBacklight;

/// One of the four brightness steps.
struct XBrightnessStep {
    int percent = 0;  ///< the step's brightness
    QString iconPath; ///< its icon file
    QString text;     ///< its percentage as the indicator shows it
};

/// Watchdog and suspend bookkeeping of one power source.
struct XBrightnessSourceState {
    bool dimmed = false;             ///< the watchdog dimmed the display
    int savedBrightness = -1;        ///< the brightness to restore on input; -1 none
    bool screenOffSuspended = false; ///< stopScreenOff() is in force
    int savedScreenOff = -1;         ///< the display-off timeout to restore; -1 none
    bool standbySuspended = false;   ///< stopStandBy() is in force
    int savedStandby = -1;           ///< the sleep timeout to restore; -1 none
};

/// The brightness indicator's provider: the power scheme's display brightness
/// for the power source in use as one of four steps (25, 50, 75, 100 %), the
/// next step on each click, and for the host an inactivity watchdog that dims
/// the display after 30 seconds without input and restores it on the next
/// input, with operations that suspend and restore the display-off and sleep
/// timeouts. The host calls the watchdog periodically itself (every few
/// seconds); the library has no timer for it. Nothing is restored when the
/// provider goes: a host restores what it suspended first.
///
/// Thread: the GUI thread only; the host finds it with
/// `findChild<XBrightness*>()` on its indicator.
///
/// Without a backlight device: the indicator still shows the power scheme's
/// step and a click still steps the scheme's value, but the screen does not
/// change; without an X server no idle time is counted, so the watchdog
/// never dims.
class VANTEL_EXPORT XBrightness : public QObject
{
    Q_OBJECT
public:
    /// Reads the power scheme's brightness for the power source in use.
    explicit XBrightness(QObject* parent);
    ~XBrightness() override;

    /// One status query: the step at or above the scheme's brightness as
    /// "75%", its icon, and always XINFORET_OK.
    int xscc_getStatus(QString& value, QString& icon);

    /// For the battery and the mains source: display-off (screen off) or
    /// sleep (stand-by) set to never, the previous value kept for the
    /// restore. A second call before the restore changes nothing.
    void stopScreenOff();
    /// Puts back the display-off timeouts stopScreenOff() kept; nothing
    /// without a stop before.
    void restoreScreenOff();
    /// Sets the sleep timeouts to never (the tablet stays awake), keeping
    /// the previous values.
    void stopStandBy();
    /// Puts back the sleep timeouts stopStandBy() kept; nothing without a
    /// stop before.
    void restoreStandBy();

public slots:
    /// A click (`val` XINFO_MSG_CLICKED) sets the next step, after 100 % the
    /// first, for the power source in use.
    void slt_InternalCommunication(int val, int par, int opt);
    /// One pass: dims to 10 % after 30 seconds without input, restores on
    /// input; nothing while stopScreenOff() is in force. Call it from the
    /// GUI thread every few seconds.
    void slt_InactivityWatchdog();

private:
    void xbrg_readValue();

    QList<XBrightnessStep*> steps;
    int settingValue = 100;
    int stepIndex = 0;
    XBacklight* backlight = nullptr;
    XBrightnessSourceState sourceState[5];
};

#endif
