#include "capture/capturepath.h"

#include <QtDebug>

#include "library/vantelglobals.h"
#include "platform.h"

CapturePath::CapturePath()
    : capturePath(vantel_capturePath)
{
}

QString CapturePath::driveRoot(int idVolume)
{
    for (int i = 0; i < 32; ++i) {
        if (quint32(idVolume) != (quint32(1) << i))
            continue;
        const std::string root = vantel::platform::volumes().driveRoot(i);
        if (!root.empty())
            return QString::fromStdString(root);
        return QString(QChar('A' + i)) + QStringLiteral(":\\");
    }
    return QString();
}

void CapturePath::addUsbDisk(int idVolume)
{
    const QString root = driveRoot(idVolume);
    if (root.isEmpty())
        return;
    capturePath = root;
    qDebug() << "Porco mondo si è aggiunto un dispositivo " << capturePath;
}

void CapturePath::removeUsbDisk(int idVolume)
{
    const QString root = driveRoot(idVolume);
    if (root.isEmpty() || root != capturePath)
        return;
    capturePath.clear();
    qDebug() << "Porco mondo si è scollegato " << root;
}
