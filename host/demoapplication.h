// The demo's application object. The library's screen-capture and camera
// indicators listen on the application object for AddUsbDisk / RemoveUsbDisk
// (the drive mask of a removable disk that arrived or left), so a host
// declares both signals here and emits them from its volume watcher.
#ifndef DEMOAPPLICATION_H
#define DEMOAPPLICATION_H

#include <QApplication>
#include <QString>
#include <QStringList>

class VantelVolumeWatcher;

class DemoApplication : public QApplication
{
    Q_OBJECT
public:
    DemoApplication(int& argc, char** argv);
    ~DemoApplication() override;

    // Follows the volumes of the platform in use from now on; call it after a
    // simulated tablet is installed, so that the watcher reads that one.
    void watchVolumes();
    // Where the drive a one-bit mask names is mounted; empty without a watcher.
    QString driveRoot(int idVolume) const;
    // The removable volumes present now.
    QStringList driveRoots() const;

signals:
    void AddUsbDisk(int idVolume);
    void RemoveUsbDisk(int idVolume);

private:
    VantelVolumeWatcher* watcher = nullptr;
};

#endif
