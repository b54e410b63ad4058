#ifndef VANTELSIMULATION_H
#define VANTELSIMULATION_H

/// @file
/// VantelSimulation, a simulated tablet for a host's own tests.

#include <QObject>
#include <QString>
#include <QStringList>

#include <memory>

#include "vantel_export.h"

/// A simulated tablet for tests and demonstrations. Making one installs a
/// fresh simulated tablet as the library's platform, in place of the real
/// machine; make it before the library's indicators and volume watcher, so
/// that they read it. The tablet stays installed when this object goes.
/// Numbers keep the Windows meaning: AC line status 0 (battery), 1 (mains) or
/// 255 (unknown), battery percentage 0 to 100 or 255 (unknown).
/// The tablet has a backlight at 80 %, an empty power scheme and input a
/// moment ago. Its Wi-Fi starts with both radio switches on, connected to
/// "VANTEL-WORKSHOP" at 80 %, with "VANTEL-GUEST" at 40 % in sight; they take
/// the keys "workshop-key" and "guest-key", and a connection attempt with
/// another key fails.
///
/// Thread: the GUI thread only. Being simulated, every device is there
/// until a setter takes it away (a backlight of -1, an unreadable power
/// status, the radio off).
class VANTEL_EXPORT VantelSimulation : public QObject
{
    Q_OBJECT
public:
    /// Installs a fresh simulated tablet as the library's platform.
    explicit VantelSimulation(QObject* parent = nullptr);
    ~VantelSimulation() override;

    /// The power status the battery indicator reads: AC line 0, 1 or 255,
    /// charge 0 to 100 or 255.
    void setPowerStatus(int acLineStatus, int batteryLifePercent);
    /// A tablet whose power status cannot be read.
    void setPowerStatusReadable(bool readable);

    /// The backlight in percent (what the library set last); -1 for none.
    void setBacklight(int percent);
    /// The backlight in percent, as the library last set it; -1 for none.
    int backlight() const;
    /// Seconds since the last input, counted back from a clock that stands still.
    void setIdleSeconds(int seconds);

    /// Plugs in a disk; its root is a fresh folder under a temporary folder.
    /// Returns the root (ending with "/"), empty on failure.
    QString plugVolume(const QString& label, bool removableMedia = true);
    /// Pulls out the disk of `label`; false when none is plugged in.
    bool pullVolume(const QString& label);

    /// The Wi-Fi radio's software switch and hardware switch.
    void setWifiRadio(bool softwareOn, bool hardwareOn);
    /// Shows a network, or changes the signal quality (0 to 100) of one shown.
    void setWifiNetwork(const QString& ssid, int signalQuality);
    /// Connects to a network shown; an empty SSID disconnects. False for a
    /// network not in sight.
    bool setWifiConnected(const QString& ssid);
    /// The key a network takes (an empty one: an open network). A network
    /// shown by setWifiNetwork takes any key until it is given one.
    void setWifiNetworkKey(const QString& ssid, const QString& key);
    /// The tablet's on-screen keyboard: the program started by itself and the
    /// class of its window. The tablet has none until one is set.
    void setKeyboardProgram(const QString& program, const QString& windowClass);

    /// The internet as the library's internet check sees it: a peer on
    /// 127.0.0.1 that accepts connections while reachable and refuses them
    /// otherwise. Point the check at internetAddress() (the settings'
    /// SETT_CHECKCONN_ADDRESS); it keeps its port while this object lives.
    /// Reachable until told otherwise.
    QString internetAddress();
    /// False when the peer cannot listen on its port again.
    bool setInternetReachable(bool reachable);

    /// A registry value as a list of strings (key such as
    /// "HKEY_LOCAL_MACHINE\\Loader"); an empty list removes it.
    void setRegistryValue(const QString& key, const QString& name, const QStringList& strings);

    /// What the library wrote to the debugger output, oldest first.
    QStringList debugOutput() const;

    /// A tablet's day, a step every `intervalMs`, over and over: discharging
    /// through the battery warnings (left alone for a while on the way), back
    /// on mains, a USB stick plugged in and pulled out again, the internet
    /// lost and back, the Wi-Fi signal down through its four steps, the radio
    /// off and on again.
    void startScenario(int intervalMs = 2000);
    /// Stops the scenario where it is.
    void stopScenario();

signals:
    /// The scenario took step `step` (from 0), told in `description`.
    void scenarioStep(int step, const QString& description);

private:
    void nextStep();

    struct Private;
    std::unique_ptr<Private> d;
};

#endif
