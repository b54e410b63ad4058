#ifndef XETHERNET_H
#define XETHERNET_H

/// @file
/// XEthernet, the Ethernet indicator's provider.

#include <QObject>
#include <QString>

#include "vantel_export.h"
#include "xinfodata.h"

/// The Ethernet indicator's provider. Its status query reports the indicator
/// switched off; the class also carries a snapshot of one wired interface and
/// the rules that turn such a snapshot into a text and an icon.
///
/// Thread: the GUI thread only, where the library makes it as a child of its indicator.
class VANTEL_EXPORT XEthernet : public QObject
{
    Q_OBJECT
public:
    /// Snapshot states: 0 never taken, 1 missing or down, 2 up without link, 3 up and running.
    struct _XETHDATA {
        qint32 status = 0; ///< one of the snapshot states above
        QString ip;        ///< the interface's IPv4 address, dotted
        QString name;      ///< the interface's name
    };

    /// A provider with no snapshot taken.
    explicit XEthernet(QObject* parent = nullptr);
    ~XEthernet() override;

    /// One status query: always HARDWARE_OFF, whatever the wired interfaces:
    /// the indicator stays hidden.
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
