// The VCI indicator's provider. It reads no device: the indicator stays hidden.
#ifndef XVCIINFO_H
#define XVCIINFO_H

#include <QObject>
#include <QString>

#include "vantel_export.h"

class VANTEL_EXPORT XVciInfo : public QObject
{
    Q_OBJECT
public:
    explicit XVciInfo(QObject* parent = nullptr);
    ~XVciInfo() override;

    int xvciinf_getStatus(QString& value, QString& icon);

private:
    qint32 status;
    QString valueText;
    QString iconPath;
};

#endif
