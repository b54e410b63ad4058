// Guards what takes more than one process or another reader: Python's
// configparser finds the whole table with its defaults in a file we create; a
// Qt host and the library completing the same missing file at the same moment
// leave every key there once; ciphertexts and accented text written by one Qt
// build read the same in the other (committed fixtures of both builds, and the
// other build's settings tool when VANTEL_PEER_BUILD_DIR names it).
#include "settings/keycipher.h"
#include "settingstesting.h"

#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

namespace {

// Output goes to the test's own, where CTest shows it on failure.
int checkWithConfigparser(const QString& file, const QString& order)
{
    return QProcess::execute(QStringLiteral("/usr/bin/python3"), {settingsPath(QStringLiteral("check_system_ini.py")), order,
                                                                   file, settingsPath(QStringLiteral("fixtures/system-keys.tsv"))});
}

} // namespace

class TestSettingsProcesses : public QObject
{
    Q_OBJECT
private slots:
    void independentReaderSeesTable()
    {
        const QString file = dir.filePath(QStringLiteral("sub/dir/system.ini"));
        QCOMPARE(SystemTable(file).xini_load(true), 0);
        QCOMPARE(checkWithConfigparser(file, QStringLiteral("--table-order")), 0);
    }

    void hostAndLibraryCompleteTogether()
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
            QCOMPARE(library.exitCode() + host.exitCode(), 0);
            // Whoever wrote first decides the order; QSettings sorts by name.
            QCOMPARE(checkWithConfigparser(file, QStringLiteral("--any-order")), 0);
        }
    }

    void fixturesOfBothBuilds()
    {
        for (const QString& build : {QStringLiteral("qt5"), QStringLiteral("qt6")}) {
            const QByteArray cipherText = fileBytes(settingsPath(QLatin1String("fixtures/cipher-") + build + QLatin1String(".txt")));
            QCOMPARE(KeyCipher(kFixtureKey).decipherText(QString::fromLatin1(cipherText.trimmed())), kFixtureText);

            const QString fixture = settingsPath(QLatin1String("fixtures/text-") + build + QLatin1String(".ini"));
            const QString copy = dir.filePath(build);
            QVERIFY(QFile::copy(fixture, copy));
            QCOMPARE(readText(copy), QStringList({kFixtureText, kFixtureText}));
            QCOMPARE(fileBytes(copy), fileBytes(fixture)); // complete already: nothing written
        }
    }

    void liveAgainstPeerBuild()
    {
        const QString peer = QStringLiteral(VANTEL_PEER_TOOL);
        if (peer.isEmpty())
            QSKIP("no peer build (set VANTEL_PEER_BUILD_DIR to a build of the other Qt version)");
        const QString theirs = dir.filePath(QStringLiteral("peer.ini"));
        QCOMPARE(QProcess::execute(peer, {QStringLiteral("write-text"), theirs, kFixtureText}), 0);
        QCOMPARE(readText(theirs), QStringList({kFixtureText, kFixtureText}));

        const QString ours = dir.filePath(QStringLiteral("ours.ini"));
        QCOMPARE(QProcess::execute(QStringLiteral(VANTEL_SETTINGS_TOOL), {QStringLiteral("write-text"), ours, kFixtureText}), 0);
        QProcess reader;
        reader.start(peer, {QStringLiteral("read-text"), ours});
        QVERIFY(reader.waitForFinished(60000) && reader.exitStatus() == QProcess::NormalExit && reader.exitCode() == 0);
        QCOMPARE(QString::fromUtf8(reader.readAllStandardOutput()), kFixtureText + QLatin1Char('\n') + kFixtureText + QLatin1Char('\n'));
    }

private:
    QTemporaryDir dir;
};

QTEST_GUILESS_MAIN(TestSettingsProcesses)
#include "tst_settingsprocesses.moc"
