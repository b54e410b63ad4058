// vantel-demo --check: for each indicator the demo would show, whether this
// machine has what it needs (services, devices, programs, a display), and
// where not, the one thing that is missing.
#ifndef MACHINECHECK_H
#define MACHINECHECK_H

#include <QString>
#include <QVector>
#include <cstdio>

class XInfo;

// What the session's Wayland compositor offers, as far as the check asks.
struct WaylandAnswer {
    bool compositor = false;
    bool screencopy = false;
};

class MachineCheck
{
public:
    // `infos` are the library's indicators (index = type) with their enabled
    // state; `settingsPath` is the settings file they were made from.
    MachineCheck(const QVector<XInfo*>& infos, const QString& settingsPath);
    // One line per indicator on `out`, then a summary; 0 when every enabled
    // indicator can work, 1 otherwise.
    int run(std::FILE* out) const;

private:
    // Empty when the machine has what the indicator of `type` needs.
    QString missingFor(int type) const;
    QString missingForBrightness() const;
    QString missingForKeyboard() const;
    QString missingForCamera() const;
    // How a capture that can work reads the desktop, as a note to "ok".
    QString captureWay() const;

    QVector<XInfo*> indicators;
    QString iniPath;
    bool networkManager;
    bool xServer;
    WaylandAnswer wayland;
    bool screenshotPortal;
};

#endif
