// Guards the settings table and the file it shares with a Qt host:
// - result codes and their texts; bad indexes, sizes and file names;
// - loading takes a stored value (an empty one too), the not-found marker and
//   missing keys get their defaults; a single read goes back to the file;
// - an enciphered entry found plain is stored again as "#C#" and its
//   ciphertext, and "#c#" counts as enciphered;
// - completing the file or setting a value changes only those lines
//   (comments, order, line breaks and a person's spelling stay);
// - values read as QSettings reads them, except that a person's commas and
//   backslashes stay text; what we write reads in QSettings as our text;
// - a read-only file, binary garbage, a 50 MB file or a directory give
//   defaults and are not damaged; writers share QSettings' lock.
#include "settings/inidocument.h"
#include "settingstesting.h"

#include <QDateTime>
#include <QLockFile>
#include <QRandomGenerator>
#include <QRect>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QUrl>
#include <QtTest>

#include <linux/fs.h>
#include <sys/ioctl.h>
#include <unistd.h>

namespace {

// A few rows of the system table, so that a completed file can be written out whole.
class SmallIni : public XIni
{
public:
    explicit SmallIni(const QString& file)
    {
        xini_setFileName(file);
        const char* const rows[][3] = {
            {"Battery", "IND_BATTERY_WARN1_LEVEL", "5"}, {"Battery", "IND_BATTERY_WARN2_LEVEL", "10"},
            {"Battery", "IND_BATTERY_WARN3_LEVEL", "-1"}, {"Data", "DATA_BRAND", ""}, {"Data", "DATA_NAME", "n"},
            {"Data", "DATA_CAMERA_APP", ""}, {"Time", "TIME_FORMAT", "24"}};
        for (const auto& row : rows)
            entries.append({QLatin1String(row[0]), QLatin1String(row[1]), QString(), QLatin1String(row[2]), false});
    }
    enum { Warn1, Warn2, Warn3, Brand, Name, Camera, TimeFormat };
};

// Root writes to any file it may not write to, unless the file is immutable.
bool setImmutable(const QString& path, bool on)
{
    QFile file(path);
    int flags = 0;
    if (!file.open(QIODevice::ReadOnly) || ioctl(file.handle(), FS_IOC_GETFLAGS, &flags) != 0)
        return false;
    flags = on ? flags | FS_IMMUTABLE_FL : flags & ~FS_IMMUTABLE_FL;
    return ioctl(file.handle(), FS_IOC_SETFLAGS, &flags) == 0;
}

} // namespace

class TestXIni : public QObject
{
    Q_OBJECT
private slots:
    void codesAndBadArguments()
    {
        const QVector<QPair<int, const char*>> texts = {
            {-1, "index for message not managed"}, {0, "ok"}, {1, "fail"}, {2, "invalid index"},
            {3, "file name not set"}, {4, "file not found"}, {5, "bad file name"},
            {6, "fail to create new ini setting"}, {7, "data not valid size"}, {8, "index for message not managed"}};
        XIniSystem ini;
        QString text;
        for (const auto& code : texts) {
            ini.xini_getErrorMessage(code.first, text);
            QCOMPARE(text, QLatin1String(code.second));
        }

        QCOMPARE(ini.xini_load(true), 3);
        QTest::ignoreMessage(QtWarningMsg, "bad file name");
        QCOMPARE(ini.xinisys_init(QString()), 5);
        QCOMPARE(ini.xinisys_init(dir.filePath("a.ini")), 0);
        QCOMPARE(ini.xini_setFileName(QString()), 5);
        ini.xini_getFileName(text);
        QCOMPARE(text, dir.filePath("a.ini"));
        QCOMPARE(ini.xini_setSize(0), 7);
        QCOMPARE(ini.xini_checkIndex(XINISYS_KEY_COUNT - 1), 0);
        for (int index : {-1, int(XINISYS_KEY_COUNT)}) {
            QCOMPARE(ini.xini_checkIndex(index), 2);
            QCOMPARE(ini.xini_getValue(index, text), 2);
            QCOMPARE(ini.xini_setValue(index, QString()), 2);
            QVERIFY(ini.xini_entryValue(index).isEmpty());
        }
    }

