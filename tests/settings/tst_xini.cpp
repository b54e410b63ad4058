// Guards the settings table: result codes and texts, loading (a missing file
// is created, a partial one completed, an empty value kept, the not-found
// marker replaced), enciphered entries, and the system key table with its
// defaults, sections and enumeration, as a Qt host reads them back.
#include "settingstesting.h"
#include "xinisystem.h"

#include <QHostAddress>
#include <QTemporaryDir>
#include <QtTest>

namespace {

class CryptIni : public XIni
{
public:
    CryptIni()
    {
        xini_setSize(3);
        define(0, "USER", "admin", false);
        define(1, "PASSWORD", "s3cret", true);
        define(2, "TOKEN", "", true);
    }

private:
    void define(int i, const char* key, const char* defValue, bool crypt)
    {
        entries[i].section = QStringLiteral("Net");
        entries[i].key = QLatin1String(key);
        entries[i].defValue = entries[i].value = QLatin1String(defValue);
        entries[i].crypt = crypt;
    }
};

// Exposes the rows so the table can be compared with the shared one.
class SystemTable : public XIniSystem
{
public:
    const QVector<XIniEntry>& rows() const { return entries; }
};

QString hostValue(const QString& file, const QString& path)
{
    QSettings settings(file, QSettings::IniFormat);
    readAsUtf8(settings);
    return settings.value(path, QStringLiteral("<missing>")).toString();
}

} // namespace

class TestXIni : public QObject
{
    Q_OBJECT
private slots:
    void init() { QVERIFY(dir.isValid()); }
    void codesAndTexts();
    void systemTableMatchesSharedTable();
    void createsMissingFile();
    void completesPartialFile();
    void rereadsSingleEntries();
    void encipheredEntries();

private:
    QTemporaryDir dir;
};

void TestXIni::codesAndTexts()
{
    XIniSystem ini;
    QString text;
    const char* const texts[] = {"ok", "fail", "invalid index", "file name not set", "file not found",
                                 "bad file name", "fail to create new ini setting", "data not valid size"};
    for (int code = 0; code < 8; ++code) {
        ini.xini_getErrorMessage(code, text);
        QCOMPARE(text, QString::fromLatin1(texts[code]));
    }
    for (int code : {8, -1}) {
        ini.xini_getErrorMessage(code, text);
        QCOMPARE(text, QStringLiteral("index for message not managed"));
    }

    QCOMPARE(ini.xini_load(true), 3);
    QCOMPARE(ini.xini_createFile(), 3);
    QTest::ignoreMessage(QtWarningMsg, "bad file name");
    QCOMPARE(ini.xinisys_init(QString()), 5);
    QCOMPARE(ini.xinisys_init(dir.filePath("a.ini")), 0);
    QCOMPARE(ini.xini_setFileName(QString()), 5);
    ini.xini_getFileName(text);
    QCOMPARE(text, dir.filePath("a.ini"));
    QCOMPARE(ini.xini_setSize(0), 7);
    QCOMPARE(ini.xini_checkIndex(XINISYS_KEY_COUNT - 1), 0);
    QCOMPARE(ini.xini_checkIndex(XINISYS_KEY_COUNT), 2);
    QCOMPARE(ini.xini_checkIndex(-1), 2);
    text = QStringLiteral("stale");
    QCOMPARE(ini.xini_getValue(-1, text), 2);
    QVERIFY(text.isEmpty());
    QCOMPARE(ini.xini_setValue(XINISYS_KEY_COUNT, QString()), 2);
    QVERIFY(ini.xini_entryValue(-1).isEmpty());
}

void TestXIni::systemTableMatchesSharedTable()
{
    const QVector<KeyRow> shared = sharedKeyTable();
    SystemTable ini;
    QCOMPARE(ini.xinisys_defineKeys(), 0);
    QCOMPARE(shared.size(), int(XINISYS_KEY_COUNT));
    QCOMPARE(ini.rows().size(), shared.size());
    for (int i = 0; i < shared.size(); ++i) {
        const XIniEntry& row = ini.rows().at(i);
        QCOMPARE(row.section + '/' + row.key, shared[i].section + '/' + shared[i].key);
        QVERIFY(!row.crypt);
        if (shared[i].defValue != QLatin1String("*"))
            QCOMPARE(row.defValue, shared[i].defValue);
        QCOMPARE(ini.xini_entryValue(i), row.defValue);
    }
    QCOMPARE(ini.rows().at(FILE_VV).key, QStringLiteral("FILE_VV"));
    QCOMPARE(ini.rows().at(IND_MODE_KEYBOARD).key, QStringLiteral("IND_MODE_KEYBOARD"));
    QVERIFY(!ini.xini_entryValue(DATA_APPKEY).isEmpty());
    QVERIFY(ini.xini_entryValue(SETT_CHECKCONN_ADDRESS).startsWith(QLatin1String("http://")));
    QHostAddress resolver;
    QVERIFY(resolver.setAddress(ini.xini_entryValue(SETT_CHECKCONN_IP)));
    QCOMPARE(resolver.protocol(), QAbstractSocket::IPv4Protocol);
    QVERIFY(!resolver.isLoopback() && !resolver.isMulticast());
}

