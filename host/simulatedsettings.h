// The settings file the library reads on the simulated tablet: a copy of the
// host's file in a temporary folder, with the values the simulation needs
// (the internet check pointed at the simulated internet on 127.0.0.1). The
// host's own file is never written, so a simulated run leaves the machine's
// configuration as it was.
#ifndef SIMULATEDSETTINGS_H
#define SIMULATEDSETTINGS_H

#include <QMap>
#include <QString>
#include <QTemporaryDir>

class SimulatedSettings
{
public:
    // Copies `iniPath` when it exists and sets `values` ("Section/KEY" to
    // text) in the copy. False, with the reason in `error`, on failure.
    bool prepare(const QString& iniPath, const QMap<QString, QString>& values, QString& error);
    // The copy; valid while this object lives.
    QString path() const;

private:
    QTemporaryDir dir;
};

#endif
