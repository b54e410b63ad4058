// A fake sysfs / procfs tree in a temporary folder, laid out as the kernel
// does, for the Linux backend's tests.
#ifndef FAKEDEVICETREE_H
#define FAKEDEVICETREE_H

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

class FakeDeviceTree
{
public:
    QString root() const { return dir.path(); }

    // Writes an attribute as the kernel does, with a trailing newline.
    void attribute(const QString& path, const QByteArray& value) { write(path, value + '\n'); }

    void write(const QString& path, const QByteArray& content)
    {
        const QString full = dir.filePath(path);
        QDir().mkpath(QFileInfo(full).path());
        QFile file(full);
        if (file.open(QIODevice::WriteOnly | QIODevice::Truncate))
            file.write(content);
    }

    void link(const QString& target, const QString& path)
    {
        const QString full = dir.filePath(path);
        QDir().mkpath(QFileInfo(full).path());
        QFile::link(target, full);
    }

    void remove(const QString& path) { QDir(dir.filePath(path)).removeRecursively(); }

private:
    QTemporaryDir dir;
};

#endif
