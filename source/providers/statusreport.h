// The two trace lines every status query writes: a header on entry and a
// report before it returns.
#ifndef STATUSREPORT_H
#define STATUSREPORT_H

#include <QString>

#include "library/vanteltrace.h"

#define VANTEL_TRACE_HEADER(name) \
    VANTEL_TRACE(TRC_MASK_NORMAL, QStringLiteral("[" name "] ---------------"))

inline QString vantel_statusReport(const QString& status, const QString& value, const QString& icon,
                                   int ret)
{
    return QStringLiteral("getStatus report status:[%1] value:[%2] icon:[%3] ret:[%4]")
        .arg(status, value, icon, QString::number(ret));
}

#endif
