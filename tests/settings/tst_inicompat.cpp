// Guards the settings file shared with a Qt host: completing it or setting a
// value changes only those lines (comments, order, line breaks and a person's
// spelling stay); values read as QSettings reads them, and what we write reads
// in QSettings as our text; a read-only file, binary garbage, a 50 MB file or
// a directory give defaults and are not damaged; writers share QSettings' lock.
#include "inidocument.h"
#include "settingstesting.h"
#include "xinisystem.h"

#include <QDateTime>
#include <QLockFile>
#include <QPoint>
#include <QRect>
#include <QUrl>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QtTest>

#include <algorithm>

#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <unistd.h>

namespace {

QString hostValue(const QString& file, const QString& path)
{
    QSettings settings(file, QSettings::IniFormat);
    readAsUtf8(settings);
    return settings.value(path, QStringLiteral("<missing>")).toString();
}

XIniSystem* loaded(const QString& file)
{
    auto* ini = new XIniSystem;
    ini->xinisys_init(file);
    ini->xini_load(true);
    return ini;
}

// Sections of a file created from scratch: "[Name]" and its key lines.
QMap<QByteArray, QList<QByteArray>> sectionsOf(const QByteArray& text)
{
    QMap<QByteArray, QList<QByteArray>> sections;
    QByteArray current;
    for (const QByteArray& line : text.split('\n')) {
        if (line.startsWith('['))
            current = line;
        else if (!line.isEmpty())
            sections[current].append(line);
    }
    return sections;
}

// Makes a file read-only even for root (immutable) and undoes it at the end.
struct ReadOnlyFile {
    explicit ReadOnlyFile(const QString& path)
        : name(QFile::encodeName(path))
    {
        QFile::setPermissions(path, QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther);
        if (geteuid() == 0)
            immutable = setImmutable(true);
    }
    ~ReadOnlyFile()
    {
        if (immutable)
            setImmutable(false);
    }
    bool setImmutable(bool on) const
    {
        const int fd = open(name.constData(), O_RDONLY);
        int flags = 0;
        bool done = false;
        if (fd >= 0 && ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0) {
            flags = on ? flags | FS_IMMUTABLE_FL : flags & ~FS_IMMUTABLE_FL;
            done = ioctl(fd, FS_IOC_SETFLAGS, &flags) == 0;
        }
        if (fd >= 0)
            close(fd);
        return done;
    }
    bool works() const { return geteuid() != 0 || immutable; }
    QByteArray name;
    bool immutable = false;
};

int messageCount = 0;
void countMessage(QtMsgType, const QMessageLogContext&, const QString&)
{
    ++messageCount;
}

} // namespace

class TestIniCompat : public QObject
{
    Q_OBJECT
private slots:
    void init() { QVERIFY(dir.isValid()); }
    void completingKeepsEveryByte();
    void valuesRoundTripWithQSettings_data();
    void valuesRoundTripWithQSettings();
    void readsValuesAHostStoredAsOtherTypes();
    void readsAndEditsLikeQSettings();
    void readOnlyFileIsLeftAlone();
    void fileThatIsNoIni_data();
    void fileThatIsNoIni();
    void writersTakeTheQSettingsLock();

private:
    QString freshFile();
    QTemporaryDir dir;
    int files = 0;
};

QString TestIniCompat::freshFile()
{
    return dir.filePath(QStringLiteral("f%1.ini").arg(++files));
}

