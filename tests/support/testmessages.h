// The library's qDebug() messages, caught by a test: install() makes the test
// process's message handler keep them, from whichever thread they come.
#ifndef TESTMESSAGES_H
#define TESTMESSAGES_H

#include <QMutex>
#include <QStringList>

class TestMessages
{
public:
    static void install() { qInstallMessageHandler(&TestMessages::keep); }

    // The messages kept since the last call, but those in `left`.
    static QStringList take(const QStringList& left = {})
    {
        QMutexLocker locker(&lock());
        QStringList taken;
        for (const QString& text : std::as_const(kept()))
            if (!left.contains(text))
                taken << text;
        kept().clear();
        return taken;
    }

private:
    static void keep(QtMsgType, const QMessageLogContext&, const QString& text)
    {
        QMutexLocker locker(&lock());
        kept() << text;
    }
    static QMutex& lock()
    {
        static QMutex mutex;
        return mutex;
    }
    static QStringList& kept()
    {
        static QStringList messages;
        return messages;
    }
};

#endif
