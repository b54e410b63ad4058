// Guards the library's debug-log object: it opens once, prints only while
// open and enabled, passes text verbatim, maps Qt message types to their
// masks and prefixes, and closes its file when closed or destroyed.
#include <QTemporaryDir>
#include <QTest>

#include "logfiles.h"
#include "tracelwrapper.h"

class TestTracelWrapper : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir dir_;
    QString logPath(const char* name) const { return dir_.path() + QLatin1Char('/') + QLatin1String(name) + QStringLiteral(".log"); }

private slots:
    void init()
    {
        QVERIFY(dir_.isValid());
        qputenv("TRACEL_LOG_DIR", QFile::encodeName(dir_.path()));
        qunsetenv("TRACEL_MASK");
    }

    void cleanup()
    {
        QDir(dir_.path()).removeRecursively();
        QDir().mkpath(dir_.path());
    }

    void printOnlyWhenEnabled()
    {
        Tracel log;
        log.trc_open(QStringLiteral("vantel.dll"));
        QVERIFY(log.trc_isOpen());
        log.trc_print(4096, QStringLiteral("on 100% %s %d"), true);
        log.trc_print(4096, QStringLiteral("off"), false);
        const QStringList lines = readLogLines(logPath("vantel.dll"));
        QCOMPARE(lines.size(), 1);
        QCOMPARE(parseLogLine(lines[0]).mask, 4096);
        QCOMPARE(parseLogLine(lines[0]).text, QStringLiteral("on 100% %s %d"));
    }

    void messageTypes_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<int>("mask");
        QTest::addColumn<QString>("text");
        QTest::newRow("debug") << int(QtDebugMsg) << 1024 << QStringLiteral("perch\u00e9");
        QTest::newRow("warning") << int(QtWarningMsg) << 512 << QStringLiteral("[WARNING]:perch\u00e9");
        QTest::newRow("critical") << int(QtCriticalMsg) << 256 << QStringLiteral("[CRITICAL]:perch\u00e9");
        QTest::newRow("fatal, logged only") << int(QtFatalMsg) << 256 << QStringLiteral("[FATAL]:perch\u00e9");
        QTest::newRow("info, ignored") << int(QtInfoMsg) << 0 << QString();
        QTest::newRow("unknown, ignored") << 42 << 0 << QString();
    }

    void messageTypes()
    {
        QFETCH(int, type);
        QFETCH(int, mask);
        QFETCH(QString, text);
        Tracel log;
        log.trc_open(QStringLiteral("messages"));
        log.trc_message(static_cast<QtMsgType>(type), "perch\xc3\xa9");
        const QStringList lines = readLogLines(logPath("messages"));
        QCOMPARE(lines.size(), text.isEmpty() ? 0 : 1);
        if (!text.isEmpty()) {
            QCOMPARE(parseLogLine(lines[0]).mask, mask);
            QCOMPARE(parseLogLine(lines[0]).text, text);
        }
    }

    void secondOpenKeepsFirstLog()
    {
        Tracel log;
        log.trc_open(QStringLiteral("first"));
        log.trc_open(QStringLiteral("second"));
        log.trc_print(4096, QStringLiteral("line"), true);
        QVERIFY(!QFileInfo::exists(logPath("second")));
        QCOMPARE(readLogTexts(logPath("first")), QStringList{QStringLiteral("line")});
        QCOMPARE(openDescriptors(logPath("first")), 1);
    }

    void closedLogDropsLines()
    {
        Tracel never;
        never.trc_print(4096, QStringLiteral("lost"), true);
        never.trc_message(QtWarningMsg, "lost");
        QVERIFY(!never.trc_isOpen());

        Tracel log;
        log.trc_open(QStringLiteral("closed"));
        log.trc_print(4096, QStringLiteral("kept"), true);
        log.trc_close();
        QVERIFY(!log.trc_isOpen());
        QCOMPARE(openDescriptors(logPath("closed")), 0);
        log.trc_print(4096, QStringLiteral("dropped"), true);
        log.trc_message(QtCriticalMsg, "dropped");
        log.trc_close();
        log.trc_open(QStringLiteral("closed"));
        log.trc_print(4096, QStringLiteral("again"), true);
        QCOMPARE(readLogTexts(logPath("closed")), (QStringList{QStringLiteral("kept"), QStringLiteral("again")}));
    }

    void destructionClosesFile()
    {
        auto* log = new Tracel;
        log->trc_open(QStringLiteral("owned"));
        QCOMPARE(openDescriptors(logPath("owned")), 1);
        delete log;
        QCOMPARE(openDescriptors(logPath("owned")), 0);
    }

    void unusableDirectoryLeavesItClosed()
    {
        QFile file(dir_.path() + QStringLiteral("/file"));
        QVERIFY(file.open(QIODevice::WriteOnly));
        qputenv("TRACEL_LOG_DIR", QFile::encodeName(file.fileName() + QStringLiteral("/log")));
        Tracel log;
        log.trc_open(QStringLiteral("vantel.dll"));
        QVERIFY(!log.trc_isOpen());
        log.trc_print(4096, QStringLiteral("dropped"), true);
        log.trc_message(QtFatalMsg, "dropped");
    }
};

QTEST_GUILESS_MAIN(TestTracelWrapper)
#include "tst_tracelwrapper.moc"