    void completingKeepsEveryByte()
    {
        const QString file = freshFile();
        const QByteArray typed = "; Workshop tablet settings, edited by hand\r\n[Battery]\r\n"
                                 "IND_BATTERY_WARN1_LEVEL = 15   ; raised after the recall\r\nIND_BATTERY_WARN3_LEVEL=\r\n\r\n"
                                 "[Data]\r\nDATA_BRAND=a,b\r\nDATA_NAME=inikeynotfound\r\n"
                                 "DATA_CAMERA_APP=C:\\Program Files\\Cam\\cam.exe\r\n\r\n[Custom]\r\nHOST_ONLY=x\r\n";
        QVERIFY(writeBytes(file, typed));
        SmallIni ini(file);
        QCOMPARE(ini.xini_load(true), 0);
        QByteArray expected = QByteArray(typed).replace("WARN3_LEVEL=\r\n", "WARN3_LEVEL=\r\nIND_BATTERY_WARN2_LEVEL=10\r\n")
                                  .replace("inikeynotfound", "n") + "\r\n[Time]\r\nTIME_FORMAT=24\r\n";
        QCOMPARE(fileBytes(file), expected);
        const QStringList values = QStringLiteral("15|10||a,b|n|C:\\Program Files\\Cam\\cam.exe|24").split(QLatin1Char('|'));
        for (int i = 0; i < values.size(); ++i)
            QCOMPARE(ini.xini_entryValue(i), values.at(i));

        QCOMPARE(ini.xini_setValue(SmallIni::Camera, QStringLiteral("/opt/cam,v1/cam")), 0);
        QCOMPARE(ini.xini_setValue(SmallIni::Warn1, QStringLiteral("20")), 0);
        expected.replace("C:\\Program Files\\Cam\\cam.exe", "\"/opt/cam,v1/cam\"").replace("= 15   ;", "= 20   ;");
        QCOMPARE(fileBytes(file), expected);
        QCOMPARE(hostValue(file, QStringLiteral("Data/DATA_CAMERA_APP")), QStringLiteral("/opt/cam,v1/cam"));

        // A person edits it, unquoted: one text still, read afresh, and nothing to write.
        expected.replace("\"/opt/cam,v1/cam\"", "/opt/cam,v2/cam");
        QVERIFY(writeBytes(file, expected));
        QString value;
        QCOMPARE(ini.xini_getValue(SmallIni::Camera, value), 0);
        QCOMPARE(value, QStringLiteral("/opt/cam,v2/cam"));
        QCOMPARE(fileBytes(file), expected);
    }

    void encipheredEntries()
    {
        const QString file = freshFile();
        const QString path = QStringLiteral("Testo/SECRET");
        QVERIFY(writeBytes(file, "[Testo]\n"));
        TextIni ini(file);
        QCOMPARE(ini.xini_load(false), 0);
        QCOMPARE(hostValue(file, path), QString()); // nothing to hide

        QVERIFY(writeBytes(file, "[Testo]\nSECRET=plain pw\n"));
        QCOMPARE(readText(file).at(TextIni::Secret), QStringLiteral("plain pw"));
        const QString stored = hostValue(file, path);
        QVERIFY2(stored.startsWith(QLatin1String("#C#")) && !stored.contains(QLatin1String("plain")), qPrintable(stored));
        QVERIFY(writeBytes(file, "[Testo]\nSECRET=#c#" + stored.mid(3).toLatin1() + '\n'));
        QCOMPARE(readText(file).at(TextIni::Secret), QStringLiteral("plain pw"));

        QCOMPARE(ini.xini_setValue(TextIni::Secret, QStringLiteral("tökén")), 0);
        QVERIFY(hostValue(file, path).startsWith(QLatin1String("#C#")));
        QCOMPARE(readText(file).at(TextIni::Secret), QStringLiteral("tökén"));
    }

