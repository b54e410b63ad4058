// The download indicator's provider. It reads no device: the indicator stays hidden.
#ifndef XDOWNLOAD_H
#define XDOWNLOAD_H

#include <QObject>
#include <QString>

#include "vantel_export.h"

class VANTEL_EXPORT XDownload : public QObject
{
    Q_OBJECT
public:
    explicit XDownload(QObject* parent = nullptr);
    ~XDownload() override;

    int xdwn_getStatus(QString& value, QString& icon);

private:
    qint32 status;
    QString valueText;
    QString iconPath;
};

#endif
