#ifndef XWIFI_H
#define XWIFI_H

/// @file
/// XWifi, the Wi-Fi indicator's provider.

#include <QObject>
#include <QString>

#include "vantel_export.h"

class Cwifi;

/// The Wi-Fi indicator's provider: the WLAN client's radio, connected network
/// and signal quality as a status code, a text and an icon. While the radio
/// is off the client's notifications start no refresh.
///
/// Thread: the GUI thread only, where the library makes it as a child of its indicator. Its queries never wait for NetworkManager:
/// they read a model a thread of the library keeps up to date.
///
/// Without NetworkManager or a Wi-Fi device: the radio reads as off,
/// HARDWARE_OFF, and the indicator stays hidden until they appear.
class VANTEL_EXPORT XWifi : public QObject
{
    Q_OBJECT
public:
    /// Opens its WLAN client on the first Wi-Fi interface.
    explicit XWifi(QObject* parent);
    ~XWifi() override;

    /// XINFORET_OK, STATUS_UNCHANGED (connected, same signal as the last
    /// report) or HARDWARE_OFF; both out-parameters always take the report.
    int xwifi_getStatus(QString& value, QString& icon);
    /// 1 radio off, 2 on and not connected, 3 connected; `level` is the
    /// signal quality for 3, else -1. Changes nothing.
    int xwifi_getLevel(int& level);

signals:
    /// The radio came on (true) or went off, as one status query found it.
    void sig_wifiUpdate(bool Enable);

public slots:
    /// Lets the client's notifications start a refresh while `Enable` (the
    /// radio on), and not otherwise.
    void slt_wifiUpdate(bool Enable);

private:
    int level = 0; ///< -1 while the radio is off or nothing is connected
    QString valueText;
    QString iconPath;
    Cwifi* wifi = nullptr;
};

#endif
