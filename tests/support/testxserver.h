// A private X server for a test: Xvfb with -noreset (so the idle counter is
// not reset when the last client leaves) on a display number it picks
// itself, ended by its process id. start() points DISPLAY at it.
//
// A widget test under it needs the server before QApplication exists:
// vantelRunUnderXvfb takes the place of QTEST_MAIN, with an application
// object of the test's own class (one that declares a host's signals).
#ifndef TESTXSERVER_H
#define TESTXSERVER_H

#include <QObject>
#include <QSize>
#include <QString>

#include "testprocess.h"

class QApplication;

class TestXServer
{
public:
    // False, with error() saying why, when Xvfb does not come up.
    bool start(QSize screen = QSize(1280, 1024), int depth = 24);
    void stop();

    // ":N", as DISPLAY takes it.
    const QString& display() const { return name; }
    qint64 pid() const { return server.pid(); }
    const QString& error() const { return failure; }

    // Runs an X client (xdotool, xprop, ...) on this display to its end;
    // its exit code, or -1 when it did not run or took over `timeoutMs`.
    int run(const QString& program, const QStringList& arguments, int timeoutMs = 10000,
            QByteArray* output = nullptr) const;

private:
    TestProcess server;
    QString name;
    QString failure;
};

// Starts a 1280x1024 X server, then on it, under the xcb platform, the
// application `makeApplication` makes and the test.
int vantelRunUnderXvfb(int argc, char** argv, QObject* (*makeTest)(), QApplication* (*makeApplication)(int&, char**));

#endif
