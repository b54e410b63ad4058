#include "capture/removablevolumes.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QtDebug>

#include "library/vantelglobals.h"
#include "platform.h"

namespace platform = vantel::platform;

QString vantel_firstRemovableVolume()
{
    for (const platform::Volume& volume : platform::volumes().volumes()) {
        if (!volume.hotplug || volume.mountPaths.empty() || volume.mountPaths.front().empty())
            continue;
        const QString root = QString::fromStdString(volume.mountPaths.front());
        qDebug() << "Removable" << QString::fromStdString(volume.name) << "Disco " << root;
        if (volume.driveType == platform::DRIVE_REMOVABLE)
            return root;
    }
    return QString();
}

void vantel_findCaptureVolume()
{
    vantel_capturePath = QString();
    const QString root = vantel_firstRemovableVolume();
    if (!root.isEmpty())
        vantel_capturePath = root;
}

QString vantel_joinPath(QString base, QString name)
{
    return QDir::cleanPath(base) + QDir::separator() + name;
}

bool vantel_checkDir(QString base, QString name, QString& path, bool create)
{
    const QString dir = vantel_joinPath(base, name);
    if (QDir(dir).exists()) {
        path = dir;
        return true;
    }
    if (create) {
        QDir().mkdir(dir);
        if (QDir(dir).exists()) {
            path = dir;
            return true;
        }
    }
    return false;
}

bool vantel_uniqueFileName(QString dir, QString prefix, QString suffix, QString extension, QString& filePath)
{
    const QString stamp = QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd_hhmmss"));
    const QDir folder(dir);
    QString candidate = QStringLiteral("%1%2%3.%4").arg(prefix, stamp, suffix, extension);
    for (int n = 0;;) {
        if (!folder.exists(candidate)) {
            filePath = QFileInfo(folder, candidate).absoluteFilePath();
            return !filePath.isEmpty();
        }
        if (n > 60)
            return false;
        ++n;
        candidate = QStringLiteral("%1%2%3%4.%5").arg(prefix, stamp, QString::number(n), suffix, extension);
    }
}
