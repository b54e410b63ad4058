// The Bluetooth indicator's provider. It reads no device: it answers idle, so
// the indicator keeps whatever its first query showed.
#ifndef XBLUETOOTH_H
#define XBLUETOOTH_H

#include <QObject>
#include <QString>

#include "vantel_export.h"

class VANTEL_EXPORT XBluetooth : public QObject
{
    Q_OBJECT
public:
    explicit XBluetooth(QObject* parent = nullptr);
    ~XBluetooth() override;

    int xblu_getStatus(QString& value, QString& icon);

private:
    qint32 status;
    QString valueText;
    QString iconPath;
};

#endif
