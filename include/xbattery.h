// The battery indicator's provider: the charge as a text and a battery icon,
// and warnings to the host when the charge falls to the levels of the
// settings, once per descent.
#ifndef XBATTERY_H
#define XBATTERY_H

#include <QObject>
#include <QString>
#include <QVector>

#include "vantel_export.h"

// The information value of a battery warning: sig_Battery(801, message, level).
enum { XBAT_MSG_WARNING = 801 };

struct XBatteryWarning {
    int threshold = -1; // charge percentage at or below which the row applies; -1 disables it
    int message = -1;   // handed to the host when the row fires
    bool active = false;
};

class VANTEL_EXPORT XBattery : public QObject
{
    Q_OBJECT
public:
    // Reads the warning table from the settings, once.
    explicit XBattery(QObject* parent);
    ~XBattery() override;

    int xbat_getStatus(QString& value, QString& icon);

    // The charge percentage as reported (0 to 100, 255 when unknown) with
    // `onMains`; -1 and false when the power status cannot be read.
    int getBatteryLevel(bool& onMains);

    bool xbat_criticalStatus();
    bool xbat_criticalStatus(int level);
    void xbat_warningStatus(int level);
    void xbat_warningEnable(int row);
    void xbat_warningReset();

signals:
    void sig_Battery(int val, int par, int opt);

public slots:
    void slt_InternalCommunication(int val, int par, int opt);

private:
    int level = 0; // the last percentage, -1 on mains
    QString valueText;
    QString iconPath;
    QVector<XBatteryWarning> warnings;
};

#endif
