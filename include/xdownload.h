#ifndef XDOWNLOAD_H
#define XDOWNLOAD_H

/// @file
/// XDownload, the download indicator's provider.

#include "xfixedprovider.h"

/// The download indicator's provider. It reads no device: the indicator stays hidden.
///
/// Thread: the GUI thread only, where the library makes it as a child of its indicator.
class VANTEL_EXPORT XDownload : public XFixedProvider
{
    Q_OBJECT
public:
    /// A provider that reads nothing.
    explicit XDownload(QObject* parent = nullptr);
    ~XDownload() override;

    /// One status query: always HARDWARE_OFF: the indicator stays hidden.
    int xdwn_getStatus(QString& value, QString& icon);
};

#endif
