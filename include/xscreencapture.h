// The screen-capture indicator's provider. The indicator shows while a
// removable disk is known and its folder is there; a click saves a PNG of the
// whole desktop in the disk's "Screenshot" folder, and the icon shows the
// request, then the outcome, then rests again.
#ifndef XSCREENCAPTURE_H
#define XSCREENCAPTURE_H

#include <QObject>
#include <QPixmap>
#include <QPointer>
#include <QString>

#include <memory>

#include "vantel_export.h"

class CapturePath;
class QScreen;

class VANTEL_EXPORT XScreenCapture : public QObject
{
    Q_OBJECT
public:
    // Follows the AddUsbDisk(int) / RemoveUsbDisk(int) signals of the
    // application object, which a host declares and emits.
    explicit XScreenCapture(QObject* parent);
    ~XScreenCapture() override;

    int xscc_getStatus(QString& value, QString& icon);

public slots:
    void slt_InternalCommunication(int val, int par, int opt);
    // Captures at once, whatever the state; the outcome icon shows at the
    // next poll. The library never calls it: it is the host's, for a key or a menu.
    void slt_capture();
    void AddUsbDisk(int idVolume);
    void RemoveUsbDisk(int idVolume);

private:
    bool xscc_captureproc();

    qint32 state = -1;
    QString valueText;
    QString iconPath;
    QPixmap picture;
    std::unique_ptr<CapturePath> capturePath;
    bool clicked = false;
    QPointer<QScreen> desktop; // the application's; not owned
};

#endif
