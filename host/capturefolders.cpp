#include "capturefolders.h"

#include <QDir>
#include <QFileInfo>

namespace {

const QString kFolder = QStringLiteral("Screenshot");

QString folderOf(const QString& root)
{
    return root + QLatin1Char('/') + kFolder;
}

QSet<QString> picturesIn(const QString& folder)
{
    const QStringList names = QDir(folder).entryList({QStringLiteral("*.png")}, QDir::Files);
    return QSet<QString>(names.begin(), names.end());
}

} // namespace

CaptureFolders::CaptureFolders(QObject* parent)
    : QObject(parent)
{
    connect(&watcher, &QFileSystemWatcher::directoryChanged, this, &CaptureFolders::changed);
}

void CaptureFolders::follow(const QString& diskRoot)
{
    const QString root = QDir::cleanPath(diskRoot);
    if (diskRoot.isEmpty() || seen.contains(root) || !QFileInfo(root).isDir())
        return;
    // The disk itself too: the folder may be made by the first capture.
    watcher.addPath(root);
    seen.insert(root, picturesIn(folderOf(root)));
    look(root);
}

void CaptureFolders::forget(const QString& diskRoot)
{
    const QString root = QDir::cleanPath(diskRoot);
    if (!seen.remove(root))
        return;
    for (const QString& path : {root, folderOf(root)}) {
        if (watcher.directories().contains(path))
            watcher.removePath(path);
    }
}

void CaptureFolders::changed(const QString& path)
{
    const QString root = path.endsWith(QLatin1Char('/') + kFolder) ? QFileInfo(path).path() : path;
    if (seen.contains(root))
        look(root);
}

void CaptureFolders::look(const QString& root)
{
    const QString folder = folderOf(root);
    if (QFileInfo(folder).isDir() && !watcher.directories().contains(folder))
        watcher.addPath(folder);
    const QSet<QString> now = picturesIn(folder);
    QSet<QString>& known = seen[root];
    for (const QString& name : now) {
        if (!known.contains(name))
            emit pictureSaved(folder + QLatin1Char('/') + name);
    }
    known = now;
}
