// A fake sysfs / procfs tree in a temporary folder, laid out as the kernel
// does, for the Linux backend's tests.
#ifndef FAKEDEVICETREE_H
#define FAKEDEVICETREE_H

#include <QDir>
#include <QFile>
#include <QStringList>
#include <QTemporaryDir>

class FakeDeviceTree
{
public:
    QString root() const { return dir.path(); }

    // Writes an attribute as the kernel does, with a trailing newline.
    void attribute(const QString& path, const QByteArray& value) { write(path, value + '\n'); }

    // Attributes given as "SUPPLY/attribute=value" lines, under `classDir`.
    void supplies(const QStringList& lines, const QString& classDir = QStringLiteral("class/power_supply"))
    {
        for (const QString& line : lines)
            attribute(classDir + '/' + line.section('=', 0, 0), line.section('=', 1).toUtf8());
    }

    void write(const QString& path, const QByteArray& content)
    {
        QFile file(made(path));
        if (file.open(QIODevice::WriteOnly | QIODevice::Truncate))
            file.write(content);
    }

    void link(const QString& target, const QString& path) { QFile::link(target, made(path)); }

    void remove(const QString& path) { QDir(dir.filePath(path)).removeRecursively(); }

private:
    // The full path, its folder made.
    QString made(const QString& path) const
    {
        const QString full = dir.filePath(path);
        QDir().mkpath(QFileInfo(full).path());
        return full;
    }

    QTemporaryDir dir;
};

#endif
