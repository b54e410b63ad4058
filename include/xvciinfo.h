#ifndef XVCIINFO_H
#define XVCIINFO_H

/// @file
/// XVciInfo, the VCI indicator's provider.

#include "xfixedprovider.h"

/// The VCI indicator's provider. It reads no device: the indicator stays hidden.
///
/// Thread: the GUI thread only, where the library makes it as a child of its indicator.
class VANTEL_EXPORT XVciInfo : public XFixedProvider
{
    Q_OBJECT
public:
    /// A provider that reads nothing.
    explicit XVciInfo(QObject* parent = nullptr);
    ~XVciInfo() override;

    /// One status query: always HARDWARE_OFF: the indicator stays hidden.
    int xvciinf_getStatus(QString& value, QString& icon);
};

#endif
