// Reading debug-log files back, for the tracel suites.
#ifndef LOGFILES_H
#define LOGFILES_H

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QStringList>

struct LogLine
{
    QString time;   // "2024-05-01 14:03:07.042 +0200"
    int mask = -1;
    qint64 thread = -1;
    QString text;
    bool whole = false; // the line has the full layout
};

inline LogLine parseLogLine(const QString& line)
{
    static const QRegularExpression layout(QStringLiteral(
        "^(\\d{4}-\\d\\d-\\d\\d \\d\\d:\\d\\d:\\d\\d\\.\\d{3} [+-]\\d{4}) \\[(-?\\d+)\\] \\[(\\d+)\\] (.*)$"));
    const QRegularExpressionMatch m = layout.match(line);
    LogLine result;
    if (!m.hasMatch())
        return result;
    result = {m.captured(1), m.captured(2).toInt(), m.captured(3).toLongLong(), m.captured(4), true};
    return result;
}

// Every line of the file; a file that does not end in a line end gets an
// empty last entry, so torn writes show.
inline QStringList readLogLines(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QStringList lines = QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'));
    if (lines.last().isEmpty())
        lines.removeLast();
    else
        lines.append(QString());
    return lines;
}

inline QStringList readLogTexts(const QString& path)
{
    QStringList texts;
    const QStringList lines = readLogLines(path);
    for (const QString& line : lines)
        texts.append(parseLogLine(line).text);
    return texts;
}

// How many descriptors of this process are open on the file.
inline int openDescriptors(const QString& path)
{
    const QString target = QFileInfo(path).canonicalFilePath();
    int count = 0;
    const QFileInfoList fds = QDir(QStringLiteral("/proc/self/fd")).entryInfoList(QDir::Files | QDir::System);
    for (const QFileInfo& fd : fds)
        count += fd.symLinkTarget() == target ? 1 : 0;
    return count;
}

inline const char16_t* u16(const QString& text)
{
    return reinterpret_cast<const char16_t*>(text.utf16());
}

// Sets an environment variable for one scope; tracel reads it at open.
class EnvVar
{
public:
    EnvVar(const char* name, const QByteArray& value) : name_(name), old_(qgetenv(name)), had_(qEnvironmentVariableIsSet(name))
    {
        value.isNull() ? qunsetenv(name) : qputenv(name, value);
    }
    ~EnvVar() { had_ ? qputenv(name_, old_) : qunsetenv(name_); }
    EnvVar(const EnvVar&) = delete;
    EnvVar& operator=(const EnvVar&) = delete;

private:
    const char* name_;
    QByteArray old_;
    bool had_;
};

#endif
