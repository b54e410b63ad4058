// The settings file on disk. Reads it whole, or not at all when it is no
// regular file or far too large for a settings file; writes it atomically
// (the old file stays until the new one is complete), under the lock file
// QSettings takes, so a Qt host writing at the same moment waits for us and
// we for it.
#ifndef INIFILE_H
#define INIFILE_H

#include <QByteArray>
#include <QString>

#include <memory>

class QLockFile;

class IniFile
{
public:
    enum State {
        Missing,   // no file yet: we may create it
        Read,      // read whole
        Unreadable // not to be read, nor written over
    };

    explicit IniFile(const QString& fileName);
    ~IniFile();

    State read(QByteArray* text) const;
    bool isWritable() const;
    // Waits a bounded time for another writer; false when it cannot be had.
    bool lock();
    bool write(const QByteArray& text);

private:
    QString name;
    std::unique_ptr<QLockFile> lockFile;
};

#endif
