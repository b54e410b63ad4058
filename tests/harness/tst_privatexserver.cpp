// Guards the private X server as widget suites use it: the application runs
// on it under xcb with the screen the harness asked for, X clients reach it,
// and a screen grab shows what a window drew.
#include <QApplication>
#include <QScreen>
#include <QWidget>
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

    void grabShowsAWindow()
    {
        QWidget window;
        window.setWindowFlags(Qt::FramelessWindowHint);
        window.setStyleSheet("background: rgb(200, 30, 60)");
        window.setGeometry(100, 100, 50, 40);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QImage screen;
        QTRY_VERIFY_WITH_TIMEOUT((screen = QGuiApplication::primaryScreen()->grabWindow(0).toImage(),
                                  screen.pixel(125, 120) == qRgb(200, 30, 60)),
                                 5000);
        QCOMPARE(screen.size(), QSize(1280, 1024));
        QVERIFY(screen.pixel(20, 20) != qRgb(200, 30, 60));
    }
};

VANTEL_TEST_MAIN_XVFB(TestPrivateXServer)
#include "tst_privatexserver.moc"
