// Guards the library against leaks and crashes over many lifecycles in one
// process: open, init, set data, populate, attach, close, 500 times. Under
// ASan/LSan a leak fails the run at exit; in other builds the resident memory
// must stay flat.
#include <QApplication>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include "vantelapi.h"
#include "vantelsimulation.h"
#include "xbartitle.h"
#include "xinfo.h"

#if defined(__SANITIZE_ADDRESS__)
#define VANTEL_UNDER_ASAN 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define VANTEL_UNDER_ASAN 1
#endif
#endif

namespace {

qint64 residentKiB()
{
    QFile statm(QStringLiteral("/proc/self/statm"));
    if (!statm.open(QIODevice::ReadOnly))
        return -1;
    const QList<QByteArray> fields = statm.readAll().split(' ');
    return fields.size() > 1 ? fields.at(1).toLongLong() * 4 : -1;
}

} // namespace

class tst_Cycles : public QObject
{
    Q_OBJECT

private slots:
    void fiveHundredLifecycles();

private:
    void cycle(structVANTEL_PROGRAMDATA& data);
};

void tst_Cycles::cycle(structVANTEL_PROGRAMDATA& data)
{
    XBarTitle bar;
    QVector<XInfo*> indicators;
    int next = 0;
    QCOMPARE(VANTEL_OpenLib(), 0);
    QCOMPARE(VANTEL_InitLib(), 0);
    QCOMPARE(VANTEL_SetProgramData(&data), 0);
    QCOMPARE(VANTEL_getProgramInfo(indicators), 0);
    QCOMPARE(indicators.size(), 14);
    QCOMPARE(VANTEL_indicatorAdd(&bar, 0, next), 0);
    QCoreApplication::processEvents();
    QCOMPARE(VANTEL_CloseLib(), 0);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

void tst_Cycles::fiveHundredLifecycles()
{
    QTemporaryDir work;
    VantelSimulation sim;
    sim.setPowerStatus(0, 55);
    structVANTEL_PROGRAMDATA data;
    data.pathImages = QStringLiteral(VANTEL_ICON_BUILD_DIR);
    data.pathIni = work.filePath(QStringLiteral("system.ini"));

    qint64 warm = 0;
    for (int i = 0; i < 500; ++i) {
        cycle(data);
        if (QTest::currentTestFailed())
            return;
        if (i == 49)
            warm = residentKiB();
    }
    const qint64 growth = residentKiB() - warm;
#ifdef VANTEL_UNDER_ASAN
    Q_UNUSED(growth)  // ASan's quarantine holds freed memory; LSan checks leaks at exit
#else
    QVERIFY2(growth < 4096, qPrintable(QStringLiteral("grew %1 KiB over 450 cycles").arg(growth)));
#endif
}

QTEST_MAIN(tst_Cycles)
#include "tst_cycles.moc"
