// Loads arbitrary bytes as the system settings file. The load completes with
// a value for every key; the file keeps every byte it had, in order (only
// insertions), unless a value held the not-found marker; a second load finds
// nothing left to write.
#include "xinisystem.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <cstdint>
#include <cstdlib>

namespace {

QByteArray contents(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool keepsEveryByte(const QByteArray& before, const QByteArray& after)
{
    int i = 0;
    for (int j = 0; i < before.size() && j < after.size(); ++j) {
        if (before.at(i) == after.at(j))
            ++i;
    }
    return i == before.size();
}

void load(const QString& path)
{
    XIniSystem ini;
    if (ini.xinisys_init(path) != XINI_OK || ini.xini_load(true) != XINI_OK)
        std::abort();
    for (int key = 0; key < XINISYS_KEY_COUNT; ++key) {
        if (ini.xini_entryValue(key) == QLatin1String("inikeynotfound"))
            std::abort();
    }
}

// Writes are flushed to disk when committed; on a RAM file system that costs
// nothing, so the fuzzer runs thousands of loads a second instead of dozens.
QString workFolder()
{
    const QString shm = QStringLiteral("/dev/shm");
    return (QFileInfo(shm).isWritable() ? shm : QDir::tempPath()) + QStringLiteral("/vantel-fuzz-XXXXXX");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static QTemporaryDir dir(workFolder());
    const QString path = dir.filePath(QStringLiteral("system.ini"));
    const QByteArray before(reinterpret_cast<const char*>(data), int(size));
    {
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly) || file.write(before) != before.size())
            std::abort();
    }

    load(path);
    const QByteArray after = contents(path);
    if (!before.contains("inikeynotfound") && !keepsEveryByte(before, after))
        std::abort();
    load(path);
    if (contents(path) != after)
        std::abort();
    return 0;
}