void TestIniCompat::completingKeepsEveryByte()
{
    const QByteArray head = "; Workshop tablet settings, edited by hand\r\n"
                            "[Battery]\r\n"
                            "IND_BATTERY_WARN1_LEVEL = 15   ; raised after the recall";
    const QByteArray data = "\r\n\r\n[Data]\r\n"
                            "DATA_BRAND=a,b\r\n"
                            "DATA_CAMERA_APP=C:\\Program Files\\Cam\\cam.exe";
    const QByteArray tail = "\r\n\r\n[Custom]\r\nHOST_ONLY=x\r\n";
    const QString file = freshFile();
    QVERIFY(writeBytes(file, head + data + tail));
    QScopedPointer<XIniSystem> ini(loaded(file));
    QCOMPARE(ini->xinisys_number(IND_BATTERY_WARN1_LEVEL), 15);
    QCOMPARE(ini->xini_entryValue(DATA_BRAND), QStringLiteral("a,b"));
    QCOMPARE(ini->xini_entryValue(DATA_CAMERA_APP), QStringLiteral("C:\\Program Files\\Cam\\cam.exe"));

    const QString fresh = freshFile();
    delete loaded(fresh);
    QMap<QByteArray, QList<QByteArray>> sections = sectionsOf(fileBytes(fresh));
    const auto inserted = [&](const QByteArray& section, const QByteArray& skip) {
        QByteArray lines;
        for (const QByteArray& line : sections.take(section)) {
            if (!skip.contains(line.left(line.indexOf('=') + 1)))
                lines += "\r\n" + line;
        }
        return lines;
    };
    QByteArray expected = head + inserted("[Battery]", "IND_BATTERY_WARN1_LEVEL=") + data
        + inserted("[Data]", "DATA_BRAND= DATA_CAMERA_APP=") + tail;
    QByteArray appended;
    for (const QByteArray& section : fileBytes(fresh).split('[')) {
        const QByteArray name = '[' + section.left(section.indexOf(']') + 1);
        if (sections.contains(name))
            appended += "\r\n[" + section.trimmed().replace('\n', "\r\n") + "\r\n";
    }
    expected += appended;
    QCOMPARE(fileBytes(file), expected);

    // Setting one value replaces that value and nothing else.
    QCOMPARE(ini->xini_setValue(DATA_CAMERA_APP, QStringLiteral("/opt/cam,v2/cam")), 0);
    expected.replace("C:\\Program Files\\Cam\\cam.exe", "\"/opt/cam,v2/cam\"");
    QCOMPARE(fileBytes(file), expected);
    QCOMPARE(hostValue(file, QStringLiteral("Data/DATA_CAMERA_APP")), QStringLiteral("/opt/cam,v2/cam"));
    QScopedPointer<XIniSystem> again(loaded(file));
    QCOMPARE(again->xini_entryValue(DATA_CAMERA_APP), QStringLiteral("/opt/cam,v2/cam"));
    QCOMPARE(fileBytes(file), expected);
}

void TestIniCompat::valuesRoundTripWithQSettings_data()
{
    QTest::addColumn<QString>("text");
    const QStringList texts = {
        QString(), QStringLiteral("a,b"), QStringLiteral(" lead"), QStringLiteral("trail "),
        QStringLiteral("semi;colon"), QStringLiteral("eq=ual"), QStringLiteral("quo\"te"),
        QStringLiteral("C:\\Program Files\\x"), QStringLiteral("tab\tend\t"), QStringLiteral("two\nlines\r\n"),
        QStringLiteral("@at"), QStringLiteral("@Invalid()"), QStringLiteral("@@"), QStringLiteral("#C#abc"),
        QStringLiteral("perché è già così"), QStringLiteral("日本語 🙂"), QStringLiteral("\\x41 \\q"),
        QStringLiteral("ctl\x01\x1f" "1"), QStringLiteral("nul") + QChar(0) + QLatin1Char('1'),
    };
    for (const QString& text : texts)
        QTest::newRow(qPrintable(text.toUtf8().toHex())) << text;
}

void TestIniCompat::valuesRoundTripWithQSettings()
{
    QFETCH(QString, text);
    const QString key = QStringLiteral("Data/DATA_NAME");

    // Written by a Qt host, read by us. Qt 5's QSettings drops characters
    // outside the BMP when it writes.
    const bool hostKeepsText = QT_VERSION >= QT_VERSION_CHECK(6, 0, 0)
        || std::none_of(text.cbegin(), text.cend(), [](QChar ch) { return ch.isSurrogate(); });
    const QString hostFile = freshFile();
    if (hostKeepsText) {
        QSettings host(hostFile, QSettings::IniFormat);
        readAsUtf8(host);
        host.setValue(key, text);
        host.sync();
        QScopedPointer<XIniSystem> reader(loaded(hostFile));
        QCOMPARE(reader->xini_entryValue(DATA_NAME), text);
    }

    // Written by us, read by a Qt host and by us.
    const QString ourFile = freshFile();
    QScopedPointer<XIniSystem> writer(loaded(ourFile));
    QCOMPARE(writer->xini_setValue(DATA_NAME, text), 0);
    QCOMPARE(hostValue(ourFile, key), text);
    QString back;
    QCOMPARE(writer->xini_getValue(DATA_NAME, back), 0);
    QCOMPARE(back, text);
}

