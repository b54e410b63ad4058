// Guards the interface sizes: the design sizes on an ordinary screen, a null
// size for unknown selectors, and on high-DPI screens (logical DPI or device
// pixel ratio, each Qt version takes its own way) indicators and their icons
// that keep their physical size instead of shrinking. Each screen setting
// runs in a child process of this test, started with the environment Qt reads.
#include <QProcess>
#include <QtTest>
#include <cstdio>

#include "panordata.h"
#include "pixels.h"
#include "xindicator.h"

namespace {

const char kProbe[] = "--probe";

// In the child: what an indicator set up like the status library's comes to,
// in physical pixels.
int probe(int argc, char** argv)
{
    QApplication app(argc, argv);
    const int h = panor_guiData->panord_getInterfaceSize(PanorData::PANORD_INDICATOR).height();
    const int s = h - 2 * h / 10;
    XIndicator indicator;
    indicator.setFixedSize(h - 2, h - 2);
    indicator.xind_setIcon(QStringLiteral(VANTEL_ICON_BUILD_DIR "/battery_full.svg"), QSize(s, s));
    const QPixmap grab = indicator.grab();
    const QRect icon = pixels::bounds(grab.toImage().convertToFormat(QImage::Format_ARGB32), pixels::isOpaque);
    std::printf("cell=%g icon=%g drawn=%d button=%d\n", h * grab.devicePixelRatio(),
                s * grab.devicePixelRatio(), icon.width(), grab.height());
    return 0;
}

} // namespace

class TestPanorData : public QObject
{
    Q_OBJECT

private slots:
    void designSizes();
    void unknownSelectorIsNull();
    void highDpiKeepsPhysicalSize_data();
    void highDpiKeepsPhysicalSize();
};

void TestPanorData::designSizes()
{
    // The offscreen screen reports 96 (Qt 6) or 100 (Qt 5) DPI: both design size.
    QCOMPARE(panor_guiData->panord_getScale(), 1.0);
    QCOMPARE(panor_guiData->panord_getInterfaceSize(PanorData::PANORD_INDICATOR), QSize(30, 30));
    QCOMPARE(panor_guiData->panord_getInterfaceSize(PanorData::PANORD_SIGNALBAR), QSize(96, 32));
    QCOMPARE(panor_guiData->panord_getInterfaceSize(PanorData::PANORD_TITLEBAR).height(), 34);
    // An indicator's default icon is its cell less a fifth: 24 px.
    QCOMPARE(XIndicator().iconSize(), QSize(24, 24));
}

void TestPanorData::unknownSelectorIsNull()
{
    for (const int selector : {0, 5, 11, 13, -1})
        QCOMPARE(panor_guiData->panord_getInterfaceSize(PanorData::PANORD_INTERFACESIZE(selector)), QSize(0, 0));
}

void TestPanorData::highDpiKeepsPhysicalSize_data()
{
    QTest::addColumn<QString>("variable");
    QTest::addColumn<QString>("value");
    QTest::addColumn<int>("cell");  // physical pixels
    QTest::newRow("font dpi 144") << "QT_FONT_DPI" << "144" << 45;
    QTest::newRow("font dpi 192") << "QT_FONT_DPI" << "192" << 60;
    QTest::newRow("scale factor 2") << "QT_SCALE_FACTOR" << "2" << 60;
}

void TestPanorData::highDpiKeepsPhysicalSize()
{
    QFETCH(QString, variable);
    QFETCH(QString, value);
    QFETCH(int, cell);
    QProcess child;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(variable, value);
    child.setProcessEnvironment(env);
    child.start(QCoreApplication::applicationFilePath(), {QString::fromLatin1(kProbe)});
    QVERIFY(child.waitForFinished(60000));
    QCOMPARE(child.exitCode(), 0);
    const QString out = QString::fromUtf8(child.readAllStandardOutput()).trimmed();
    const QRegularExpressionMatch m = QRegularExpression(
        QStringLiteral("cell=(\\d+) icon=(\\d+) drawn=(\\d+) button=(\\d+)")).match(out);
    QVERIFY2(m.hasMatch(), qPrintable(out));
    QCOMPARE(m.captured(1).toInt(), cell);
    const int icon = m.captured(2).toInt();
    QCOMPARE(icon, cell - 2 * cell / 10);
    // The battery spans nearly the whole icon: drawn at the screen's full
    // resolution, not a small picture scaled up or a 24-px one left small.
    QVERIFY2(m.captured(3).toInt() >= icon * 85 / 100, qPrintable(out));
    QVERIFY2(std::abs(m.captured(4).toInt() - (cell - 2 * cell / 30)) <= 2, qPrintable(out));
}

int main(int argc, char** argv)
{
    if (argc > 1 && qstrcmp(argv[1], kProbe) == 0)
        return probe(argc, argv);
    QApplication app(argc, argv);
    TestPanorData test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_panor_data.moc"
