// Helpers shared by the settings suites: files, the key table the host and the
// library share (fixtures/system-keys.tsv), and QSettings reading UTF-8 in both
// Qt versions.
#ifndef SETTINGSTESTING_H
#define SETTINGSTESTING_H

#include <QFile>
#include <QSettings>
#include <QString>
#include <QVector>

struct KeyRow {
    QString section;
    QString key;
    QString defValue; // "*" where the value is ours to choose
};

inline QByteArray fileBytes(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

inline bool writeBytes(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

inline QString fixturePath(const QString& name)
{
    return qEnvironmentVariable("VANTEL_SOURCE_DIR") + QLatin1String("/tests/settings/fixtures/") + name;
}

inline QVector<KeyRow> sharedKeyTable()
{
    QVector<KeyRow> rows;
    const QList<QByteArray> lines = fileBytes(fixturePath(QStringLiteral("system-keys.tsv"))).split('\n');
    for (const QByteArray& line : lines) {
        const QList<QByteArray> fields = line.split('\t');
        if (fields.size() == 3 && !line.startsWith('#'))
            rows.append({QString::fromUtf8(fields[0]), QString::fromUtf8(fields[1]), QString::fromUtf8(fields[2])});
    }
    return rows;
}

// A Qt host's view of an INI file. Qt 5 reads Latin-1 unless told otherwise.
inline void readAsUtf8(QSettings& settings)
{
#if QT_VERSION < QT_VERSION_CHECK(6, 0, 0)
    settings.setIniCodec("UTF-8");
#else
    Q_UNUSED(settings)
#endif
}

#endif
