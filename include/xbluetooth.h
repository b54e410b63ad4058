#ifndef XBLUETOOTH_H
#define XBLUETOOTH_H

/// @file
/// XBluetooth, the Bluetooth indicator's provider.

#include "xfixedprovider.h"

/// The Bluetooth indicator's provider. It reads no device: it answers idle, so
/// the indicator keeps whatever its first query showed.
///
/// Thread: the GUI thread only, where the library makes it as a child of its indicator.
class VANTEL_EXPORT XBluetooth : public XFixedProvider
{
    Q_OBJECT
public:
    /// A provider that reads nothing.
    explicit XBluetooth(QObject* parent = nullptr);
    ~XBluetooth() override;

    /// One status query: always XINFORET_IDLE, and the report left as it was.
    int xblu_getStatus(QString& value, QString& icon);
};

#endif
