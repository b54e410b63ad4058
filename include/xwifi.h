// The Wi-Fi indicator's provider: the WLAN client's radio, connected network
// and signal quality as a status code, a text and an icon. While the radio
// is off the client's notifications start no refresh.
#ifndef XWIFI_H
#define XWIFI_H

#include <QObject>
#include <QString>

#include "vantel_export.h"

class Cwifi;

class VANTEL_EXPORT XWifi : public QObject
{
    Q_OBJECT
public:
    explicit XWifi(QObject* parent);
    ~XWifi() override;

    // XINFORET_OK, STATUS_UNCHANGED (connected, same signal as the last
    // report) or HARDWARE_OFF; both out-parameters always take the report.
    int xwifi_getStatus(QString& value, QString& icon);
    // 1 radio off, 2 on and not connected, 3 connected; `level` is the
    // signal quality for 3, else -1. Changes nothing.
    int xwifi_getLevel(int& level);

signals:
    // The radio came on (true) or went off, as one status query found it.
    void sig_wifiUpdate(bool Enable);

public slots:
    void slt_wifiUpdate(bool Enable);

private:
    int level = 0; // -1 while the radio is off or nothing is connected
    QString valueText;
    QString iconPath;
    Cwifi* wifi = nullptr;
};

#endif
