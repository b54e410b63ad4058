// Guards the debug-log library and the library's wrapper object on it: the
// line layout with UTF-8 text, the level filter, where files go, rotation that
// bounds disk use, whole lines and none lost from many threads sharing one
// writer, a lost file that comes back, handle 0 (never a crash) when the log
// cannot be used, and the wrapper's enabled flag and message-type masks.
#include <QDateTime>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

#include <thread>
#include <unistd.h>
#include <vector>

#include "library/tracelwrapper.h"
#include "tracel.h"

namespace {

const QRegularExpression kLine(QStringLiteral(
    "^\\d{4}-\\d\\d-\\d\\d \\d\\d:\\d\\d:\\d\\d\\.\\d{3} [+-]\\d{4} (\\[-?\\d+\\]) \\[\\d+\\] (.*)$"));

// A log's lines as "[mask] text", from its oldest numbered file to the
// current one. A line without the full layout, and a file over `limit` bytes,
// add an entry starting with "BROKEN".
QStringList readLog(const QString& path, qint64 limit = 1 << 30)
{
    QStringList lines;
    for (int n = 1000; n >= 0; --n) {
        QFile file(n ? path + QLatin1Char('.') + QString::number(n) : path);
        if (file.size() > limit)
            lines.append(QStringLiteral("BROKEN too big"));
        if (!file.open(QIODevice::ReadOnly))
            continue;
        for (const QString& line : QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts)) {
            const QRegularExpressionMatch m = kLine.match(line);
            lines.append(m.hasMatch() ? m.captured(1) + QLatin1Char(' ') + m.captured(2) : QLatin1String("BROKEN ") + line);
        }
    }
    return lines;
}

const char16_t kPayload[] = u"0123456789abcdefghijklmnopqrstuvwxyz";

} // namespace

class TestTracel : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir dir_;
    QString logDir() const { return dir_.path() + QStringLiteral("/log"); }
    QString logPath(const QString& name) const { return logDir() + QLatin1Char('/') + name + QStringLiteral(".log"); }

