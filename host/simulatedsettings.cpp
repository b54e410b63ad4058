#include "simulatedsettings.h"

#include <QFile>
#include <QObject>
#include <QSettings>

bool SimulatedSettings::prepare(const QString& iniPath, const QMap<QString, QString>& values, QString& error)
{
    if (!dir.isValid()) {
        error = QObject::tr("no temporary folder for the simulated settings: %1").arg(dir.errorString());
        return false;
    }
    if (QFile::exists(iniPath) && !QFile::copy(iniPath, path())) {
        error = QObject::tr("could not copy %1 for the simulated tablet").arg(iniPath);
        return false;
    }
    QSettings settings(path(), QSettings::IniFormat);
    for (auto value = values.cbegin(); value != values.cend(); ++value)
        settings.setValue(value.key(), value.value());
    settings.sync();
    if (settings.status() != QSettings::NoError) {
        error = QObject::tr("could not write the simulated settings %1").arg(path());
        return false;
    }
    return true;
}

QString SimulatedSettings::path() const
{
    return dir.filePath(QStringLiteral("system.ini"));
}
