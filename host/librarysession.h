// The demo's use of the library, in the order a host calls it: open, init,
// program data, indicators, attach to the bar; suspend and resume; close.
// The program-data structure lives here because the library keeps a pointer
// to it: this object must outlive the library's use of it.
#ifndef LIBRARYSESSION_H
#define LIBRARYSESSION_H

#include <QObject>
#include <QPointer>
#include <QString>
#include <QTimer>
#include <QVector>

#include "vantelapi.h"

class XBarTitle;
class XBatteryVehicle;
class XBrightness;
class XInfo;
class XKeyboard;
class XScreenCapture;

class LibrarySession : public QObject
{
    Q_OBJECT
public:
    explicit LibrarySession(QObject* parent = nullptr);
    ~LibrarySession() override;

    // Opens and initialises the library, hands it the icon folder and the
    // settings file, creates the indicators, enables the vehicle battery,
    // the brightness and the keyboard, and starts the inactivity watchdog.
    // False, with the reason in `error`, when the library cannot be set up.
    bool open(const QString& iconDir, const QString& iniPath, QString& error);
    // Puts the fourteen indicators on the right of `bar` and starts polling.
    void attach(XBarTitle* bar);
    void suspend();
    // Wakes the indicators and connects them to the polling thread again.
    void resume();
    bool isSuspended() const { return suspended; }
    // Stops the library and releases what it made; the bar must still exist.
    void close();

    // Index = indicator type. Owned by the library; empty once closed.
    const QVector<XInfo*>& indicators() const { return infos; }
    // Hands the vehicle battery provider a reading in millivolts.
    void setVehicleReading(double millivolts, bool valid);
    // Saves the screen onto the removable disk at once, as a key or a menu of
    // a host would; the indicator shows the outcome at its next poll.
    void captureScreen();
    // Suspends the display-off timeout, or restores it.
    void keepScreenOn(bool on);
    // Asks the on-screen keyboard's window to close, when it is open.
    void closeKeyboard();

signals:
    // What an indicator passed to the host: clicks (804) and its provider's
    // information, such as battery warnings (801).
    void information(int type, int val, int par, int opt);
    // The internet provider's sig_changeStatus: 3 reachable, 4 not.
    void internetStatus(int status);

private:
    structVANTEL_PROGRAMDATA data;
    QVector<XInfo*> infos;
    XBatteryVehicle* vehicleBattery = nullptr;
    XScreenCapture* screenCapture = nullptr;
    QPointer<XBrightness> brightness;
    QTimer watchdog;
    bool screenKeptOn = false;
    XKeyboard* keyboard = nullptr;
    XBarTitle* bar = nullptr;
    bool opened = false;
    bool suspended = false;
};

#endif
