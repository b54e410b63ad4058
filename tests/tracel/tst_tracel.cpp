// Guards the debug-log library's promises: the line layout and UTF-8 text,
// the level filter, where files go, size rotation that bounds disk use,
// whole lines from many threads, one shared writer per file, and handle 0
// (never a crash) when the directory cannot be used.
#include <QDateTime>
#include <QTemporaryDir>
#include <QTest>

#include <atomic>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>
#include <vector>

#include "logfiles.h"
#include "tracel.h"

class TestTracel : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir dir_;
    QString logDir() const { return dir_.path() + QStringLiteral("/log"); }

private slots:
    void init()
    {
        QVERIFY(dir_.isValid());
        qputenv("TRACEL_LOG_DIR", QFile::encodeName(logDir()));
        qunsetenv("TRACEL_MASK");
        qunsetenv("TRACEL_MAX_SIZE");
        qunsetenv("TRACEL_MAX_FILES");
    }

    void cleanup()
    {
        QDir(dir_.path()).removeRecursively();
        QDir().mkpath(dir_.path());
    }

    void lineLayout()
    {
        const TRACEL_HANDLE log = TRACEL_OpenDebugLog(u"layout");
        QVERIFY(log != 0);
        TRACEL_PrintDebugLog(log, 1024, u"%s|%d|%i|%u|%x|100%%|%q|%s", u"text", -5, 7, 4000000000u, 255u,
                             static_cast<const char16_t*>(nullptr));
        TRACEL_PrintDebugLog(log, 4096, u"two\nlines\r\x1b[31m\tend");
        TRACEL_CloseDebugLog(log);

        const QStringList lines = readLogLines(logDir() + QStringLiteral("/layout.log"));
        QCOMPARE(lines.size(), 2);
        const LogLine first = parseLogLine(lines[0]);
        QVERIFY2(first.whole, qPrintable(lines[0]));
        QCOMPARE(first.mask, 1024);
        QCOMPARE(first.thread, qint64(gettid()));
        QCOMPARE(first.text, QStringLiteral("text|-5|7|4000000000|ff|100%|%q|(null)"));
        const QDateTime stamp = QDateTime::fromString(first.time.left(23), QStringLiteral("yyyy-MM-dd HH:mm:ss.zzz"));
        QVERIFY(qAbs(stamp.secsTo(QDateTime::currentDateTime())) < 120);
        QCOMPARE(parseLogLine(lines[1]).text, QStringLiteral("two\\nlines\\r\\x1b[31m\tend"));
    }

    void utf16TextLandsAsUtf8()
    {
        const TRACEL_HANDLE log = TRACEL_OpenDebugLog(u"unicode-\u00e8");
        QVERIFY(log != 0);
        // U+1F50B needs a surrogate pair; a lone surrogate becomes U+FFFD.
        const char16_t text[] = {u'B', u'a', u't', 0x00E0, u' ', 0x96FB, 0x6C60, u' ', 0xD83D, 0xDD0B, u' ', 0xD800, u'!', 0};
        TRACEL_PrintDebugLog(log, 4096, u"\u00ab%s\u00bb", text);
        TRACEL_CloseDebugLog(log);

        QFile file(logDir() + QStringLiteral("/unicode-\u00e8.log"));
        QVERIFY(file.open(QIODevice::ReadOnly));
        QVERIFY(file.readAll().endsWith("\xc2\xab" "Bat\xc3\xa0 \xe9\x9b\xbb\xe6\xb1\xa0 \xf0\x9f\x94\x8b \xef\xbf\xbd!\xc2\xbb\n"));
    }

    void maskFilter_data()
    {
        QTest::addColumn<QByteArray>("filter");
        QTest::addColumn<QStringList>("written");
        const QStringList all{QStringLiteral("4096"), QStringLiteral("1024"), QStringLiteral("512"), QStringLiteral("256")};
        QTest::newRow("unset") << QByteArray() << all;
        QTest::newRow("hex") << QByteArray("0x200") << QStringList{QStringLiteral("512")};
        QTest::newRow("decimal, two bits") << QByteArray("1536") << QStringList{QStringLiteral("1024"), QStringLiteral("512")};
        QTest::newRow("blanks, upper X") << QByteArray(" 0X100 ") << QStringList{QStringLiteral("256")};
        QTest::newRow("zero") << QByteArray("0") << QStringList();
        QTest::newRow("garbage") << QByteArray("warnings") << all;
        QTest::newRow("trailing garbage") << QByteArray("512k") << all;
        QTest::newRow("overflow") << QByteArray("0x100000000") << all;
    }

    void maskFilter()
    {
        QFETCH(QByteArray, filter);
        QFETCH(QStringList, written);
        const EnvVar mask("TRACEL_MASK", filter);
        const TRACEL_HANDLE log = TRACEL_OpenDebugLog(u"mask");
        QVERIFY(log != 0);
        for (int level : {4096, 1024, 512, 256, 0})
            TRACEL_PrintDebugLog(log, level, u"%d", level);
        TRACEL_CloseDebugLog(log);
        QCOMPARE(readLogTexts(logDir() + QStringLiteral("/mask.log")), written);
    }

    void directoryChoice_data()
    {
        QTest::addColumn<QByteArray>("stateHome");
        QTest::addColumn<QString>("expected"); // below the temporary directory
        QTest::newRow("XDG_STATE_HOME, parents made") << QByteArray("/a/b") << QStringLiteral("/a/b/tracel");
        QTest::newRow("home") << QByteArray() << QStringLiteral("/home/.local/state/tracel");
        QTest::newRow("relative XDG_STATE_HOME ignored") << QByteArray("relative") << QStringLiteral("/home/.local/state/tracel");
    }

    void directoryChoice()
    {
        QFETCH(QByteArray, stateHome);
        QFETCH(QString, expected);
        const QByteArray root = QFile::encodeName(dir_.path());
        const EnvVar logDir("TRACEL_LOG_DIR", QByteArray());
        const EnvVar home("HOME", root + "/home");
        const EnvVar state("XDG_STATE_HOME", stateHome.startsWith('/') ? root + stateHome : stateHome);
        const TRACEL_HANDLE log = TRACEL_OpenDebugLog(u"vantel.dll");
        QVERIFY(log != 0);
        TRACEL_PrintDebugLog(log, 4096, u"here");
        TRACEL_CloseDebugLog(log);
        const QString path = dir_.path() + expected;
        QCOMPARE(readLogTexts(path + QStringLiteral("/vantel.dll.log")), QStringList{QStringLiteral("here")});
        struct stat info{};
        QCOMPARE(stat(QFile::encodeName(path).constData(), &info), 0);
        QCOMPARE(info.st_mode & 0777, 0700u);
    }

    void rotationBoundsDiskUse()
    {
        const EnvVar size("TRACEL_MAX_SIZE", "4096");
        const EnvVar files("TRACEL_MAX_FILES", "3");
        const TRACEL_HANDLE log = TRACEL_OpenDebugLog(u"rot");
        QVERIFY(log != 0);
        const int count = 3000; // about 300 KB, 25 times what the files may hold
        for (int i = 0; i < count; ++i)
            TRACEL_PrintDebugLog(log, 4096, u"line %d %s", i, u"padding padding padding padding padding");
        const QString huge(10000, QLatin1Char('x'));
        TRACEL_PrintDebugLog(log, 4096, u"%s", u16(huge));
        TRACEL_CloseDebugLog(log);

        const QStringList names = QDir(logDir()).entryList(QDir::Files, QDir::Name);
        QCOMPARE(names, (QStringList{QStringLiteral("rot.log"), QStringLiteral("rot.log.1"), QStringLiteral("rot.log.2")}));
        QStringList texts;
        for (const char* name : {"/rot.log.2", "/rot.log.1", "/rot.log"}) {
            const QString path = logDir() + QLatin1String(name);
            QVERIFY(QFileInfo(path).size() <= 4096);
            const QStringList lines = readLogLines(path);
            for (const QString& line : lines) {
                QVERIFY2(parseLogLine(line).whole, qPrintable(line));
                texts.append(parseLogLine(line).text);
            }
        }
        // The huge line was cut to fit one file; before it, the newest lines
        // follow each other without a gap.
        QVERIFY(texts.takeLast().startsWith(QStringLiteral("xxxx")));
        QVERIFY(texts.size() > 20);
        for (int i = 0; i < texts.size(); ++i)
            QCOMPARE(texts[i].section(QLatin1Char(' '), 1, 1).toInt(), count - texts.size() + i);
    }

    void failedRotationStillBounds()
    {
        // A non-empty directory where the old file should go: renaming onto
        // it fails even for root, so the writer must empty its file instead.
        const EnvVar size("TRACEL_MAX_SIZE", "4096");
        const EnvVar files("TRACEL_MAX_FILES", "2");
        QVERIFY(QDir().mkpath(logDir() + QStringLiteral("/stuck.log.1/keep")));
        const TRACEL_HANDLE log = TRACEL_OpenDebugLog(u"stuck");
        QVERIFY(log != 0);
        for (int i = 0; i < 1000; ++i)
            TRACEL_PrintDebugLog(log, 4096, u"line %d", i);
        TRACEL_CloseDebugLog(log);
        const QString path = logDir() + QStringLiteral("/stuck.log");
        QVERIFY(QFileInfo(path).size() <= 4096);
        QCOMPARE(readLogTexts(path).last(), QStringLiteral("line 999"));
    }

    void lostLogComesBack_data()
    {
        QTest::addColumn<bool>("removeDirectory");
        QTest::newRow("directory removed") << true;
        QTest::newRow("file moved away") << false;
    }

    void lostLogComesBack()
    {
        QFETCH(bool, removeDirectory);
        const TRACEL_HANDLE log = TRACEL_OpenDebugLog(u"gone");
        QVERIFY(log != 0);
        TRACEL_PrintDebugLog(log, 4096, u"before");
        const QString path = logDir() + QStringLiteral("/gone.log");
        QVERIFY(removeDirectory ? QDir(logDir()).removeRecursively() : QFile::rename(path, path + QStringLiteral(".old")));
        // The writer looks at its file once a second.
        for (int i = 0; i < 50 && !QFileInfo::exists(path); ++i) {
            QTest::qWait(100);
            TRACEL_PrintDebugLog(log, 4096, u"after");
        }
        TRACEL_CloseDebugLog(log);
        QCOMPARE(readLogTexts(path), QStringList{QStringLiteral("after")});
    }

    void sameNameSharesOneWriter()
    {
        const TRACEL_HANDLE a = TRACEL_OpenDebugLog(u"shared");
        const TRACEL_HANDLE b = TRACEL_OpenDebugLog(u"shared");
        QVERIFY(a != 0 && b != 0 && a != b);
        const QString path = logDir() + QStringLiteral("/shared.log");
        QCOMPARE(openDescriptors(path), 1);
        TRACEL_PrintDebugLog(a, 4096, u"from a");
        TRACEL_CloseDebugLog(a);
        TRACEL_CloseDebugLog(a); // a stale handle must not close b
        TRACEL_CloseDebugLog(0);
        TRACEL_CloseDebugLog(~TRACEL_HANDLE(0));
        TRACEL_PrintDebugLog(a, 4096, u"dropped");
        TRACEL_PrintDebugLog(b, 4096, u"from b");
        QCOMPARE(openDescriptors(path), 1);
        TRACEL_CloseDebugLog(b);
        QCOMPARE(openDescriptors(path), 0);

        // A later open appends to what an earlier run left.
        const TRACEL_HANDLE c = TRACEL_OpenDebugLog(u"shared");
        TRACEL_PrintDebugLog(c, 4096, u"from c");
        TRACEL_CloseDebugLog(c);
        QCOMPARE(readLogTexts(path), (QStringList{QStringLiteral("from a"), QStringLiteral("from b"), QStringLiteral("from c")}));
    }

    void concurrentWritersLoseNothing()
    {
        const TRACEL_HANDLE log = TRACEL_OpenDebugLog(u"threads");
        QVERIFY(log != 0);
        const int threads = 8, perThread = 4000;
        std::vector<std::thread> workers;
        for (int t = 0; t < threads; ++t) {
            workers.emplace_back([=] {
                for (int i = 0; i < perThread; ++i)
                    TRACEL_PrintDebugLog(log, 4096, u"%d %d %s", t, i, u"0123456789abcdefghijklmnopqrstuvwxyz");
            });
        }
        for (std::thread& w : workers)
            w.join();
        TRACEL_CloseDebugLog(log);

        const QStringList lines = readLogLines(logDir() + QStringLiteral("/threads.log"));
        QCOMPARE(lines.size(), threads * perThread);
        std::vector<int> next(threads, 0);
        std::vector<qint64> tid(threads, -1);
        for (const QString& line : lines) {
            const LogLine parsed = parseLogLine(line);
            const QStringList fields = parsed.text.split(QLatin1Char(' '));
            QVERIFY2(parsed.whole && fields.size() == 3 && fields[2].size() == 36, qPrintable(line));
            const int t = fields[0].toInt();
            QCOMPARE(fields[1].toInt(), next[t]++); // in order, none lost
            QVERIFY(tid[t] == -1 || tid[t] == parsed.thread);
            tid[t] = parsed.thread;
        }
    }

    void concurrentRotationKeepsLinesWhole()
    {
        const EnvVar size("TRACEL_MAX_SIZE", "8192");
        const EnvVar files("TRACEL_MAX_FILES", "4");
        const TRACEL_HANDLE log = TRACEL_OpenDebugLog(u"busy");
        QVERIFY(log != 0);
        std::atomic<bool> done{false};
        std::vector<std::thread> workers;
        for (int t = 0; t < 4; ++t) {
            workers.emplace_back([=] {
                for (int i = 0; i < 3000; ++i)
                    TRACEL_PrintDebugLog(log, 4096, u"%d %d %s", t, i, u"0123456789abcdefghijklmnopqrstuvwxyz");
            });
        }
        // Handles on the same name come and go meanwhile.
        std::thread opener([&done] {
            while (!done) {
                const TRACEL_HANDLE h = TRACEL_OpenDebugLog(u"busy");
                TRACEL_PrintDebugLog(h, 4096, u"opener 0 0123456789abcdefghijklmnopqrstuvwxyz");
                TRACEL_CloseDebugLog(h);
            }
        });
        for (std::thread& w : workers)
            w.join();
        done = true;
        opener.join();
        TRACEL_CloseDebugLog(log);

        const QStringList names = QDir(logDir()).entryList(QDir::Files);
        QCOMPARE(names.size(), 4);
        for (const QString& name : names) {
            const QString path = logDir() + QLatin1Char('/') + name;
            QVERIFY(QFileInfo(path).size() <= 8192);
            const QStringList lines = readLogLines(path);
            for (const QString& line : lines)
                QVERIFY2(parseLogLine(line).text.endsWith(QStringLiteral(" 0123456789abcdefghijklmnopqrstuvwxyz")), qPrintable(line));
        }
    }

    void unusableLogGivesHandleZero_data()
    {
        QTest::addColumn<QString>("dir");
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("rootBypasses");
        const QString base = dir_.path();
        QTest::newRow("directory under a regular file") << base + QStringLiteral("/file/log") << QStringLiteral("x") << false;
        QTest::newRow("log path is a directory") << base + QStringLiteral("/isdir") << QStringLiteral("x") << false;
        QTest::newRow("name too long") << base + QStringLiteral("/ok") << QString(300, QLatin1Char('n')) << false;
        QTest::newRow("proc") << QStringLiteral("/proc/self") << QStringLiteral("x") << false;
        QTest::newRow("read-only directory") << base + QStringLiteral("/ro") << QStringLiteral("x") << true;
        QTest::newRow("empty name") << base + QStringLiteral("/ok") << QString() << false;
        QTest::newRow("slash in name") << base + QStringLiteral("/ok") << QStringLiteral("../x") << false;
        QTest::newRow("dot dot") << base + QStringLiteral("/ok") << QStringLiteral("..") << false;
        QTest::newRow("line break in name") << base + QStringLiteral("/ok") << QStringLiteral("a\nb") << false;
    }

    void unusableLogGivesHandleZero()
    {
        QFETCH(QString, dir);
        QFETCH(QString, name);
        QFETCH(bool, rootBypasses);
        if (rootBypasses && geteuid() == 0)
            QSKIP("root writes into a read-only directory");
        QFile file(dir_.path() + QStringLiteral("/file"));
        QVERIFY(file.open(QIODevice::WriteOnly));
        QVERIFY(QDir().mkpath(dir_.path() + QStringLiteral("/isdir/x.log")));
        QVERIFY(QDir().mkpath(dir_.path() + QStringLiteral("/ro")));
        QVERIFY(QFile::setPermissions(dir_.path() + QStringLiteral("/ro"), QFile::ReadOwner | QFile::ExeOwner));

        const EnvVar logDir("TRACEL_LOG_DIR", QFile::encodeName(dir));
        const TRACEL_HANDLE log = TRACEL_OpenDebugLog(u16(name));
        QCOMPARE(log, TRACEL_HANDLE(0));
        TRACEL_PrintDebugLog(log, 4096, u"nothing");
        TRACEL_CloseDebugLog(log);
        QCOMPARE(TRACEL_OpenDebugLog(nullptr), TRACEL_HANDLE(0));
    }
};

QTEST_GUILESS_MAIN(TestTracel)
#include "tst_tracel.moc"