// A Qt host may store any QVariant in a key: we read what its own
// QSettings::value().toString() gives, except for lists (a person's commas
// read as text) and containers, which keep their stored text.
void TestIniCompat::readsValuesAHostStoredAsOtherTypes()
{
    const QString file = freshFile();
    const QVector<QPair<int, QVariant>> values = {
        {DATA_NAME, QDateTime(QDate(2024, 6, 1), QTime(12, 30), Qt::UTC)},
        {DATA_BRAND, QUrl(QStringLiteral("http://example.com/a b"))},
        {DATA_PLATFORM, 3.25},
        {DATA_PLAT_CODE, QPoint(1, 2)},
        {DATA_PLAT_TYPE, QRect(1, 2, 3, 4)},
        {DATA_CAMERA_APP, QByteArray("cam\x01\xc3\xa8")},
        {DEV_HOST1, true},
        {DATA_KEYBOARD_APP, QStringList({QStringLiteral("osk"), QStringLiteral("-x,y")})},
        {DEV_HOST2, QVariantMap({{QStringLiteral("k"), 1}})},
    };
    const QVector<KeyRow> table = sharedKeyTable();
    {
        QSettings host(file, QSettings::IniFormat);
        readAsUtf8(host);
        for (const auto& value : values)
            host.setValue(table.at(value.first).section + '/' + table.at(value.first).key, value.second);
    }
    QScopedPointer<XIniSystem> ini(loaded(file));
    for (int i = 0; i < values.size() - 2; ++i)
        QCOMPARE(ini->xini_entryValue(values.at(i).first), values.at(i).second.toString());
    QCOMPARE(ini->xini_entryValue(DATA_KEYBOARD_APP), QStringLiteral("osk, -x,y"));
    QVERIFY(ini->xini_entryValue(DEV_HOST2).startsWith(QLatin1String("@Variant(")));
}

// Random INI-like texts, read by QSettings and by us, then edited by us and
// read again by QSettings. Every backslash in them starts an escape QSettings
// writes (also in keys and section names), so both readings must agree except
// where QSettings makes a list of a comma value.
void TestIniCompat::readsAndEditsLikeQSettings()
{
    static const char* const tokens[] = {
        "\n", "\n", "\r\n", "\r", " ", "\t", "=", "=", ";", "\"", "[", "]", ",", "[S]\n", "[T]\n",
        "[S\\a]\n", "[General]\n", "[%General]\n", " [ S ] ", "a", "b", "K", "S\\a", "%41", "%U0062",
        "x", "\xC3\xA9", "1", "@", "@@", "@Invalid()", "@ByteArray(q)", "@String(r)", "@Rect(1 2 3 4)",
        "@Size(1 2)", "\\n", "\\t", "\\\\", "\\\"", "\\x41", "\\x1f", "\\0", "\\a",
    };
    // "S/b" before "S/a": a section [S\a] hides S/b until S is parsed.
    const QStringList paths = {QStringLiteral("S/b"), QStringLiteral("S/a"), QStringLiteral("S/K"),
                               QStringLiteral("S/A"), QStringLiteral("T/a"), QStringLiteral("a"),
                               QStringLiteral("b"), QStringLiteral("A"), QStringLiteral("S/a/a"),
                               QStringLiteral("General/a")};
    const auto hostReading = [](QSettings& host, const QString& path) {
        const QVariant value = host.value(path, QStringLiteral("<missing>"));
        const int type = value.userType();
        return type == QMetaType::QStringList || type == QMetaType::QVariantList ? QStringLiteral("<list>")
                                                                                : value.toString();
    };
    QRandomGenerator random(20240601);
    int rendered = 0;
    const int cases = 3000;
    for (int n = 0; n < cases; ++n) {
        QByteArray text;
        const int count = 1 + int(random.bounded(40));
        for (int t = 0; t < count; ++t)
            text += tokens[random.bounded(int(sizeof(tokens) / sizeof(tokens[0])))];
        const QString file = freshFile();
        QVERIFY(writeBytes(file, text));

        QSettings host(file, QSettings::IniFormat);
        readAsUtf8(host);
        IniDocument ours(text);
        QStringList before;
        for (const QString& path : paths) {
            before.append(hostReading(host, path));
            const QString mine = ours.value(path, QStringLiteral("<missing>"));
            if (before.last() != QLatin1String("<list>"))
                QVERIFY2(mine == before.last(), qPrintable(path + QLatin1String(" in ") + text.toPercentEncoding()));
        }

        ours.setValue(QStringLiteral("S/a"), QStringLiteral("new, \"value\""));
        ours.setValue(QStringLiteral("Q/z"), QStringLiteral("added"));
        QByteArray edited;
        if (!ours.render(&edited))
            continue;
        ++rendered;
        const QString editedFile = freshFile();
        QVERIFY(writeBytes(editedFile, edited));
        QSettings after(editedFile, QSettings::IniFormat);
        readAsUtf8(after);
        for (int i = 0; i < paths.size(); ++i) {
            const QString expected = i == 1 ? QStringLiteral("new, \"value\"") : before.at(i);
            QVERIFY2(hostReading(after, paths.at(i)) == expected, qPrintable(text.toPercentEncoding()));
        }
        QCOMPARE(after.value(QStringLiteral("Q/z")).toString(), QStringLiteral("added"));
    }
    // The rest end inside an open quote, where nothing can be added safely.
    QVERIFY2(rendered > cases / 2, qPrintable(QString::number(rendered)));
}

