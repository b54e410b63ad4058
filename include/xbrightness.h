// The brightness indicator's provider: the power scheme's display brightness
// for the power source in use as one of four steps (25, 50, 75, 100 %), the
// next step on each click, and for the host an inactivity watchdog that dims
// the display after 30 seconds without input and restores it on the next
// input, with operations that suspend and restore the display-off and sleep
// timeouts. The host calls the watchdog periodically itself (every few
// seconds); the library has no timer for it. Nothing is restored when the
// provider goes: a host restores what it suspended first.
#ifndef XBRIGHTNESS_H
#define XBRIGHTNESS_H

#include <QList>
#include <QObject>
#include <QString>

#include "vantel_export.h"

class XBacklight;

struct XBrightnessStep {
    int percent = 0;
    QString iconPath;
};

// Watchdog and suspend bookkeeping of one power source.
struct XBrightnessSourceState {
    bool dimmed = false;
    int savedBrightness = -1;
    bool screenOffSuspended = false;
    int savedScreenOff = -1;
    bool standbySuspended = false;
    int savedStandby = -1;
};

class VANTEL_EXPORT XBrightness : public QObject
{
    Q_OBJECT
public:
    explicit XBrightness(QObject* parent);
    ~XBrightness() override;

    int xscc_getStatus(QString& value, QString& icon);

    // For the battery and the mains source: display-off (screen off) or
    // sleep (stand-by) set to never, the previous value kept for the
    // restore. A second call before the restore changes nothing.
    void stopScreenOff();
    void restoreScreenOff();
    void stopStandBy();
    void restoreStandBy();

public slots:
    void slt_InternalCommunication(int val, int par, int opt);
    // One pass: dims after 30 seconds without input, restores on input.
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
