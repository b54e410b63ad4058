#ifndef XFIXEDPROVIDER_H
#define XFIXEDPROVIDER_H

/// @file
/// XFixedProvider, what the providers that read no device share.

#include <QObject>
#include <QString>

#include "vantel_export.h"

/// The one implementation behind XBluetooth, XVciInfo and XDownload: a provider
/// that reads no device and answers every status query the same. It declares no
/// meta-object of its own, so to Qt each of them still derives from QObject.
///
/// Thread: the GUI thread only, where the library makes it as a child of its indicator.
class VANTEL_EXPORT XFixedProvider : public QObject
{
public:
    ~XFixedProvider() override;

protected:
    /// A provider whose report shows `reportStatus`, which never changes.
    XFixedProvider(qint32 reportStatus, QObject* parent);

    /// One status query named `query` ("Class::operation") in its trace
    /// header: `value` becomes `text`, `icon` the empty icon; returns `result`.
    int fixedStatus(const char* query, const QString& text, int result, QString& value, QString& icon);

private:
    qint32 status;
    QString valueText;
    QString iconPath;
};

#endif
