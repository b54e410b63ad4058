// The pictures the library's screen capture saves, as a host finds them: the
// "Screenshot" folder of every removable disk is watched, and each new PNG is
// told once it has its name. The library names a picture only once it is
// whole, so a name that appears is a whole file.
#ifndef CAPTUREFOLDERS_H
#define CAPTUREFOLDERS_H

#include <QFileSystemWatcher>
#include <QHash>
#include <QObject>
#include <QSet>
#include <QString>

class CaptureFolders : public QObject
{
    Q_OBJECT
public:
    explicit CaptureFolders(QObject* parent = nullptr);

public slots:
    // Starts or stops watching the disk mounted at `root`.
    void follow(const QString& root);
    void forget(const QString& root);

signals:
    void pictureSaved(const QString& path);

private:
    void changed(const QString& path);
    void look(const QString& root);

    QFileSystemWatcher watcher;
    QHash<QString, QSet<QString>> seen; // disk root -> pictures in its folder
};

#endif
