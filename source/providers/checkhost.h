// Where the internet probe connects: the host and port of the configured
// check address.
#ifndef CHECKHOST_H
#define CHECKHOST_H

#include <QString>

struct CheckHost {
    QString name;
    quint16 port = 80;
};

// The host and port of `address`, a URL such as "http://127.0.0.1:8080/";
// port 80 when it names none. A value that is not a URL with a host gives
// the built-in public web host on port 80.
CheckHost vantel_checkHost(const QString& address);

#endif
