// Guards the private X server as widget suites use it: the application runs
// on it under xcb with the screen the harness asked for, and X clients reach
// it (that a grab shows what a window drew, tst_xscreencapture waits for).
#include <QApplication>
#include <QScreen>
#include <QtTest>

#include "testxserver.h"

class TestPrivateXServer : public QObject
{
    Q_OBJECT

private slots:
    void applicationRunsOnIt()
    {
        const TestXServer* server = TestXServer::current();
        QVERIFY(server);
        QCOMPARE(QGuiApplication::platformName(), QStringLiteral("xcb"));
        QCOMPARE(qgetenv("DISPLAY"), server->display().toLatin1());
        QCOMPARE(QGuiApplication::primaryScreen()->size(), QSize(1280, 1024));

        QCOMPARE(server->run("xdotool", {"mousemove", "321", "123"}), 0);
        QByteArray where;
        QCOMPARE(server->run("xdotool", {"getmouselocation"}, 10000, &where), 0);
        QVERIFY2(where.startsWith("x:321 y:123"), where.constData());
    }
};

VANTEL_TEST_MAIN_XVFB(TestPrivateXServer)
#include "tst_privatexserver.moc"
