// What the settings suites and the settings tool share: files and fixtures, a
// Qt host's reading of a value, the system table with its rows visible, and
// the small table of the cross-build text (a plain and an enciphered entry).
#ifndef SETTINGSTESTING_H
#define SETTINGSTESTING_H

#include "settings/xinisystem.h"

#include <QFile>
#include <QSettings>

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

// A file of tests/settings in the source tree.
inline QString settingsPath(const QString& name)
{
    return qEnvironmentVariable("VANTEL_SOURCE_DIR") + QLatin1String("/tests/settings/") + name;
}

// Qt 5 reads Latin-1 unless told otherwise.
inline void readAsUtf8(QSettings& settings)
{
#if QT_VERSION < QT_VERSION_CHECK(6, 0, 0)
    settings.setIniCodec("UTF-8");
#else
    Q_UNUSED(settings)
#endif
}

inline QString hostValue(const QString& file, const QString& path)
{
    QSettings settings(file, QSettings::IniFormat);
    readAsUtf8(settings);
    return settings.value(path, QStringLiteral("<missing>")).toString();
}

// QtTest only prints a message nobody expected: to fail on one, count them.
inline int loggedMessages = 0;
inline void countMessage(QtMsgType, const QMessageLogContext&, const QString&)
{
    ++loggedMessages;
}

class SystemTable : public XIniSystem
{
public:
    explicit SystemTable(const QString& file = QString()) { xinisys_defineKeys(); xini_setFileName(file); }
    const QVector<XIniEntry>& rows() const { return entries; }
};

// The fixtures' text, and the key of the committed cipher-qt*.txt fixtures.
inline const QString kFixtureText = QStringLiteral("Perché è già così: più né là, ciò è ñ €");
const quint64 kFixtureKey = 0x0F1E2D3C4B5A6978ull;

class TextIni : public XIni
{
public:
    enum { Plain, Secret };
    explicit TextIni(const QString& file)
    {
        xini_setFileName(file);
        entries = {{QStringLiteral("Testo"), QStringLiteral("PLAIN"), QString(), QString(), false},
                   {QStringLiteral("Testo"), QStringLiteral("SECRET"), QString(), QString(), true}};
    }
};

// The cross-build text as we read it from `file`: plain, then deciphered.
inline QStringList readText(const QString& file)
{
    TextIni reader(file);
    reader.xini_load(false);
    return {reader.xini_entryValue(TextIni::Plain), reader.xini_entryValue(TextIni::Secret)};
}

#endif
