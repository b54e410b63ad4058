#include "testxserver.h"

#include <QApplication>
#include <QProcess>
#include <QtTest>

#include <cstdio>
#include <memory>

bool TestXServer::start(QSize screen, int depth)
{
    failure.clear();
    const QString geometry = QStringLiteral("%1x%2x%3").arg(screen.width()).arg(screen.height()).arg(depth);
    if (!server.start(QStringLiteral("Xvfb"),
                      {QStringLiteral("-displayfd"), QStringLiteral("3"), QStringLiteral("-screen"),
                       QStringLiteral("0"), geometry, QStringLiteral("-noreset"), QStringLiteral("-nolisten"),
                       QStringLiteral("tcp")},
                      3)) {
        failure = QStringLiteral("Xvfb: ") + server.error();
        return false;
    }
    const QByteArray number = server.readLine(15000).trimmed();
    bool ok = false;
    number.toInt(&ok);
    if (!ok) {
        failure = QStringLiteral("Xvfb: ") + server.error();
        server.stop();
        return false;
    }
    name = QStringLiteral(":") + QString::fromLatin1(number);
    qputenv("DISPLAY", name.toLatin1());
    return true;
}

void TestXServer::stop()
{
    server.stop();
    name.clear();
}

int TestXServer::run(const QString& program, const QStringList& arguments, int timeoutMs,
                     QByteArray* output) const
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("DISPLAY"), name);
    return runTestClient(program, arguments, env, timeoutMs, output);
}

int vantelRunUnderXvfb(int argc, char** argv, QObject* (*makeTest)(), QApplication* (*makeApplication)(int&, char**))
{
    TestXServer server;
    if (!server.start()) {
        std::fprintf(stderr, "FAIL: no private X server: %s\n", qPrintable(server.error()));
        return 1;
    }
    qputenv("QT_QPA_PLATFORM", "xcb");
    int result = 0;
    {
        std::unique_ptr<QApplication> app(makeApplication(argc, argv));
        std::unique_ptr<QObject> test(makeTest());
        result = QTest::qExec(test.get(), argc, argv);
    }
    server.stop();
    return result;
}