    // What a Qt host stored, of any type, reads as its own QSettings reads it;
    // what we store reads in QSettings as our text.
    void valuesReadAndWrittenLikeQSettings()
    {
        const QString path = QStringLiteral("Data/DATA_NAME");
        const auto hostStored = [&](const QVariant& value) {
            const QString file = freshFile();
            QSettings host(file, QSettings::IniFormat);
            readAsUtf8(host);
            host.setValue(path, value);
            host.sync();
            SystemTable ini(file);
            ini.xini_load(false);
            return qMakePair(ini.xini_entryValue(DATA_NAME), hostValue(file, path));
        };
        QVariantList values = {QDateTime(QDate(2024, 6, 1), QTime(12, 30), Qt::UTC), QUrl(QStringLiteral("http://x/a b")),
                               3.25, QPoint(1, 2), QRect(1, 2, 3, 4), QByteArray("cam\x01\xc3\xa8"), true,
                               QString(), QStringLiteral("nul") + QChar(0) + QLatin1Char('1')};
        for (const char* text : {"a,b", " lead", "trail ", "semi;colon", "eq=ual", "quo\"te", "C:\\Program Files\\x", "@at",
                                 "@@", "tab\tend\t", "two\nlines\r\n", "perché 日本語 🙂", "\\x41 \\q", "ctl\x01\x1f" "1"})
            values.append(QString::fromUtf8(text));
        for (const QVariant& value : values) {
            const QPair<QString, QString> read = hostStored(value);
            QCOMPARE(read.first, read.second);
            if (value.userType() != QMetaType::QString)
                continue;
            const QString file = freshFile();
            SystemTable ini(file);
            QCOMPARE(ini.xini_setValue(DATA_NAME, value.toString()), 0);
            QCOMPARE(hostValue(file, path), value.toString());
            QString back;
            QCOMPARE(ini.xini_getValue(DATA_NAME, back), 0);
            QCOMPARE(back, value.toString());
        }
        // A list reads as the text a person sees; other containers keep their stored text.
        QCOMPARE(hostStored(QStringList({QStringLiteral("osk"), QStringLiteral("-x,y")})).first,
                 QStringLiteral("osk, -x,y"));
        QVERIFY(hostStored(QVariantMap({{QStringLiteral("k"), 1}})).first.startsWith(QLatin1String("@Variant(")));
    }

    // Random INI-like texts, read by QSettings and by us, then edited by us and
    // read again by QSettings. Every backslash in them starts an escape QSettings
    // writes (also in keys and section names), so both readings must agree except
    // where QSettings makes a list of a comma value.
    void randomFilesReadAndEditedLikeQSettings()
    {
        static const char* const tokens[] = {
            "\n", "\n", "\r\n", "\r", " ", "\t", "=", "=", ";", "\"", "[", "]", ",", "[S]\n", "[T]\n",
            "[S\\a]\n", "[General]\n", "[%General]\n", " [ S ] ", "a", "b", "K", "S\\a", "%41", "%U0062",
            "x", "\xC3\xA9", "1", "@", "@@", "@Invalid()", "@ByteArray(q)", "@String(r)", "@Rect(1 2 3 4)",
            "@Size(1 2)", "\\n", "\\t", "\\\\", "\\\"", "\\x41", "\\x1f", "\\0", "\\a",
        };
        // "S/b" before "S/a": a section [S\a] hides S/b until S is parsed.
        const QStringList paths = QStringLiteral("S/b S/a S/K S/A T/a a b A S/a/a General/a Q/z").split(QLatin1Char(' '));
        const auto hostReadings = [&](const QString& file) {
            QSettings host(file, QSettings::IniFormat);
            readAsUtf8(host);
            QStringList readings;
            for (const QString& path : paths) {
                const QVariant value = host.value(path, QStringLiteral("<missing>"));
                readings.append(value.userType() == QMetaType::QStringList ? QStringLiteral("<list>") : value.toString());
            }
            return readings;
        };
        QRandomGenerator random(20240601);
        int rendered = 0;
        const int cases = 400;
        for (int n = 0; n < cases; ++n) {
            QByteArray text;
            for (int t = 1 + int(random.bounded(40)); t > 0; --t)
                text += tokens[random.bounded(int(sizeof(tokens) / sizeof(tokens[0])))];
            const QString file = freshFile();
            QVERIFY(writeBytes(file, text));
            QStringList expected = hostReadings(file);
            IniDocument ours(text);
            for (int i = 0; i < paths.size(); ++i) {
                const QString mine = ours.value(paths.at(i), QStringLiteral("<missing>"));
                QVERIFY2(mine == expected.at(i) || expected.at(i) == QLatin1String("<list>"),
                         qPrintable(paths.at(i) + QLatin1String(" in ") + text.toPercentEncoding()));
            }

            expected[1] = QStringLiteral("new, \"value\"");
            expected.last() = QStringLiteral("added");
            ours.setValue(paths.at(1), expected.at(1));
            ours.setValue(paths.last(), expected.last());
            QByteArray edited;
            if (!ours.render(&edited))
                continue;
            ++rendered;
            const QString editedFile = freshFile();
            QVERIFY(writeBytes(editedFile, edited));
            QVERIFY2(hostReadings(editedFile) == expected, qPrintable(text.toPercentEncoding()));
        }
        // The rest end inside an open quote, where nothing can be added safely.
        QVERIFY2(rendered > cases / 2, qPrintable(QString::number(rendered)));
    }

