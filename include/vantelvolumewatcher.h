// Follows the volumes that come and go and tells about removable ones the way
// a Windows host learns of them from its device-change messages: with the
// drive mask of the volume's letter (bit 3 = D:). A host re-emits the two
// signals from its application object, where the screen-capture and camera
// indicators listen for them.
#ifndef VANTELVOLUMEWATCHER_H
#define VANTELVOLUMEWATCHER_H

#include <QObject>
#include <QString>
#include <QStringList>

#include <memory>

#include "vantel_export.h"

class VANTEL_EXPORT VantelVolumeWatcher : public QObject
{
    Q_OBJECT
public:
    // Volumes already present count as known; only later changes are told.
    explicit VantelVolumeWatcher(QObject* parent = nullptr);
    ~VantelVolumeWatcher() override;

    // Where the drive a one-bit mask names is mounted (for a drive that has
    // just left, where it was), such as "/media/tech/STICK/"; empty for any
    // other mask. A host finds the disk's files there.
    QString driveRoot(int idVolume) const;
    // The roots of the volumes the signals tell of (hot-pluggable ones)
    // present at the last change, by letter.
    QStringList driveRoots() const;

signals:
    void AddUsbDisk(int idVolume);
    void RemoveUsbDisk(int idVolume);

private:
    void refresh();

    struct Private;
    std::unique_ptr<Private> d;
};

#endif
