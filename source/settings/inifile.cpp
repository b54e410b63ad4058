#include "settings/inifile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QSaveFile>

namespace {

// A settings file holds a few kilobytes; anything this large is not one.
const qint64 kMaxFileSize = 8 * 1024 * 1024;
// QSettings writes in milliseconds; a longer wait is a stuck writer, and the
// caller runs in the GUI thread.
const int kLockTimeoutMs = 3000;

} // namespace

IniFile::IniFile(const QString& fileName)
    : name(fileName)
{
}

IniFile::~IniFile() = default;

IniFile::State IniFile::read(QByteArray* text) const
{
    text->clear();
    if (name.isEmpty())
        return Unreadable;
    const QFileInfo info(name);
    if (!info.exists())
        return Missing;
    // Not a regular file (a directory, a FIFO, a device): opening or reading
    // it may fail, block or never end.
    if (!info.isFile() || info.size() > kMaxFileSize)
        return Unreadable;
    QFile file(name);
    if (!file.open(QIODevice::ReadOnly))
        return Unreadable;
    // Exactly the size found: a file that grows or shrinks meanwhile is being
    // written by someone else, and half of it must not be written back.
    const qint64 size = file.size();
    if (size > kMaxFileSize)
        return Unreadable;
    *text = file.read(size);
    if (text->size() != size || !file.read(1).isEmpty() || file.error() != QFileDevice::NoError) {
        text->clear();
        return Unreadable;
    }
    return Read;
}

bool IniFile::isWritable() const
{
    if (name.isEmpty())
        return false;
    const QFileInfo info(name);
    if (info.exists())
        return info.isFile() && info.isWritable();
    // As QSettings does, create the folders a new file goes into.
    const QString folder = info.absolutePath();
    return QDir().mkpath(folder) && QFileInfo(folder).isWritable();
}

bool IniFile::lock()
{
    lockFile.reset(new QLockFile(QFileInfo(name).absoluteFilePath() + QLatin1String(".lock")));
    return lockFile->tryLock(kLockTimeoutMs);
}

bool IniFile::write(const QByteArray& text)
{
    QSaveFile file(name);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    if (file.write(text) != text.size()) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}
