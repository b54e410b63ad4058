// Reading the library's debug log from a test: CTest gives every test its own
// TRACEL_LOG_DIR, and lines end with the traced text.
#ifndef TESTLOG_H
#define TESTLOG_H

#include <QFile>
#include <QString>
#include <QStringList>

inline QString testLogFile()
{
    return qEnvironmentVariable("TRACEL_LOG_DIR") + QStringLiteral("/vantel.dll.log");
}

inline QStringList testLogLines()
{
    QFile file(testLogFile());
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

// The traced texts, without time, mask and thread, of lines written at `mask`.
inline QStringList testLogTexts(int mask)
{
    const QString tag = QStringLiteral(" [%1] [").arg(mask);
    QStringList texts;
    for (const QString& line : testLogLines()) {
        const int at = line.indexOf(tag);
        if (at < 0)
            continue;
        const int text = line.indexOf(QLatin1String("] "), at + tag.size());
        if (text >= 0)
            texts.append(line.mid(text + 2));
    }
    return texts;
}

// The texts traced at `mask` while `action` runs.
template <typename Action>
QStringList tracedDuring(int mask, Action action)
{
    const int before = testLogTexts(mask).size();
    action();
    return testLogTexts(mask).mid(before);
}

// The report line a status query ends with.
inline QString testStatusReport(const QString& status, const QString& value, const QString& icon, int ret)
{
    return QStringLiteral("getStatus report status:[%1] value:[%2] icon:[%3] ret:[%4]")
        .arg(status, value, icon, QString::number(ret));
}

// The header and the report of `query` ("XCamera::xcam_getStatus"), for the
// providers that trace nothing between them.
inline QStringList testQueryLines(const char* query, int status, const QString& icon, int ret,
                                  const QString& value = QString())
{
    return {QStringLiteral("[%1] ---------------").arg(QLatin1String(query)),
            testStatusReport(QString::number(status), value, icon, ret)};
}

#endif
