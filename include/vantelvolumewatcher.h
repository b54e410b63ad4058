#ifndef VANTELVOLUMEWATCHER_H
#define VANTELVOLUMEWATCHER_H

/// @file
/// VantelVolumeWatcher, the removable disks as drive masks.

#include <QObject>
#include <QString>
#include <QStringList>

#include <memory>

#include "vantel_export.h"

/// Follows the volumes that come and go and tells about removable ones the way
/// a Windows host learns of them from its device-change messages: with the
/// drive mask of the volume's letter (bit 3 = D:). A host re-emits the two
/// signals from its application object, where the screen-capture and camera
/// indicators listen for them.
///
/// Thread: make it and use it in the GUI thread; it emits there.
///
/// Without removable disks, or on a machine whose mount table cannot be
/// read, it emits nothing and every root is empty.
class VANTEL_EXPORT VantelVolumeWatcher : public QObject
{
    Q_OBJECT
public:
    /// Volumes already present count as known; only later changes are told.
    explicit VantelVolumeWatcher(QObject* parent = nullptr);
    ~VantelVolumeWatcher() override;

    /// Where the drive a one-bit mask names is mounted (for a drive that has
    /// just left, where it was), such as "/media/tech/STICK/"; empty for any
    /// other mask. A host finds the disk's files there.
    QString driveRoot(int idVolume) const;
    /// The roots of the volumes the signals tell of (hot-pluggable ones)
    /// present at the last change, by letter.
    QStringList driveRoots() const;

signals:
    /// A hot-pluggable volume was mounted: `idVolume` is its one-bit drive mask.
    void AddUsbDisk(int idVolume);
    /// The volume of the one-bit drive mask `idVolume` went away.
    void RemoveUsbDisk(int idVolume);

private:
    void refresh();

    struct Private;
    std::unique_ptr<Private> d;
};

#endif