    // A file we may not write, or that is no settings file: the values it holds
    // or the defaults, nothing reported, and the file as it was (garbage is
    // completed after its end).
    void unusableFilesGiveDefaults()
    {
        QVector<quint32> words(16 * 1024);
        QRandomGenerator(7).fillRange(words.data(), words.size());
        const QByteArray garbage(reinterpret_cast<const char*>(words.constData()), words.size() * 4);
        const QString readOnly = freshFile(), garbageFile = freshFile(), hugeFile = freshFile(), folder = freshFile();
        const QByteArray text = "[Battery]\nIND_BATTERY_WARN1_LEVEL=15\n";
        QVERIFY(writeBytes(readOnly, text) && writeBytes(garbageFile, garbage) && QDir().mkpath(folder));
        QVERIFY(writeBytes(hugeFile, QByteArray(50 << 20, ';'))); // one comment: we could complete it
        QFile::setPermissions(readOnly, QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther);
        if (geteuid() == 0 && !setImmutable(readOnly, true))
            QSKIP("cannot make a file read-only for root here");
        const auto writable = qScopeGuard([&] { setImmutable(readOnly, false); });

        const SystemTable defaults;
        for (const QString& file : {readOnly, garbageFile, hugeFile, folder}) {
            SystemTable ini(file);
            const QtMessageHandler previous = qInstallMessageHandler(countMessage);
            QCOMPARE(ini.xini_load(true), 0);
            for (int i = 0; i < XINISYS_KEY_COUNT; ++i) {
                const bool stored = file == readOnly && i == IND_BATTERY_WARN1_LEVEL;
                QCOMPARE(ini.xini_entryValue(i), stored ? QStringLiteral("15") : defaults.rows().at(i).defValue);
            }
            QCOMPARE(ini.xini_setValue(DATA_NAME, QStringLiteral("x")), 0);
            qInstallMessageHandler(previous);
            QCOMPARE(loggedMessages, 0);
        }
        QCOMPARE(fileBytes(readOnly), text);
        QVERIFY(fileBytes(garbageFile).startsWith(garbage));
        QCOMPARE(QFileInfo(hugeFile).size(), qint64(50 << 20));
        QVERIFY(QFileInfo(folder).isDir());
        QCOMPARE(QDir(dir.path()).entryList(QStringList(QStringLiteral("*.lock"))), QStringList());
    }

    void writersTakeTheQSettingsLock()
    {
        const QString file = freshFile();
        SystemTable ini(file);
        QCOMPARE(ini.xini_load(true), 0);
        const QByteArray before = fileBytes(file);
        {
            QLockFile host(file + QLatin1String(".lock"));
            QVERIFY(host.lock());
            QCOMPARE(ini.xini_setValue(DATA_NAME, QStringLiteral("while locked")), 0);
            QCOMPARE(fileBytes(file), before);
        }
        QCOMPARE(ini.xini_setValue(DATA_NAME, QStringLiteral("after")), 0);
        QCOMPARE(hostValue(file, QStringLiteral("Data/DATA_NAME")), QStringLiteral("after"));
        QVERIFY(!QFileInfo::exists(file + QLatin1String(".lock")));
    }

private:
    QString freshFile() { return dir.filePath(QStringLiteral("f%1.ini").arg(++files)); }
    QTemporaryDir dir;
    int files = 0;
};

QTEST_APPLESS_MAIN(TestXIni)
#include "tst_xini.moc"
