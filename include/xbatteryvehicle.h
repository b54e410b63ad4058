// The vehicle battery indicator's provider. It measures nothing: the host hands
// in the latest vehicle battery reading, in millivolts, and every status query
// shows the last reading in volts (in millivolts in debug mode).
#ifndef XBATTERYVEHICLE_H
#define XBATTERYVEHICLE_H

#include <QObject>
#include <QString>

#include "vantel_export.h"

class VANTEL_EXPORT XBatteryVehicle : public QObject
{
    Q_OBJECT
public:
    explicit XBatteryVehicle(QObject* parent = nullptr);
    ~XBatteryVehicle() override;

    // Stores the reading for the next status query; always 0.
    int xbatvhe_setParameter(double value, bool valid);
    int xbatvhe_getStatus(QString& value, QString& icon);

signals:
    // Declared for the indicator to forward; the provider has nothing to tell yet.
    void sig_BatteryVehicle(int val, int par, int opt);

public slots:
    void slt_InternalCommunication(int val, int par, int opt);

private:
    double lastValue = 0.0;
    QString valueText;
    QString iconPath;
    double paramValue = 0.0;
    bool paramValid = false;
};

#endif