void TestXIni::createsMissingFile()
{
    const QString file = dir.filePath(QStringLiteral("sub/dir/system.ini"));
    XIniSystem ini;
    QCOMPARE(ini.xinisys_init(file), 0);
    QCOMPARE(ini.xini_load(true), 0);
    QCOMPARE(ini.xini_entryValue(IND_STS_BATTERY), QStringLiteral("1"));
    QCOMPARE(ini.xinisys_number(IND_BATTERY_WARN3_LEVEL), -1);
    QVERIFY(ini.xinisys_flag(IND_STS_BATTERY));
    QVERIFY(!QFileInfo::exists(file + QLatin1String(".lock")));
    for (const KeyRow& row : sharedKeyTable()) {
        const QString path = row.section + '/' + row.key;
        if (row.defValue != QLatin1String("*"))
            QCOMPARE(hostValue(file, path), row.defValue);
    }
}

void TestXIni::completesPartialFile()
{
    const QString file = dir.filePath(QStringLiteral("partial.ini"));
    QVERIFY(writeBytes(file, "[Battery]\nIND_BATTERY_WARN1_LEVEL=15\n"
                             "[Indicator]\nIND_STS_WIFI=\nIND_STS_GPS=yes\n"
                             "[Device]\nDEV_GPS=inikeynotfound\n"));
    XIniSystem ini;
    ini.xinisys_init(file);
    QCOMPARE(ini.xini_load(true), 0);
    QCOMPARE(ini.xinisys_number(IND_BATTERY_WARN1_LEVEL), 15);
    QCOMPARE(ini.xini_entryValue(IND_BATTERY_WARN2_LEVEL), QStringLiteral("10"));
    QCOMPARE(ini.xini_entryValue(IND_STS_WIFI), QString());
    QCOMPARE(ini.xinisys_number(IND_STS_WIFI), 0);
    QCOMPARE(ini.xinisys_number(IND_STS_GPS), 0);
    QVERIFY(!ini.xinisys_flag(IND_STS_GPS));
    QCOMPARE(ini.xini_entryValue(FONT_SIZE_LARGE), QString());
    QCOMPARE(ini.xini_entryValue(DEV_GPS), QStringLiteral("0"));
    QCOMPARE(hostValue(file, QStringLiteral("Device/DEV_GPS")), QStringLiteral("0"));
    QCOMPARE(hostValue(file, QStringLiteral("Battery/IND_BATTERY_WARN1_LEVEL")), QStringLiteral("15"));
    QCOMPARE(hostValue(file, QStringLiteral("Sysvar/SYSVAR_QTPATH")), QStringLiteral("..\\QT4.8.5"));

    // Completing a complete file changes nothing.
    const QByteArray completed = fileBytes(file);
    XIniSystem again;
    again.xinisys_init(file);
    QCOMPARE(again.xini_load(true), 0);
    QCOMPARE(fileBytes(file), completed);
}

void TestXIni::rereadsSingleEntries()
{
    const QString file = dir.filePath(QStringLiteral("single.ini"));
    XIniSystem ini;
    ini.xinisys_init(file);
    QString value;
    // No file yet: the read finds nothing, takes the default and writes it.
    QCOMPARE(ini.xini_getValue(TIME_FORMAT, value), 0);
    QCOMPARE(value, QStringLiteral("24"));
    QCOMPARE(fileBytes(file), QByteArray("[Time]\nTIME_FORMAT=24\n"));

    QSettings host(file, QSettings::IniFormat);
    host.setValue(QStringLiteral("Time/TIME_FORMAT"), 12);
    host.sync();
    QCOMPARE(ini.xini_getValue(TIME_FORMAT, value), 0);
    QCOMPARE(value, QStringLiteral("12"));
    QCOMPARE(ini.xini_entryValue(TIME_FORMAT), QStringLiteral("12"));
}

void TestXIni::encipheredEntries()
{
    const QString file = dir.filePath(QStringLiteral("crypt.ini"));
    QVERIFY(writeBytes(file, "[Net]\nPASSWORD=plain pw\n"));
    CryptIni ini;
    ini.xini_setFileName(file);
    QCOMPARE(ini.xini_load(false), 0);
    QCOMPARE(ini.xini_entryValue(1), QStringLiteral("plain pw"));
    const QString stored = hostValue(file, QStringLiteral("Net/PASSWORD"));
    QVERIFY(stored.startsWith(QLatin1String("#C#")));
    QVERIFY(!fileBytes(file).contains("plain pw"));
    QCOMPARE(hostValue(file, QStringLiteral("Net/TOKEN")), QString());

    QCOMPARE(ini.xini_setValue(2, QStringLiteral("tökén")), 0);
    QVERIFY(hostValue(file, QStringLiteral("Net/TOKEN")).startsWith(QLatin1String("#C#")));

    // A lower-case prefix counts as enciphered too.
    QSettings host(file, QSettings::IniFormat);
    host.setValue(QStringLiteral("Net/PASSWORD"), QString(stored).replace(0, 3, QStringLiteral("#c#")));
    host.sync();
    CryptIni reader;
    reader.xini_setFileName(file);
    QCOMPARE(reader.xini_load(false), 0);
    QCOMPARE(reader.xini_entryValue(1), QStringLiteral("plain pw"));
    QCOMPARE(reader.xini_entryValue(2), QStringLiteral("tökén"));
    QCOMPARE(ini.xini_setValue(2, QString()), 0);
    QCOMPARE(hostValue(file, QStringLiteral("Net/TOKEN")), QString());
}

QTEST_APPLESS_MAIN(TestXIni)
#include "tst_xini.moc"
