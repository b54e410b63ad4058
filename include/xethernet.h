// The Ethernet indicator's provider. Its status query reports the indicator
// switched off; the class also carries a snapshot of one wired interface and
// the rules that turn such a snapshot into a text and an icon.
#ifndef XETHERNET_H
#define XETHERNET_H

#include <QObject>
#include <QString>

#include "vantel_export.h"
#include "xinfodata.h"

class VANTEL_EXPORT XEthernet : public QObject
{
    Q_OBJECT
public:
    // Snapshot states: 0 never taken, 1 missing or down, 2 up without link, 3 up and running.
    struct _XETHDATA {
        qint32 status = 0;
        QString ip;
        QString name;
    };

    explicit XEthernet(QObject* parent = nullptr);
    ~XEthernet() override;

    int xeth_getStatus(QString& value, QString& icon);

private:
    void xeth_rapidInfo(_XETHDATA& data);
    void xeth_statusToInfo(_XETHDATA& data, _XINFODATA& info);
    bool xeth_infoEqual(_XINFODATA& a, _XINFODATA& b);

    _XETHDATA snapshot;
    _XINFODATA report;
    QString valueText;
    QString iconName;
};

#endif
