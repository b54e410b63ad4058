// Snapshot of a wired interface and its indicator report, kept apart from
// XEthernet so that they can be exercised on any interface of the machine.
#ifndef ETHERNETSNAPSHOT_H
#define ETHERNETSNAPSHOT_H

#include <QString>

#include "xethernet.h"

// Fills `data` from the interface called `interfaceName`.
void vantel_ethernetSnapshot(const QString& interfaceName, XEthernet::_XETHDATA& data);

// The text and catalogue icon for a snapshot.
void vantel_ethernetReport(const XEthernet::_XETHDATA& data, _XINFODATA& info);

#endif