private slots:
    void init()
    {
        QVERIFY(QDir(dir_.path()).removeRecursively() && QDir().mkpath(dir_.path()));
        qputenv("TRACEL_LOG_DIR", QFile::encodeName(logDir()));
        for (const char* name : {"TRACEL_MASK", "TRACEL_MAX_SIZE", "TRACEL_MAX_FILES"})
            qunsetenv(name);
    }

    void lineLayoutAndText()
    {
        const TRACEL_HANDLE log = TRACEL_OpenDebugLog(u"layout-\u00e8");
        // U+1F50B needs a surrogate pair; a lone surrogate becomes U+FFFD.
        const char16_t text[] = {u'B', 0x00E0, u' ', 0x96FB, u' ', 0xD83D, 0xDD0B, u' ', 0xD800, u'!', 0};
        pid_t thread = 0; // not the main thread, whose id is the process id
        std::thread([&] {
            thread = gettid();
            TRACEL_PrintDebugLog(log, 1024, u"%s|%d|%i|%u|%x|100%%|%q|%s|\u00ab%s\u00bb|two\nlines\r\x1b\tend", u"t", -5, 7,
                                 4000000000u, 255u, static_cast<const char16_t*>(nullptr), text);
        }).join();
        TRACEL_CloseDebugLog(log);

        QFile file(logPath(QStringLiteral("layout-\u00e8")));
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray data = file.readAll();
        QVERIFY2(data.endsWith(" [1024] [" + QByteArray::number(thread) + "] t|-5|7|4000000000|ff|100%|%q|(null)|"
                               "\xc2\xab" "B\xc3\xa0 \xe9\x9b\xbb \xf0\x9f\x94\x8b \xef\xbf\xbd!\xc2\xbb|two\\nlines\\r\\x1b\tend\n"),
                 data.constData());
        QVERIFY(kLine.match(QString::fromUtf8(data.chopped(1))).hasMatch());
        const QDateTime stamp = QDateTime::fromString(QString::fromLatin1(data.left(23)), QStringLiteral("yyyy-MM-dd HH:mm:ss.zzz"));
        QVERIFY(qAbs(stamp.secsTo(QDateTime::currentDateTime())) < 120);
    }

    void maskFilter_data()
    {
        QTest::addColumn<QByteArray>("filter");
        QTest::addColumn<QString>("written");
        const char* all = "[4096] [1024] [512] [256]";
        QTest::newRow("unset") << QByteArray() << all;
        QTest::newRow("hex, blanks") << QByteArray(" 0X200 ") << "[512]";
        QTest::newRow("decimal, two bits") << QByteArray("1536") << "[1024] [512]";
        QTest::newRow("zero") << QByteArray("0") << "";
        QTest::newRow("trailing garbage") << QByteArray("512k") << all;
        QTest::newRow("over 32 bits") << QByteArray("0x100000000") << all;
        QTest::newRow("over 64 bits") << QByteArray("0x10000000000000200") << all;
    }

    void maskFilter()
    {
        QFETCH(QByteArray, filter);
        QFETCH(QString, written);
        qputenv("TRACEL_MASK", filter); // empty: unset
        const TRACEL_HANDLE log = TRACEL_OpenDebugLog(u"mask");
        for (int level : {4096, 1024, 512, 256, 0})
            TRACEL_PrintDebugLog(log, level, u"");
        TRACEL_CloseDebugLog(log);
        QCOMPARE(readLog(logPath(QStringLiteral("mask"))).join(QString()).trimmed(), written);
    }

    void directoryChoice_data()
    {
        QTest::addColumn<QByteArray>("stateHome");
        QTest::addColumn<QString>("expected"); // below the temporary directory
        QTest::newRow("XDG_STATE_HOME, parents made") << QByteArray("/a/b") << "/a/b/tracel";
        QTest::newRow("home") << QByteArray() << "/home/.local/state/tracel";
        QTest::newRow("relative XDG_STATE_HOME ignored") << QByteArray("relative") << "/home/.local/state/tracel";
    }

    void directoryChoice()
    {
        QFETCH(QByteArray, stateHome);
        QFETCH(QString, expected);
        const QByteArray root = QFile::encodeName(dir_.path());
        qunsetenv("TRACEL_LOG_DIR");
        qputenv("HOME", root + "/home");
        qputenv("XDG_STATE_HOME", stateHome.startsWith('/') ? root + stateHome : stateHome);
        TRACEL_CloseDebugLog(TRACEL_OpenDebugLog(u"vantel.dll"));
        const QString path = dir_.path() + expected;
        QVERIFY(QFileInfo(path + QStringLiteral("/vantel.dll.log")).isFile());
        // Logs may hold device and network details: nothing for group and others.
        QCOMPARE(int(QFileInfo(path).permissions() & 0x0077), 0);
    }

    void rotationBoundsDiskUse_data()
    {
        QTest::addColumn<bool>("blocked");
        QTest::newRow("three files") << false;
        // A non-empty directory where the old file should go: renaming onto
        // it fails even for root, so the writer must empty its file instead.
        QTest::newRow("rename blocked") << true;
    }

    void rotationBoundsDiskUse()
    {
        QFETCH(bool, blocked);
        qputenv("TRACEL_MAX_SIZE", "4096");
        qputenv("TRACEL_MAX_FILES", blocked ? "2" : "3");
        QVERIFY(!blocked || QDir().mkpath(logDir() + QStringLiteral("/rot.log.1/keep")));
        const TRACEL_HANDLE log = TRACEL_OpenDebugLog(u"rot");
        const int count = 3000; // about 300 KB, 25 times what the files may hold
        for (int i = 0; i < count; ++i)
            TRACEL_PrintDebugLog(log, 4096, u"line %d %s", i, kPayload);
        QCOMPARE(QDir(logDir()).entryList(QDir::Files).size(), blocked ? 1 : 3);
        // The newest lines follow each other without a gap.
        const QString path = logPath(QStringLiteral("rot"));
        const QStringList lines = readLog(path, 4096);
        for (int i = 0; i < lines.size(); ++i)
            QCOMPARE(lines[i].section(QLatin1Char(' '), 2, 2).toInt(), count - lines.size() + i);

        // A line longer than a file is cut to fit one.
        TRACEL_PrintDebugLog(log, 4096, u"%s", std::u16string(10000, u'x').c_str());
        TRACEL_CloseDebugLog(log);
        const QStringList after = readLog(path, 4096);
        QVERIFY(after.last().startsWith(QStringLiteral("[4096] xxxx")));
        QVERIFY(!after.join(QLatin1Char('\n')).contains(QLatin1String("BROKEN")));
    }

    void lostLogComesBack()
    {
        const TRACEL_HANDLE log = TRACEL_OpenDebugLog(u"gone");
        TRACEL_PrintDebugLog(log, 4096, u"before");
        QVERIFY(QDir(logDir()).removeRecursively());
        // The writer looks at its file once a second.
        const QString path = logPath(QStringLiteral("gone"));
        for (int i = 0; i < 50 && !QFileInfo::exists(path); ++i) {
            QTest::qWait(100);
            TRACEL_PrintDebugLog(log, 4096, u"after");
        }
        TRACEL_CloseDebugLog(log);
        QCOMPARE(readLog(path), QStringList{QStringLiteral("[4096] after")});
    }

    void threadsShareOneWriter()
    {
        qputenv("TRACEL_MAX_SIZE", "65536");
        qputenv("TRACEL_MAX_FILES", "1000");
        // Two handles on one name share one writer: two would each rotate,
        // and each count only its own bytes.
        const TRACEL_HANDLE handles[] = {TRACEL_OpenDebugLog(u"threads"), TRACEL_OpenDebugLog(u"threads")};
        const int threads = 8, perThread = 4000; // about 50 files
        std::vector<std::thread> workers;
        for (int t = 0; t < threads; ++t)
            workers.emplace_back([=] {
                for (int i = 0; i < perThread; ++i)
                    TRACEL_PrintDebugLog(handles[t % 2], 4096, u"%d %d %s", t, i, kPayload);
            });
        // Meanwhile more handles on the same name come and go.
        workers.emplace_back([] {
            for (int i = 0; i < 2000; ++i)
                TRACEL_CloseDebugLog(TRACEL_OpenDebugLog(u"threads"));
        });
        for (std::thread& w : workers)
            w.join();
        TRACEL_CloseDebugLog(handles[0]);
        TRACEL_PrintDebugLog(handles[1], 4096, u"end");
        TRACEL_CloseDebugLog(handles[1]);

        QStringList lines = readLog(logPath(QStringLiteral("threads")), 65536);
        QCOMPARE(lines.size(), threads * perThread + 1);
        QCOMPARE(lines.takeLast(), QStringLiteral("[4096] end"));
        std::vector<int> next(threads, 0);
        for (const QString& line : lines) {
            const QStringList fields = line.split(QLatin1Char(' '));
            QVERIFY2(fields.size() == 4 && fields[3] == QString::fromUtf16(kPayload), qPrintable(line));
            QCOMPARE(fields[2].toInt(), next[fields[1].toInt()]++); // in order, none lost
        }
    }

    void unusableLogGivesHandleZero_data()
    {
        QTest::addColumn<QString>("dir");
        QTest::addColumn<QString>("name");
        const QString base = dir_.path();
        QTest::newRow("directory under a file") << "/dev/null/log" << "x";
        QTest::newRow("log path is a directory") << base + "/isdir" << "x";
        QTest::newRow("proc") << "/proc/self" << "x";
        QTest::newRow("empty name") << base << "";
        QTest::newRow("slash in name") << base << "../x";
        QTest::newRow("dot dot") << base << "..";
    }

    void unusableLogGivesHandleZero()
    {
        QFETCH(QString, dir);
        QFETCH(QString, name);
        QVERIFY(QDir().mkpath(dir_.path() + QStringLiteral("/isdir/x.log")));
        qputenv("TRACEL_LOG_DIR", QFile::encodeName(dir));
        const TRACEL_HANDLE log = TRACEL_OpenDebugLog(reinterpret_cast<const char16_t*>(name.utf16()));
        QCOMPARE(log, TRACEL_HANDLE(0));
        TRACEL_PrintDebugLog(log, 4096, u"nothing");
        TRACEL_CloseDebugLog(log);
        QCOMPARE(TRACEL_OpenDebugLog(nullptr), TRACEL_HANDLE(0));
    }

    void wrapperPrintsWhileOpenAndEnabled()
    {
        const QString path = logPath(QStringLiteral("vantel.dll"));
        auto* log = new Tracel;
        log->trc_open(QStringLiteral("vantel.dll"));
        log->trc_open(QStringLiteral("second")); // the first log stays
        log->trc_print(4096, QStringLiteral("on 100% %s %d"), true);
        log->trc_print(4096, QStringLiteral("off"), false);
        for (int type : {int(QtDebugMsg), int(QtWarningMsg), int(QtCriticalMsg), int(QtFatalMsg), int(QtInfoMsg), 42})
            log->trc_message(static_cast<QtMsgType>(type), "perch\xc3\xa9");
        log->trc_close();
        log->trc_print(4096, QStringLiteral("closed"), true);
        log->trc_open(QStringLiteral("vantel.dll")); // appends
        log->trc_print(4096, QStringLiteral("again"), true);
        delete log;
        QVERIFY(!QFileInfo::exists(logPath(QStringLiteral("second"))));
        QCOMPARE(readLog(path), (QStringList{"[4096] on 100% %s %d", "[1024] perch\u00e9", "[512] [WARNING]:perch\u00e9",
                                            "[256] [CRITICAL]:perch\u00e9", "[256] [FATAL]:perch\u00e9", "[4096] again"}));
    }
};

QTEST_GUILESS_MAIN(TestTracel)
#include "tst_tracel.moc"