void TestIniCompat::readOnlyFileIsLeftAlone()
{
    const QString file = freshFile();
    const QByteArray text = "[Battery]\nIND_BATTERY_WARN1_LEVEL=15\n";
    QVERIFY(writeBytes(file, text));
    ReadOnlyFile readOnly(file);
    if (!readOnly.works())
        QSKIP("cannot make a file read-only for root here");

    messageCount = 0;
    const QtMessageHandler previous = qInstallMessageHandler(countMessage);
    QScopedPointer<XIniSystem> ini(loaded(file));
    QCOMPARE(ini->xini_setValue(DATA_NAME, QStringLiteral("x")), 0);
    qInstallMessageHandler(previous);
    QCOMPARE(messageCount, 0);
    QCOMPARE(ini->xinisys_number(IND_BATTERY_WARN1_LEVEL), 15);
    QCOMPARE(ini->xini_entryValue(IND_STS_BATTERY), QStringLiteral("1"));
    QCOMPARE(fileBytes(file), text);
    QCOMPARE(QDir(dir.path()).entryList(QStringList(QStringLiteral("*.lock"))), QStringList());
}

void TestIniCompat::fileThatIsNoIni_data()
{
    QTest::addColumn<QString>("kind");
    QTest::newRow("binary garbage") << QStringLiteral("garbage");
    QTest::newRow("50 MB") << QStringLiteral("huge");
    QTest::newRow("directory") << QStringLiteral("directory");
}

void TestIniCompat::fileThatIsNoIni()
{
    QFETCH(QString, kind);
    const QString file = freshFile();
    QByteArray original;
    if (kind == QLatin1String("garbage")) {
        QRandomGenerator random(7);
        original.resize(64 * 1024);
        for (char& byte : original)
            byte = char(random.bounded(256));
        QVERIFY(writeBytes(file, original));
    } else if (kind == QLatin1String("huge")) {
        QFile huge(file);
        QVERIFY(huge.open(QIODevice::WriteOnly) && huge.resize(50 * 1024 * 1024));
    } else {
        QVERIFY(QDir().mkpath(file));
    }

    QScopedPointer<XIniSystem> ini(loaded(file));
    const QVector<KeyRow> table = sharedKeyTable();
    for (int i = 0; i < XINISYS_KEY_COUNT; ++i)
        QCOMPARE(ini->xinisys_number(i), table.at(i).defValue.toInt());
    if (kind == QLatin1String("garbage"))
        QVERIFY(fileBytes(file).startsWith(original)); // completed after its end
    else if (kind == QLatin1String("huge"))
        QCOMPARE(QFileInfo(file).size(), qint64(50 * 1024 * 1024));
    else
        QVERIFY(QFileInfo(file).isDir());
}

void TestIniCompat::writersTakeTheQSettingsLock()
{
    const QString file = freshFile();
    QScopedPointer<XIniSystem> ini(loaded(file));
    const QByteArray before = fileBytes(file);
    {
        QLockFile host(QFileInfo(file).absoluteFilePath() + QLatin1String(".lock"));
        QVERIFY(host.lock());
        QCOMPARE(ini->xini_setValue(DATA_NAME, QStringLiteral("while locked")), 0);
        QCOMPARE(fileBytes(file), before);
    }
    QCOMPARE(ini->xini_setValue(DATA_NAME, QStringLiteral("after")), 0);
    QCOMPARE(hostValue(file, QStringLiteral("Data/DATA_NAME")), QStringLiteral("after"));
}

QTEST_APPLESS_MAIN(TestIniCompat)
#include "tst_inicompat.moc"
