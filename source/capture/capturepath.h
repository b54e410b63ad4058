// The capture path of a provider that writes to, or watches, a removable
// disk: a copy of the library's capture path that the host's AddUsbDisk /
// RemoveUsbDisk notifications move afterwards, through the DiskFollower of
// the screen-capture or camera provider that holds it.
#ifndef CAPTUREPATH_H
#define CAPTUREPATH_H

#include <QString>

#include "capture/diskprobe.h"

class CapturePath
{
public:
    CapturePath(); // copy of vantel_capturePath

    const QString& path() const { return capturePath; }
    // Whether the path is a folder now, asked with a deadline: a stick that
    // no longer answers counts as gone, it never holds the caller.
    bool reachable() { return probe.reachable(capturePath); }

    // The newest disk wins. `idVolume` must name exactly one drive (bit 3 =
    // D:); any other mask changes nothing.
    void addUsbDisk(int idVolume);
    // Clears the path when it is the departing drive's root.
    void removeUsbDisk(int idVolume);

    // The root of the drive a one-bit mask names: its mount path from the
    // platform's drive map (e.g. "/media/tech/STICK/"), or the letter form
    // "E:\" for a letter the map never held, which names no directory here.
    // Empty for any other mask.
    static QString driveRoot(int idVolume);

private:
    QString capturePath;
    DiskProbe probe;
};

#endif
