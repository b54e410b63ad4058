// Guards what takes more than one process or another reader: a Qt host and
// the library completing the same missing file at the same moment leave every
// key there once; Python's configparser finds the whole table with its
// defaults; ciphertexts and accented text written by one Qt build read the
// same in the other (committed fixtures of both builds, and the other build's
// settings tool when VANTEL_PEER_BUILD_DIR names it).
#include "keycipher.h"
#include "settingstables.h"
#include "settingstesting.h"

#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

namespace {

struct Run {
    int exitCode;
    QStringList lines;
};

Run run(const QString& program, const QStringList& args)
{
    QProcess process;
    process.start(program, args);
    if (!process.waitForFinished(60000) || process.exitStatus() != QProcess::NormalExit)
        return {-1, {QString::fromUtf8(process.readAllStandardError())}};
    return {process.exitCode(), QString::fromUtf8(process.readAll()).split(QLatin1Char('\n'))};
}

Run checkWithConfigparser(const QString& file, bool tableOrder)
{
    QStringList args = {qEnvironmentVariable("VANTEL_SOURCE_DIR") + QLatin1String("/tests/settings/check_system_ini.py")};
    if (tableOrder)
        args.append(QStringLiteral("--table-order"));
    return run(QStringLiteral("/usr/bin/python3"), args << file << fixturePath(QStringLiteral("system-keys.tsv")));
}

} // namespace

class TestSettingsProcesses : public QObject
{
    Q_OBJECT
private slots:
    void init() { QVERIFY(dir.isValid()); }
    void independentReaderSeesTable();
    void hostAndLibraryCompleteTogether();
    void fixturesOfBothBuilds_data();
    void fixturesOfBothBuilds();
    void liveAgainstPeerBuild();

private:
    QTemporaryDir dir;
};

void TestSettingsProcesses::independentReaderSeesTable()
{
    const QString file = dir.filePath(QStringLiteral("created.ini"));
    XIniSystem ini;
    ini.xinisys_init(file);
    QCOMPARE(ini.xini_load(true), 0);
    const Run check = checkWithConfigparser(file, true);
    QVERIFY2(check.exitCode == 0, qPrintable(check.lines.join(QLatin1Char('\n'))));
}

void TestSettingsProcesses::hostAndLibraryCompleteTogether()
{
    for (int round = 0; round < 8; ++round) {
        const QString file = dir.filePath(QStringLiteral("race%1/system.ini").arg(round));
        const QString go = dir.filePath(QStringLiteral("go%1").arg(round));
        QProcess library;
        QProcess host;
        library.start(QStringLiteral(VANTEL_SETTINGS_TOOL), {QStringLiteral("--wait-for"), go, QStringLiteral("complete"), file});
        host.start(QStringLiteral(VANTEL_SETTINGS_TOOL), {QStringLiteral("--wait-for"), go, QStringLiteral("host-complete"), file});
        QVERIFY(library.waitForStarted() && host.waitForStarted());
        QVERIFY(writeBytes(go, QByteArray()));
        QVERIFY(library.waitForFinished(60000) && host.waitForFinished(60000));
        QCOMPARE(library.exitCode(), 0);
        QCOMPARE(host.exitCode(), 0);

        // Whoever wrote first decides the order; QSettings sorts by name.
        const Run check = checkWithConfigparser(file, false);
        QVERIFY2(check.exitCode == 0, qPrintable(check.lines.join(QLatin1Char('\n'))));
        const QByteArray completed = fileBytes(file);
        XIniSystem again;
        again.xinisys_init(file);
        again.xini_load(true);
        QCOMPARE(fileBytes(file), completed);
    }
}

void TestSettingsProcesses::fixturesOfBothBuilds_data()
{
    QTest::addColumn<QString>("build");
    QTest::newRow("Qt 5") << QStringLiteral("qt5");
    QTest::newRow("Qt 6") << QStringLiteral("qt6");
}

void TestSettingsProcesses::fixturesOfBothBuilds()
{
    QFETCH(QString, build);
    const QString cipherText = QString::fromLatin1(fileBytes(fixturePath(QLatin1String("cipher-") + build + QLatin1String(".txt"))).trimmed());
    KeyCipher cipher(kFixtureKey);
    QCOMPARE(cipher.decipherText(cipherText), fixtureText());

    const QString ini = fixturePath(QLatin1String("text-") + build + QLatin1String(".ini"));
    const QString copy = dir.filePath(QLatin1String("text-") + build + QLatin1String(".ini"));
    QVERIFY(QFile::copy(ini, copy));
    TextIni reader(copy);
    QCOMPARE(reader.xini_load(false), 0);
    QCOMPARE(reader.xini_entryValue(TextIni::Plain), fixtureText());
    QCOMPARE(reader.xini_entryValue(TextIni::Secret), fixtureText());
    QSettings host(copy, QSettings::IniFormat);
    readAsUtf8(host);
    QCOMPARE(host.value(QStringLiteral("Testo/PLAIN")).toString(), fixtureText());
    QCOMPARE(fileBytes(copy), fileBytes(ini)); // complete already: nothing written
}

void TestSettingsProcesses::liveAgainstPeerBuild()
{
    const QString peer = QStringLiteral(VANTEL_PEER_TOOL);
    if (peer.isEmpty())
        QSKIP("no peer build (set VANTEL_PEER_BUILD_DIR to a build of the other Qt version)");
    QVERIFY2(QFileInfo(peer).isExecutable(), qPrintable(peer));
    const QString text = fixtureText();

    const Run enciphered = run(peer, {QStringLiteral("encipher"), text});
    QCOMPARE(enciphered.exitCode, 0);
    QCOMPARE(KeyCipher(kFixtureKey).decipherText(enciphered.lines.value(0)), text);
    const Run deciphered = run(peer, {QStringLiteral("decipher"), KeyCipher(kFixtureKey).encipherText(text)});
    QCOMPARE(deciphered.exitCode, 0);
    QCOMPARE(deciphered.lines.value(0), text);

    const QString theirs = dir.filePath(QStringLiteral("peer.ini"));
    QCOMPARE(run(peer, {QStringLiteral("write-text"), theirs, text}).exitCode, 0);
    TextIni reader(theirs);
    QCOMPARE(reader.xini_load(false), 0);
    QCOMPARE(reader.xini_entryValue(TextIni::Plain), text);
    QCOMPARE(reader.xini_entryValue(TextIni::Secret), text);

    const QString ours = dir.filePath(QStringLiteral("ours.ini"));
    TextIni writer(ours);
    QCOMPARE(writer.xini_setValue(TextIni::Plain, text), 0);
    QCOMPARE(writer.xini_setValue(TextIni::Secret, text), 0);
    const Run read = run(peer, {QStringLiteral("read-text"), ours});
    QCOMPARE(read.exitCode, 0);
    QCOMPARE(read.lines.mid(0, 2), QStringList({text, text}));
}

QTEST_GUILESS_MAIN(TestSettingsProcesses)
#include "tst_settingsprocesses.moc"
